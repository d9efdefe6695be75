#include "messages/MboxFormat.h"

#include "base/FastMemoryStream.h"
#include "content/MesgUtils.h"
#include "tests/messages/MesgTestSupport.h"

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const char* text, qsizetype size = -1)
{
    return size < 0 ? QByteArray(text) : QByteArray(text, size);
}

std::vector<QByteArray> ReadAll(const QByteArray& file)
{
    TFastMemoryStream stream;
    stream.WriteBuffer(file.constData(), file.size());
    stream.Seek(0, TSeekOrigin::Begin);
    TMboxReader reader(stream);
    std::vector<QByteArray> messages;
    QByteArray source;
    while (reader.Next(source))
        messages.push_back(source);
    EXPECT_EQ(reader.Position(), reader.Size());
    return messages;
}

QByteArray WriteAll(const std::vector<QByteArray>& sources)
{
    TFastMemoryStream stream;
    TMboxWriter writer(stream);
    for (const QByteArray& source : sources)
        writer.Append("sender@example.org", DateTimeToDays(QDateTime(QDate(2026, 3, 1), QTime(9, 5, 7))), source);
    writer.Flush();
    return stream.ToByteArray();
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
        TQuoteCase{"AfterLoneCr", "a\r\rFrom b", "a\r\r>From b"},
        TQuoteCase{"AfterLf", "a\n\nFrom b", "a\n\n>From b"},
        TQuoteCase{"AfterNul", Bytes("a\0From b", 8), Bytes("a\0>From b", 9)},
        TQuoteCase{"NotAWord", "Fromage\r\nFrom:\r\n", "Fromage\r\nFrom:\r\n"},
        TQuoteCase{"NotAtALineStart", "say From here\r\n > From\r\n", "say From here\r\n > From\r\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MailboxReader, SplitsAsTheFormatSays)
{
    struct TCase {
        const char* Name;
        QByteArray File;
        std::vector<QByteArray> Messages;
    };
    const TCase cases[] = {
        {"OneMessageWithoutTrailingLine", "From a Sat Jan  1 00:00:00 2000\r\nSubject: x\r\n\r\nbody",
         {"Subject: x\r\n\r\nbody"}},
        {"FirstLineIsAlwaysTheSeparator", "Subject: lost\r\nSubject: kept\r\n\r\nbody\r\n",
         {"Subject: kept\r\n\r\nbody\r\n"}},
        // The line break before the empty line and the empty line belong to no message.
        {"EmptyMessageBetweenSeparators", "From a\r\n\r\nFrom b\r\nX: 1\r\n\r\nFrom c\r\nX: 2\r\n",
         {"X: 1", "X: 2\r\n"}},
        {"ForeignUnquotedFromLineSplits", "From a\nX: 1\n\nFrom me, hello\n\nbye\n",
         {"X: 1", "\nbye\n"}},
        {"ForeignLfFileWith1980sSeparators",
         "From alice Mon Jan  3 10:00:00 1983\nSubject: one\n\nfirst\n\n"
         "From bob Tue Jan  4 11:00:00 1983\nSubject: two\n\n>From the desk\n",
         {"Subject: one\n\nfirst", "Subject: two\n\nFrom the desk\n"}},
        {"EmptyFile", "", {}},
        {"SeparatorOnly", "From a\r\n", {}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ReadAll(c.File), c.Messages) << c.Name;
}

TEST(MailboxWriter, WritesSeparatorsAndBlankLinesBetweenMessages)
{
    EXPECT_EQ(WriteAll({"A\r\n", "B"}), QByteArray("From sender@example.org Sun Mar  1 09:05:07 2026\r\nA\r\n"
                                                   "\r\n\r\nFrom sender@example.org Sun Mar  1 09:05:07 2026\r\nB"));
    EXPECT_EQ(MailboxSeparator("", 0), QByteArray("From  Sat Dec 30 00:00:00 1899"));
    EXPECT_TRUE(WriteAll({}).isEmpty());
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
        "From starts the source\r\n\r\nbody",
        "\r\n\r\nstarts with blank lines",
        large,
    };
    EXPECT_EQ(ReadAll(WriteAll(sources)), sources);
}

} // namespace
