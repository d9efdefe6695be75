#include "engine/ReceivedDate.h"

#include <gtest/gtest.h>

struct TReceivedCase {
    const char* Name;
    const char* Source;
    const char* ExpectedUtc;   // ISO date, or "" for none
};

void PrintTo(const TReceivedCase& c, std::ostream* out)
{
    *out << c.Name;
}

class ReceivedDate : public ::testing::TestWithParam<TReceivedCase>
{
};

TEST_P(ReceivedDate, ReadsTheTopmostReceivedHeader)
{
    const QDateTime date = ReceivedDateOf(QByteArray(GetParam().Source));
    const QString expected = QString::fromLatin1(GetParam().ExpectedUtc);
    if (expected.isEmpty())
        EXPECT_FALSE(date.isValid());
    else
        EXPECT_EQ(date.toString(Qt::ISODate), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, ReceivedDate,
    ::testing::Values(
        TReceivedCase{"Simple", "Received: by x; Mon, 2 Jan 2006 15:04:05 -0700\r\n\r\n", "2006-01-02T22:04:05Z"},
        TReceivedCase{"Folded", "Received: from a\r\n by b;\r\n Mon, 2 Jan 2006 15:04:05 +0000\r\n\r\n",
                      "2006-01-02T15:04:05Z"},
        TReceivedCase{"TopmostWins",
                      "Received: by a; Tue, 3 Jan 2006 01:00:00 +0000\nReceived: by b; Mon, 2 Jan 2006 01:00:00 +0000\n\n",
                      "2006-01-03T01:00:00Z"},
        TReceivedCase{"TrailingComment", "received: by a; Mon, 2 Jan 2006 15:04:05 -0800 (PST)\n\n",
                      "2006-01-02T23:04:05Z"},
        TReceivedCase{"OnlyInTheBody", "Subject: x\n\nReceived: by a; Mon, 2 Jan 2006 15:04:05 +0000\n", ""},
        TReceivedCase{"NoSemicolon", "Received: by a\n\n", ""},
        TReceivedCase{"Garbage", "Received: by a; not a date at all\n\n", ""},
        TReceivedCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });
