// What the user sees and hears of an image that could not be loaded: the bell and the message
// boxes. The log line is written by the loader itself; tests replace this part to count it.
#pragma once

#include <string>

class CImageLoadReport
{
public:
    virtual ~CImageLoadReport() = default;

    // A 500 Hz, 500 ms beep.
    virtual void Beep();
    // A modal message box with an OK button.
    virtual void ShowMessage(const std::wstring& strMessage);
};

// The report in use; never null. Without a running window system the default one stays silent,
// so that loaders and their tests work without a display.
CImageLoadReport& GetImageLoadReport();
// Installs a report (null: the default one again); returns the one that was installed.
CImageLoadReport* SetImageLoadReport(CImageLoadReport* pReport);
