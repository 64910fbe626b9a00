#include "res/ErrorLog.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cctype>
#include <string>

namespace
{

const CLogTime kTime{2024, 3, 7, 9, 5, 2};

TEST(ErrorLogTest, LineHasTimeMessageAndWindowsLineEnd)
{
    EXPECT_EQ(FormatErrorLogLine(kTime, L"Error Loading File: Data/Skins/Default/x.png"),
              "2024/03/07 09:05:02: Error Loading File: Data/Skins/Default/x.png\r\n");
    EXPECT_EQ(FormatErrorLogLine(CLogTime{987, 12, 31, 23, 59, 59}, L""),
              "987/12/31 23:59:59: \r\n");
    // Windows-1252, with "?" for what it cannot hold.
    EXPECT_EQ(FormatErrorLogLine(kTime, L"Fl\u00e4che \u20ac \u4e2d"), "2024/03/07 09:05:02: Fl\xe4"
                                                                       "che \x80 ?\r\n");
}

TEST(ErrorLogTest, AppendsToWhatIsThere)
{
    CTempDir dir;
    const std::wstring path = dir.WidePath() + L"/Errors.txt";
    AppendToErrorLog(path, L"first", kTime);
    EXPECT_EQ(dir.Read("Errors.txt"), "2024/03/07 09:05:02: first\r\n");
    dir.Write("Errors.txt", "written by someone else\r\n");
    AppendToErrorLog(path, L"second", CLogTime{2024, 3, 7, 9, 5, 3});
    EXPECT_EQ(dir.Read("Errors.txt"), "written by someone else\r\n2024/03/07 09:05:03: second\r\n");

    // The current local time, in the same shape: "yyyy/mm/dd hh:mm:ss: now".
    AppendToErrorLog(path, L"now");
    const std::string strLog = dir.Read("Errors.txt");
    const std::string strLast = strLog.substr(strLog.rfind("\r\n", strLog.size() - 3) + 2);
    const std::string strShape = "0000/00/00 00:00:00: now\r\n";
    ASSERT_EQ(strLast.size(), strShape.size()) << strLast;
    for (std::size_t i = 0; i < strShape.size(); ++i)
    {
        if (strShape[i] == '0')
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(strLast[i]))) << strLast;
        else
            EXPECT_EQ(strLast[i], strShape[i]) << strLast;
    }
}

TEST(ErrorLogTest, LogThatCannotBeOpenedGetsNothing)
{
    CTempDir dir;
    AppendToErrorLog(dir.WidePath() + L"/no/such/folder/Errors.txt", L"lost", kTime);
    struct stat st;
    EXPECT_NE(::stat(dir.File("no").c_str(), &st), 0);
    AppendToErrorLog(dir.WidePath(), L"a folder", kTime); // no crash, nothing to see
}

} // namespace
