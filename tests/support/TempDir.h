// A fresh folder for one test, removed with everything in it when the test ends.
#pragma once

#include <string>

class CTempDir
{
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    std::wstring WidePath() const;
    // Path() + "/" + relative.
    std::string File(const std::string& relative) const { return m_strPath + "/" + relative; }

    // Writes bytes to relative (creating its folders); reads a whole file ("" when missing).
    void Write(const std::string& relative, const std::string& bytes) const;
    std::string Read(const std::string& relative) const;

private:
    std::string m_strPath;
};
