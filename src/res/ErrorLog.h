// The error log "Errors.txt": one line per image that could not be loaded.
#pragma once

#include <string>

// A local date and time, as the log line shows it.
class CLogTime
{
public:
    int m_nYear = 0;
    int m_nMonth = 0;
    int m_nDay = 0;
    int m_nHour = 0;
    int m_nMinute = 0;
    int m_nSecond = 0;
};

CLogTime GetLocalLogTime();

// "2024/03/07 09:05:02: message\r\n" in Windows-1252 (characters it lacks become "?").
std::string FormatErrorLogLine(const CLogTime& time, const std::wstring& strMessage);

// Appends one line stamped with the current local time. The log is created when missing and
// never truncated; each line goes out in one write, so other writers' lines never cut into it.
// A log that cannot be opened or written gets nothing, and nobody is told.
void AppendToErrorLog(const std::wstring& strLogPath, const std::wstring& strMessage);
void AppendToErrorLog(const std::wstring& strLogPath, const std::wstring& strMessage,
                      const CLogTime& time);
