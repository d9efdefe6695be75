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
        TReceivedCase{"ZoneGMT", "Received: by a; Mon, 2 Jan 2006 15:04:05 GMT\n\n", "2006-01-02T15:04:05Z"},
        TReceivedCase{"ZoneUT", "Received: by a; 2 Jan 2006 15:04:05 UT\n\n", "2006-01-02T15:04:05Z"},
        TReceivedCase{"ZoneEST", "Received: by a; Mon, 2 Jan 2006 15:04:05 EST\n\n", "2006-01-02T20:04:05Z"},
        TReceivedCase{"ZoneEDT", "Received: by a; Mon, 2 Jan 2006 15:04:05 EDT\n\n", "2006-01-02T19:04:05Z"},
        TReceivedCase{"ZoneCST", "Received: by a; Mon, 2 Jan 2006 15:04:05 cst\n\n", "2006-01-02T21:04:05Z"},
        TReceivedCase{"ZoneCDT", "Received: by a; Mon, 2 Jan 2006 15:04:05 CDT\n\n", "2006-01-02T20:04:05Z"},
        TReceivedCase{"ZoneMST", "Received: by a; Mon, 2 Jan 2006 15:04:05 MST\n\n", "2006-01-02T22:04:05Z"},
        TReceivedCase{"ZoneMDT", "Received: by a; Mon, 2 Jan 2006 15:04:05 MDT\n\n", "2006-01-02T21:04:05Z"},
        TReceivedCase{"ZonePST", "Received: by a; Mon, 2 Jan 2006 15:04:05 PST\n\n", "2006-01-02T23:04:05Z"},
        TReceivedCase{"ZonePDT", "Received: by a; Mon, 2 Jan 2006 15:04:05 PDT\n\n", "2006-01-02T22:04:05Z"},
        TReceivedCase{"MilitaryZoneIsUnknownZone", "Received: by a; Mon, 2 Jan 2006 15:04:05 Z\n\n",
                      "2006-01-02T15:04:05Z"},
        TReceivedCase{"MilitaryZoneLowerCase", "Received: by a; Mon, 2 Jan 2006 15:04:05 q\n\n",
                      "2006-01-02T15:04:05Z"},
        TReceivedCase{"MinusZeroZone", "Received: by a; Mon, 2 Jan 2006 15:04:05 -0000\n\n", "2006-01-02T15:04:05Z"},
        TReceivedCase{"HalfHourZone", "Received: by a; Mon, 2 Jan 2006 15:04:05 +0530\n\n", "2006-01-02T09:34:05Z"},
        TReceivedCase{"NoZone", "Received: by a; Mon, 2 Jan 2006 15:04:05\n\n", "2006-01-02T15:04:05Z"},
        TReceivedCase{"NoSeconds", "Received: by a; Mon, 2 Jan 2006 15:04 +0100\n\n", "2006-01-02T14:04:00Z"},
        TReceivedCase{"NoDayOfWeek", "Received: by a; 2 Jan 2006 15:04:05 +0000\n\n", "2006-01-02T15:04:05Z"},
        TReceivedCase{"TwoDigitYearBefore50", "Received: by a; 2 Jan 06 15:04:05 GMT\n\n", "2006-01-02T15:04:05Z"},
        TReceivedCase{"TwoDigitYearFrom50", "Received: by a; 2 Jan 98 15:04:05 GMT\n\n", "1998-01-02T15:04:05Z"},
        TReceivedCase{"ThreeDigitYear", "Received: by a; 2 Jan 106 15:04:05 GMT\n\n", "2006-01-02T15:04:05Z"},
        TReceivedCase{"CommentsAndSpacesAnywhere",
                      "Received: by a; Mon (day) , 2 Jan 2006 15 : 04 : 05 (local) +0100 (CET)\n\n",
                      "2006-01-02T14:04:05Z"},
        TReceivedCase{"NestedCommentWithQuotedParenthesis",
                      "Received: by a; Mon, 2 Jan 2006 15:04:05 +0000 (a (b \\) c) d)\n\n", "2006-01-02T15:04:05Z"},
        TReceivedCase{"LeapSecond", "Received: by a; Sat, 31 Dec 2016 23:59:60 +0000\n\n", "2016-12-31T23:59:59Z"},
        TReceivedCase{"ZoneNameUnknown", "Received: by a; Mon, 2 Jan 2006 15:04:05 XYZ\n\n", ""},
        TReceivedCase{"ZoneLetterJ", "Received: by a; Mon, 2 Jan 2006 15:04:05 J\n\n", ""},
        TReceivedCase{"NoSuchDay", "Received: by a; 31 Feb 2006 15:04:05 +0000\n\n", ""},
        TReceivedCase{"HourOutOfRange", "Received: by a; 2 Feb 2006 25:04:05 +0000\n\n", ""},
        TReceivedCase{"ZoneMinutesOutOfRange", "Received: by a; 2 Feb 2006 15:04:05 +0075\n\n", ""},
        TReceivedCase{"OnlyInTheBody", "Subject: x\n\nReceived: by a; Mon, 2 Jan 2006 15:04:05 +0000\n", ""},
        TReceivedCase{"NoSemicolon", "Received: by a\n\n", ""},
        TReceivedCase{"Garbage", "Received: by a; not a date at all\n\n", ""},
        TReceivedCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });
