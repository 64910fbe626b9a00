// The parts of a transfer that need no network: the URL it sends, how answer blocks are taken in,
// and how they are joined.
#include "net/VelCurlTransfer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

TEST(TransferBuildTest, UrlParamsAreAppendedWithTheServersEscaping)
{
    using Params = std::vector<std::pair<const char*, const char*>>;
    const struct
    {
        const char* pszURL;
        Params params;
        const char* pszExpected;
    } cases[] = {
        {"http://h/p", {}, "http://h/p"},
        {"http://h/p", {{"a", "1"}, {"b", "2"}}, "http://h/p?a=1&b=2"},
        {"http://h/p?q=0", {{"x", "5% #1"}}, "http://h/p?q=0&x=5%25%20%231"},
        // "%" is escaped before "#", so the "%" of "%23" is not escaped again.
        {"http://h/p", {{"v", "#%"}}, "http://h/p?v=%23%25"},
        // Nothing else is escaped; spaces anywhere become %20.
        {"http://h/a b#c", {{"n m", "x&y=z"}}, "http://h/a%20b#c?n%20m=x&y=z"},
        {"http://h/p", {{"e", ""}}, "http://h/p?e="},
    };
    for (const auto& c : cases)
    {
        CVelCurlTransfer transfer;
        transfer.SetURL(c.pszURL);
        for (const auto& [pszName, pszValue] : c.params)
            transfer.AddUrlParam(pszName, pszValue);
        EXPECT_EQ(transfer.BuildEffectiveURL(), c.pszExpected) << c.pszURL;
    }
}

TEST(TransferBuildTest, WideFormFieldIsSentInTheAnsiCodePage)
{
    CVelCurlTransfer transfer;
    transfer.AddFormField("Name", std::wstring(L"Jos\u00e9 \u20ac\u4e00"));
    ASSERT_EQ(transfer.FormFields().size(), 1u);
    EXPECT_EQ(transfer.FormFields()[0]->m_strName, "Name");
    EXPECT_EQ(transfer.FormFields()[0]->m_strValue, "Jos\xe9 \x80?");
}

TEST(TransferBuildTest, WriteCallbackKeepsBlocksAndTakeResponseJoinsThemUpToAZero)
{
    struct CCounter : CVelCurlObserver
    {
        void OnTransferData(CVelCurlTransfer*) override { ++m_nData; }
        int m_nData = 0;
    } observer;
    CVelCurlTransfer transfer(&observer);

    std::string strFirst = "Sanity";
    std::string strEmpty;
    std::string strSecond("Check\0tail", 10);
    EXPECT_EQ(CVelCurlTransfer::OnCurlWrite(strFirst.data(), 1, strFirst.size(), &transfer), 6u);
    EXPECT_EQ(CVelCurlTransfer::OnCurlWrite(strEmpty.data(), 1, 0, &transfer), 0u);
    EXPECT_EQ(CVelCurlTransfer::OnCurlWrite(strSecond.data(), 1, strSecond.size(), &transfer), 10u);

    ASSERT_EQ(transfer.Blocks().size(), 3u);
    EXPECT_EQ(observer.m_nData, 3);
    const CVelCurlDataBlock& block = *transfer.Blocks()[2];
    EXPECT_EQ(block.m_nSize, 10);
    EXPECT_EQ(std::string(block.m_pData.get(), 11), std::string("Check\0tail\0", 11));

    EXPECT_EQ(transfer.TakeResponse(), "SanityCheck");
    EXPECT_TRUE(transfer.Blocks().empty());
    EXPECT_EQ(transfer.TakeResponse(), "");
}

TEST(TransferBuildTest, WriteCallbackRefusesBlocksItCannotCount)
{
    constexpr std::size_t nMax = std::numeric_limits<std::size_t>::max();
    constexpr std::size_t nInt32Max = std::numeric_limits<std::int32_t>::max();
    const struct
    {
        std::size_t nSize;
        std::size_t nCount;
    } cases[] = {
        {1, nInt32Max + 1}, // more than a block's 32-bit size holds
        {nMax / 2 + 1, 2},  // size × count overflows
        {2, nInt32Max / 2 + 1},
    };
    char cByte = 'x';
    for (const auto& c : cases)
    {
        CVelCurlTransfer transfer;
        // The data is never read: the sizes alone refuse the block.
        EXPECT_EQ(CVelCurlTransfer::OnCurlWrite(&cByte, c.nSize, c.nCount, &transfer), 0u);
        EXPECT_TRUE(transfer.Blocks().empty());
    }
}

TEST(TransferBuildTest, WriteCallbackRefusesAnswerBeyondTheLimit)
{
    CVelCurlTransfer transfer;
    transfer.SetMaxResponseBytes(10);
    std::string strData = "123456";
    EXPECT_EQ(CVelCurlTransfer::OnCurlWrite(strData.data(), 1, 6, &transfer), 6u);
    EXPECT_EQ(CVelCurlTransfer::OnCurlWrite(strData.data(), 1, 5, &transfer), 0u);
    EXPECT_EQ(CVelCurlTransfer::OnCurlWrite(strData.data(), 1, 4, &transfer), 4u);
    EXPECT_EQ(transfer.TakeResponse(), "1234561234");
}
