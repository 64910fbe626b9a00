#include "res/ErrorLog.h"

#include "base/Encoding.h"
#include "base/FileIo.h"
#include "base/Format.h"
#include "base/Paths.h"

#include <fcntl.h>

#include <ctime>

CLogTime GetLocalLogTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    CLogTime time;
    if (::localtime_r(&now, &local) == nullptr)
        return time;
    time.m_nYear = local.tm_year + 1900;
    time.m_nMonth = local.tm_mon + 1;
    time.m_nDay = local.tm_mday;
    time.m_nHour = local.tm_hour;
    time.m_nMinute = local.tm_min;
    time.m_nSecond = local.tm_sec;
    return time;
}

std::string FormatErrorLogLine(const CLogTime& time, const std::wstring& strMessage)
{
    const std::wstring strLine = FormatText(L"%hd/%02hd/%02hd %02hd:%02hd:%02hd",
                                            {time.m_nYear, time.m_nMonth, time.m_nDay, time.m_nHour,
                                             time.m_nMinute, time.m_nSecond}) +
                                 L": " + strMessage + L"\r\n";
    return WideToAnsi(strLine);
}

void AppendToErrorLog(const std::wstring& strLogPath, const std::wstring& strMessage)
{
    AppendToErrorLog(strLogPath, strMessage, GetLocalLogTime());
}

void AppendToErrorLog(const std::wstring& strLogPath, const std::wstring& strMessage,
                      const CLogTime& time)
{
    const std::string line = FormatErrorLogLine(time, strMessage);
    const CFileDescriptor log(
        ::open(ToNativePath(strLogPath).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    // A log that cannot be written has nobody left to tell.
    if (log.IsOpen())
        static_cast<void>(WriteAll(log.Get(), line));
}
