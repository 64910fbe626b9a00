// A small writer of one-line JSON, enough for the tool's records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CJsonWriter
{
public:
    CJsonWriter& BeginObject();
    CJsonWriter& EndObject();
    CJsonWriter& BeginArray(std::string_view key);
    CJsonWriter& EndArray();

    CJsonWriter& Key(std::string_view key);
    CJsonWriter& String(std::wstring_view value); // written as UTF-8
    CJsonWriter& Number(long long value);
    CJsonWriter& Bool(bool value);

    CJsonWriter& Field(std::string_view key, std::wstring_view value)
    {
        return Key(key).String(value);
    }
    CJsonWriter& Field(std::string_view key, long long value) { return Key(key).Number(value); }
    CJsonWriter& FieldBool(std::string_view key, bool value) { return Key(key).Bool(value); }

    const std::string& Text() const { return m_strOut; }

private:
    void BeforeValue();
    void AppendQuoted(std::string_view utf8);

    std::string m_strOut;
    bool m_bNeedComma = false;
};
