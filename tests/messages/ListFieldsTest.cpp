// The list fields: the quick reading derives what the full parse derives,
// for the whole fixture corpus under every option combination that matters;
// records keep the fields exactly; the key names every option.

#include "messages/ListFields.h"

#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "messages/ListFieldsRecord.h"
#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "tests/messages/ListFieldsCorpus.h"
#include "tests/messages/MesgTestSupport.h"

#include <set>

namespace {

// The derivation as the lists had it before the quick reading: a Structure
// parse of the whole message by GMime.
TListFields FullParseFields(const QByteArray& source)
{
    TMimeMessage message;
    TMimeParser().Parse(source, message, TMimeParser::TMode::Structure);
    return ListFieldsOf(message, DecodeListHeader(message));
}

std::string Describe(const TListFields& f)
{
    return (f.Subject + u'|' + f.FromName + u'|' + f.FromAddress + u'|' + f.ToName + u'|' + f.ToAddress).toStdString()
           + '|' + f.MessageId.toStdString() + '|' + std::to_string(f.DateSentMs) + '|' + std::to_string(f.Priority)
           + (f.HasFrom ? " from" : "") + (f.HasTo ? " to" : "") + (f.HasDate ? " date" : "")
           + (f.Attachment ? " attachment" : "") + (f.QuotedPrintable ? " qp" : "");
}

class ListFieldsUnderOptions : public TMesgTest, public ::testing::WithParamInterface<TDerivationOptions>
{
protected:
    void SetUp() override
    {
        TMesgTest::SetUp();
        ApplyDerivationOptions(GetParam());
    }
    void TearDown() override
    {
        ResetDerivationOptions();
        TMesgTest::TearDown();
    }
};

TEST_P(ListFieldsUnderOptions, TheQuickReadingDerivesWhatTheFullParseDoes)
{
    const TMimeParser parser;
    for (const QByteArray& source : ListFieldsCorpus()) {
        const TListFields quick = ReadListFields(source, parser);
        ASSERT_EQ(Describe(quick), Describe(FullParseFields(source))) << source.left(300).toStdString();
        ASSERT_TRUE(quick == FullParseFields(source));
        TListFields kept;
        ASSERT_TRUE(DecodeListFields(EncodeListFields(quick), kept));
        ASSERT_TRUE(kept == quick) << Describe(kept);
    }
}

INSTANTIATE_TEST_SUITE_P(Options, ListFieldsUnderOptions, ::testing::ValuesIn(DerivationOptionCombinations()),
                         [](const auto& info) { return std::string(info.param.Name); });

class ListFieldsRecord : public TMesgTest
{
};

TEST_F(ListFieldsRecord, KeepsEveryFieldExactly)
{
    TListFields wide;
    wide.Subject = QString(QChar(0xD83D)) + QStringLiteral("unpaired and \u0416 and \u00e9");   // a lone high surrogate
    wide.HasFrom = true;
    wide.FromName = QStringLiteral("\u00c9mile \u00fc");                      // Latin-1 only
    wide.FromAddress = QStringLiteral("e@example.org");
    wide.HasTo = true;
    wide.ToName = QString(QChar(0x100)) + QChar(0xDC00);
    wide.MessageId = QByteArray("id\0with\xff bytes", 15);
    wide.HasDate = true;
    wide.DateSentMs = -2208988800000LL;   // 1900
    wide.Priority = 4;
    wide.Attachment = true;
    wide.QuotedPrintable = true;
    AddSubjectKeys(wide);
    TListFields empty;
    TListFields long_;
    long_.Subject = QString(70000, QChar(u'x'));
    long_.HasDate = true;
    long_.DateSentMs = std::numeric_limits<qint64>::max();
    TListFields reply;   // its normalised subject has a key of its own
    reply.Subject = QStringLiteral("Re[2]: Re: budget");
    AddSubjectKeys(reply);
    ASSERT_NE(reply.SubjectLowerKey, reply.SubjectNormalKey);
    for (const TListFields& fields : {wide, empty, long_, reply}) {
        TListFields back;
        back.Subject = QStringLiteral("stale");
        ASSERT_TRUE(DecodeListFields(EncodeListFields(fields), back));
        EXPECT_TRUE(back == fields) << Describe(back);
    }
}

TEST_F(ListFieldsRecord, RefusesDamagedRecords)
{
    TListFields fields;
    fields.Subject = QStringLiteral("Re: Subject \u0416");
    AddSubjectKeys(fields);
    fields.HasDate = true;
    fields.DateSentMs = 1234567890000;
    fields.MessageId = "id@host";
    const QByteArray record = EncodeListFields(fields);
    TListFields back;
    for (qsizetype size = 0; size < record.size(); ++size)
        EXPECT_FALSE(DecodeListFields(record.left(size), back)) << size;
    EXPECT_FALSE(DecodeListFields(record + 'x', back));
    QByteArray otherFormat = record;
    otherFormat[0] = 2;
    EXPECT_FALSE(DecodeListFields(otherFormat, back));
    QByteArray badPriority = record;
    badPriority[2] = 9;
    EXPECT_FALSE(DecodeListFields(badPriority, back));
    // A length beyond the record, and lengths that would overflow.
    EXPECT_FALSE(DecodeListFields(QByteArray("\x01\x00\x02\xff\xff\xff\xff\xff\xff\xff\xff\xff\x01", 13), back));
    EXPECT_FALSE(DecodeListFields(QByteArray("\x01\x00\x02\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80", 14), back));
}

TEST_F(ListFieldsRecord, TheKeyNamesEveryOption)
{
    std::set<QByteArray> keys;
    for (const TDerivationOptions& options : DerivationOptionCombinations()) {
        ApplyDerivationOptions(options);
        const QByteArray key = ListFieldsKey();
        EXPECT_EQ(ListFieldsKey(), key);
        keys.insert(key);
    }
    ResetDerivationOptions();
    EXPECT_EQ(keys.size(), DerivationOptionCombinations().size());
}

// Fields set on an item behave as derived ones always did: a line without
// an address leaves the names as they were, and the attachment bit is only
// ever set.
TEST_F(ListFieldsRecord, AnItemTakesFieldsAsItTookDerivedOnes)
{
    TMesgItems items;
    TMesgItem item(&items);
    TListFields first;
    first.HasFrom = true;
    first.FromName = QStringLiteral("Ann");
    first.FromAddress = QStringLiteral("ann@example.org");
    first.Attachment = true;
    first.HasDate = true;
    first.DateSentMs = 0;
    item.SetListFields(first);
    EXPECT_TRUE(item.Parsed());
    EXPECT_EQ(item.DateSent(), 25569);   // 1970-01-01 in UTC
    item.SetListFields(TListFields{});
    EXPECT_EQ(item.FromName(), QStringLiteral("Ann")) << "a parsed item is left alone";
    item.ClearParsed();
    TListFields second;
    second.Subject = QStringLiteral("second");
    item.SetListFields(second);
    EXPECT_EQ(item.Subject(), QStringLiteral("second"));
    EXPECT_EQ(item.FromName(), QStringLiteral("Ann"));
    EXPECT_EQ(item.FromAddress(), QStringLiteral("ann@example.org"));
    EXPECT_TRUE(item.HasState(stAttachment));
    EXPECT_EQ(item.DateSent(), 0);
}

// Kept keys give an item the same sort key as the subject's own.
TEST_F(ListFieldsRecord, KeptSubjectKeysSortAsMadeOnes)
{
    TMesgItems items;
    for (const QString& subject : {QStringLiteral("Re[3]: RE: Budget"), QStringLiteral("budget!"), QString()}) {
        TListFields fields;
        fields.Subject = subject;
        AddSubjectKeys(fields);
        TListFields kept;
        ASSERT_TRUE(DecodeListFields(EncodeListFields(fields), kept));
        TMesgItem item(&items);
        item.SetListFields(kept);
        ASSERT_TRUE(item.SubjectSortKey());
        EXPECT_TRUE(*item.SubjectSortKey() == SubjectKey(subject)) << subject.toStdString();
    }
}

} // namespace
