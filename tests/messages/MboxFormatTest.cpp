#include "messages/MboxFormat.h"

#include "content/MesgUtils.h"
#include "fuzz/messages/MailboxRoundTrip.h"
#include "tests/messages/MesgTestSupport.h"

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const char* text, qsizetype size = -1)
{
    return size < 0 ? QByteArray(text) : QByteArray(text, size);
}

std::vector<QByteArray> ReadAll(const QByteArray& file)
{
    QString problem;
    std::vector<QByteArray> messages = ReadMailboxBytes(file, &problem);
    EXPECT_EQ(problem, QString());
    return messages;
}

QByteArray WriteAll(const std::vector<QByteArray>& sources)
{
    return WriteMailboxBytes(sources, "sender@example.org", DateTimeToDays(QDateTime(QDate(2026, 3, 1), QTime(9, 5, 7))));
}

struct TQuoteCase {
    const char* Name;
    QByteArray Source;
    QByteArray Quoted;
};

void PrintTo(const TQuoteCase& c, std::ostream* out)
{
    *out << c.Name;
}

class FromQuoting : public ::testing::TestWithParam<TQuoteCase>
{
};

TEST_P(FromQuoting, QuotesAndUnquotesEveryFromLine)
{
    EXPECT_EQ(QuoteFromLines(GetParam().Source), GetParam().Quoted);
    EXPECT_EQ(UnquoteFromLines(GetParam().Quoted), GetParam().Source);
}

INSTANTIATE_TEST_SUITE_P(
    Mailbox, FromQuoting,
    ::testing::Values(
        TQuoteCase{"AtTheStart", "From x\r\n", ">From x\r\n"},
        TQuoteCase{"AlreadyQuoted", ">>From x", ">>>From x"},
        TQuoteCase{"AfterCrLf", "a\r\n\r\nFrom b\r\n", "a\r\n\r\n>From b\r\n"},
        TQuoteCase{"AfterLf", "a\n\nFrom b", "a\n\n>From b"},
        // Lines end at LF, as every mailbox reader splits them: a lone CR or
        // a NUL does not start a line.
        TQuoteCase{"NotAfterLoneCr", "a\r\rFrom b", "a\r\rFrom b"},
        TQuoteCase{"NotAfterNul", Bytes("a\0From b", 8), Bytes("a\0From b", 8)},
        TQuoteCase{"NotAWord", "Fromage\r\nFrom:\r\n", "Fromage\r\nFrom:\r\n"},
        TQuoteCase{"NotAtALineStart", "say From here\r\n > From\r\n", "say From here\r\n > From\r\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TReadCase {
    const char* Name;
    QByteArray File;
    std::vector<QByteArray> Messages;
};

void PrintTo(const TReadCase& c, std::ostream* out)
{
    *out << c.Name;
}

class MailboxReader : public ::testing::TestWithParam<TReadCase>
{
};

// A message is everything after its separator line up to, not including,
// the one empty line before the next separator (or before the end of the
// file); without that empty line it runs to the end of the file.
TEST_P(MailboxReader, SplitsAtTheEmptyLineBeforeEachSeparator)
{
    EXPECT_EQ(ReadAll(GetParam().File), GetParam().Messages);
}

INSTANTIATE_TEST_SUITE_P(
    Mailbox, MailboxReader,
    ::testing::Values(
        TReadCase{"OneMessageWithoutTrailingLine", "From a Sat Jan  1 00:00:00 2000\r\nSubject: x\r\n\r\nbody",
                  {"Subject: x\r\n\r\nbody"}},
        TReadCase{"EachMessageKeepsItsFinalLineBreak",
                  "From a\nSubject: one\n\nfirst\n\nFrom b\nSubject: two\n\nsecond\n\n",
                  {"Subject: one\n\nfirst\n", "Subject: two\n\nsecond\n"}},
        TReadCase{"CrLfMessages", "From a\r\nX: 1\r\n\r\nFrom b\r\nX: 2\r\n\r\n", {"X: 1\r\n", "X: 2\r\n"}},
        TReadCase{"OnlyOneEmptyLineIsTheSeparators", "From a\nX: 1\n\n\n\nFrom b\nX: 2\n\n\n",
                  {"X: 1\n\n\n", "X: 2\n\n"}},
        TReadCase{"LastMessageWithoutEmptyLineRunsToTheEnd", "From a\nX: 1\n\nFrom b\nX: 2\n", {"X: 1\n", "X: 2\n"}},
        TReadCase{"OneByteLastMessage", "From a\nX\n\nFrom b\nY", {"X\n", "Y"}},
        TReadCase{"OneByteOnlyMessage", "From a\nY", {"Y"}},
        TReadCase{"EmptyMessageBetweenSeparators", "From a\r\n\r\nFrom b\r\nX: 1\r\n\r\nFrom c\r\nX: 2\r\n",
                  {"X: 1\r\n", "X: 2\r\n"}},
        TReadCase{"FromLineWithoutEmptyLineBeforeItIsText", "From a\nX: 1\nFrom here\n", {"X: 1\nFrom here\n"}},
        TReadCase{"ForeignUnquotedFromLineSplits", "From a\nX: 1\n\nFrom me, hello\n\nbye\n",
                  {"X: 1\n", "\nbye\n"}},
        TReadCase{"QuotedFromLinesLoseOneQuote",
                  "From alice Mon Jan  3 10:00:00 1983\nSubject: one\n\nfirst\n\n"
                  "From bob Tue Jan  4 11:00:00 1983\nSubject: two\n\n>From the desk\n>>From afar\n",
                  {"Subject: one\n\nfirst\n", "Subject: two\n\nFrom the desk\n>From afar\n"}},
        TReadCase{"LoneCrAndNulDoNotEndLines", Bytes("From a\nX\n\r\rFrom b\n\0From c\n", 26),
                  {Bytes("X\n\r\rFrom b\n\0From c\n", 19)}},
        // A file that does not begin with a separator is not a mailbox: it
        // is one message, every byte of it, as a message file would be.
        TReadCase{"FileWithoutSeparatorIsOneMessage", "Subject: kept\r\n\r\nbody\r\n\r\nFrom here\r\n",
                  {"Subject: kept\r\n\r\nbody\r\n\r\nFrom here\r\n"}},
        TReadCase{"LeadingEmptyLineIsNoSeparator", "\nFrom a\nX: 1\n", {"\nFrom a\nX: 1\n"}},
        TReadCase{"EmptyFile", "", {}},
        TReadCase{"SeparatorOnly", "From a\r\n", {}},
        TReadCase{"SeparatorAndEmptyLine", "From a\n\n", {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MailboxReader, ReadsTheSameOneByteAtATime)
{
    const QByteArray file = "From a\nX: 1\n\nFrom b\r\nX: 2\r\n\r\n>From c\r\n\r\nFrom d\nY";
    TOneByteStream stream(file);
    TMboxReader reader(stream);
    std::vector<QByteArray> messages;
    QByteArray source;
    while (reader.Next(source))
        messages.push_back(source);
    EXPECT_EQ(messages, ReadAll(file));
    EXPECT_EQ(messages.size(), 3u);
}

TEST(MailboxWriter, EndsEveryMessageWithItsLineBreakAndAnEmptyLine)
{
    const QByteArray separator = "From sender@example.org Sun Mar  1 09:05:07 2026";
    struct TCase {
        const char* Name;
        std::vector<QByteArray> Sources;
        QByteArray File;
    };
    const TCase cases[] = {
        {"CrLfSourcesKeepCrLf", {"A\r\n", "B\r\nC"},
         separator + "\r\nA\r\n\r\n" + separator + "\r\nB\r\nC\r\n\r\n"},
        {"LfSourcesKeepLf", {"A\n", "B"}, separator + "\nA\n\n" + separator + "\nB\n\n"},
        {"EmptySourceWritesOnlyItsSeparator", {""}, separator + "\n\n"},
        {"NothingForNoMessages", {}, ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(WriteAll(c.Sources), c.File) << c.Name;
    EXPECT_EQ(MailboxSeparator("", 0), QByteArray("From  Sat Dec 30 00:00:00 1899"));
    // A line break in an address would forge another message's separator.
    EXPECT_EQ(MailboxSeparator("a\nFrom b\r\x7f", 0), QByteArray("From a_From b__ Sat Dec 30 00:00:00 1899"));
}

TEST(MailboxRoundTrip, EverySourceReadsBackByteForByte)
{
    QByteArray large = "Subject: large\r\n\r\n";
    while (large.size() < 20 * 1024 * 1024)
        large += "From the start of a line, a long body line that repeats itself.\r\n\r\n";
    const std::vector<QByteArray> sources{
        "Subject: plain\r\n\r\nbody\r\n",
        "Subject: from lines\r\n\r\nfirst\r\n\r\nFrom here on\r\n\r\n>From quoted\r\n>>From twice\r\n",
        "Subject: lf only\n\nline\n\nFrom x\n",
        "Subject: cr only\r\rline\r\rFrom y\r",
        QByteArrayLiteral("Subject: nul\r\n\r\na\0\0From b\0c"),
        "Subject: no final line break\r\n\r\nend",
        "Subject: trailing blank lines\r\n\r\nend\r\n\r\n\r\n",
        "Subject: trailing lf blank lines\n\nend\n\n",
        "From starts the source\r\n\r\nbody",
        "\r\n\r\nstarts with blank lines",
        "\n",
        "x",
        large,
    };
    std::vector<QByteArray> expected;
    for (const QByteArray& source : sources)
        expected.push_back(ReadBackOf(source));
    EXPECT_EQ(ReadAll(WriteAll(sources)), expected);
}

} // namespace
