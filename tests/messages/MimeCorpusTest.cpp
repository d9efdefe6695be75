// Every fixture of tests/data/mime is parsed and compared with its golden
// summary (<name>.summary beside it: parts, fields and list fields). Run
// with VELLUMO_UPDATE_GOLDEN=1 to rewrite the summaries after a deliberate
// change, and read the diff.

#include "base/FastMemoryStream.h"
#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "tests/messages/MesgTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>

namespace {

const char* const kFixtures[] = {
    "alternative",      "nested",           "html-single",         "uuencoded",
    "xxencoded",        "binhex",           "headers-8bit",        "missing-boundary",
    "truncated-base64", "header-no-colon",  "colon-flood",         "qp-dot",
};

QByteArray Fixture(const char* name)
{
    return ReadFixture(QStringLiteral("mime/%1.eml").arg(QLatin1String(name)));
}

// Decodes the source the way a list does: parse, derive the fields, and
// parse again when the fields say the message is quoted-printable.
QByteArray ListSummary(const QByteArray& source)
{
    TMesgItems items;
    auto item = std::make_unique<TMesgItem>(&items);
    auto stream = std::make_shared<TFastMemoryStream>();
    stream->WriteBuffer(source.constData(), source.size());
    item->SetSource(stream);
    TMimeMessage message;
    item->DecodeInto(message);
    item->DeriveFields(message, DecodeListHeader(message));
    if (item->QuotedPrintable())
        item->DecodeInto(message);
    return MessageSummary(message, item.get());
}

QByteArray PartsSummary(const QByteArray& source, TStream* stream = nullptr)
{
    TMimeMessage message;
    const TMimeParser parser;
    if (stream)
        parser.Parse(*stream, message);
    else
        parser.Parse(source, message);
    return MessageSummary(message, nullptr);
}

class MimeCorpus : public TMesgTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(MimeCorpus, MatchesGoldenSummary)
{
    const QByteArray summary = ListSummary(Fixture(GetParam()));
    const QString goldenPath = FixturePath(QStringLiteral("mime/%1.summary").arg(QLatin1String(GetParam())));
    if (qEnvironmentVariableIsSet("VELLUMO_UPDATE_GOLDEN")) {
        QFile golden(goldenPath);
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly | QIODevice::Truncate));
        golden.write(summary);
    }
    QFile golden(goldenPath);
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << goldenPath.toStdString();
    EXPECT_EQ(summary.toStdString(), golden.readAll().toStdString());
}

TEST_P(MimeCorpus, OneByteAtATimeGivesTheSameMessage)
{
    const QByteArray source = Fixture(GetParam());
    TOneByteStream trickle(source);
    EXPECT_EQ(PartsSummary(source, &trickle).toStdString(), PartsSummary(source).toStdString());
}

// Writing keeps every header field (in order, values unchanged), the text
// body and every attachment's name and data.
TEST_P(MimeCorpus, WrittenMessageReadsBackTheSame)
{
    const TMimeParser parser;
    TMimeMessage original;
    parser.Parse(Fixture(GetParam()), original);
    // The message views write header fields as raw 8-bit text.
    original.OnHeaderEncoding = [] { return THeaderEncoding{'8', THeaderTransfer::Bit8, "windows-1251"}; };
    TFastMemoryStream written;
    WriteMessage(original, written);
    TMimeMessage reread;
    parser.Parse(written.ToByteArray(), reread);

    int next = 0;
    for (const TMimeHeader& header : original.Headers().Items()) {
        while (next < reread.Headers().Count() && reread.Headers().At(next).Name != header.Name)
            ++next;
        ASSERT_LT(next, reread.Headers().Count()) << header.Name.toStdString();
        EXPECT_EQ(reread.Headers().At(next++).Value, header.Value);
    }
    QByteArray charset[2];
    QByteArray text[2];
    TextBody(original, charset[0], text[0]);
    TextBody(reread, charset[1], text[1]);
    EXPECT_EQ(text[1], text[0]);
    EXPECT_EQ(charset[1], charset[0]);
    ASSERT_EQ(reread.AttachmentCount(), original.AttachmentCount());
    for (int i = 0, j = 0; i < original.PartCount(); ++i) {
        if (original.Part(i).Kind() != TMimePart::TKind::Attachment)
            continue;
        while (reread.Part(j).Kind() != TMimePart::TKind::Attachment)
            ++j;
        auto& before = static_cast<TMimeAttachment&>(original.Part(i));
        auto& after = static_cast<TMimeAttachment&>(reread.Part(j++));
        EXPECT_EQ(after.FileName(), before.FileName());
        EXPECT_EQ(after.DataBytes(), before.DataBytes());
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, MimeCorpus, ::testing::ValuesIn(kFixtures),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
