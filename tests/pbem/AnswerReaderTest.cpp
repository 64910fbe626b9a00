#include "pbem/AnswerReader.h"

#include <gtest/gtest.h>

#include <string>

TEST(AnswerReader, TokensNeedTheSpaceAfterThem)
{
    CAnswerReader reader(" abc def");
    EXPECT_EQ(reader.NextToken(), "");
    EXPECT_EQ(reader.NextToken(), "abc");
    // The last token has no space after it: it does not count and the position stays.
    EXPECT_EQ(reader.NextToken(), "");
    EXPECT_EQ(reader.GetPosition(), 5u);
    EXPECT_EQ(reader.NextToken(), "");
}

TEST(AnswerReader, NumbersWrapTo32Bits)
{
    CAnswerReader reader("1058 -1 4294967295 4294967301 12x abc +7  last");
    const std::uint32_t expected[] = {1058u, 4294967295u, 4294967295u, 5u, 12u, 0u, 7u, 0u, 0u};
    for (const std::uint32_t n : expected)
        EXPECT_EQ(reader.NextNumber(), n);
}

TEST(AnswerReader, CountedTextSkipsOneSeparatorWithoutLookingAtIt)
{
    CAnswerReader reader("5 he lo|0  3 a b next ");
    std::string_view text;
    ASSERT_TRUE(reader.NextCounted(text));
    EXPECT_EQ(text, "he lo");
    ASSERT_TRUE(reader.NextCounted(text));
    EXPECT_EQ(text, "");
    ASSERT_TRUE(reader.NextCounted(text));
    EXPECT_EQ(text, "a b");
    EXPECT_EQ(reader.NextToken(), "next");

    // A text that ends the answer has no separator after it.
    CAnswerReader last("3 abc");
    ASSERT_TRUE(last.NextCounted(text));
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(last.GetPosition(), 5u);
}

TEST(AnswerReader, ImpossibleLengthsStopTheReadingInPlace)
{
    const std::string cases[] = {
        "-1 abc ",                       // negative
        "x abc ",                        // not a number
        "3x abc ",                       // not only digits
        " abc ",                         // empty length
        "8 abc ",                        // more than remains
        "99999999999999999999999999 a ", // more than any size
        "5",                             // no space after the length
    };
    for (const std::string& text : cases)
    {
        const std::string answer = "tok " + text;
        CAnswerReader reader(answer);
        ASSERT_EQ(reader.NextToken(), "tok");
        std::string_view counted = "unchanged";
        EXPECT_FALSE(reader.NextCounted(counted)) << text;
        EXPECT_EQ(counted, "") << text;
        EXPECT_EQ(reader.GetPosition(), 4u) << text;
    }
}
