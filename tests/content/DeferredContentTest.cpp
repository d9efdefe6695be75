#include "base/FastMemoryStream.h"
#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "content/MimeSource.h"
#include "tests/content/ViewTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QRegularExpression>

namespace {

class DeferredContent : public TContentTest, public ::testing::WithParamInterface<QString>
{
};

TEST_P(DeferredContent, DecodesWhenAskedToWhatAFullParseDecodes)
{
    const QByteArray source = ReadFixture(GetParam());
    TMimeMessage full;
    TMimeParser().Parse(source, full, TMimeParser::TMode::Full);
    TMimeMessage deferred;
    TMimeParser().Parse(SourceOf(source), deferred, TMimeParser::TMode::Deferred);
    ASSERT_EQ(deferred.PartCount(), full.PartCount());
    for (int i = 0; i < full.PartCount(); ++i) {
        if (full.Part(i).Kind() != TMimePart::TKind::Attachment)
            continue;
        auto& expected = static_cast<TMimeAttachment&>(full.Part(i));
        auto& attachment = static_cast<TMimeAttachment&>(deferred.Part(i));
        const qint64 estimate = attachment.Size();
        const QByteArray data = attachment.DataBytes();
        EXPECT_EQ(data, expected.DataBytes()) << "part " << i;
        EXPECT_TRUE(attachment.IsDecoded());
        // Base64 estimates miss by a padding byte or two at most; the other
        // encodings never estimate low.
        EXPECT_GE(estimate + 3, data.size()) << "part " << i;
        if (attachment.TransferEncoding() == "base64") {
            EXPECT_LE(estimate, data.size() + 3) << "part " << i;
        }
    }
}

QStringList CorpusFiles()
{
    QStringList files;
    for (const char* folder : {"mime", "view"})
        for (const QString& name : QDir(FixturePath(QLatin1String(folder))).entryList({QStringLiteral("*.eml")}))
            files.append(QLatin1String(folder) + QLatin1Char('/') + name);
    return files;
}

INSTANTIATE_TEST_SUITE_P(Corpus, DeferredContent, ::testing::ValuesIn(CorpusFiles()), [](const auto& info) {
    QString name = info.param;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
    return name.toStdString();
});

class DeferredParse : public TContentTest
{
};

TEST_F(DeferredParse, AnAttachmentStaysEncodedUntilItsDataIsAskedFor)
{
    TMimeMessage message;
    TSharedSource source = ViewFixture("three-attachments.eml");
    const std::weak_ptr<const TFastMemoryStream> watch = source;
    TMimeParser().Parse(source, message, TMimeParser::TMode::Deferred);
    source.reset();
    ASSERT_EQ(message.AttachmentCount(), 3);
    auto& first = static_cast<TMimeAttachment&>(message.Part(1));
    EXPECT_FALSE(first.IsDecoded());
    EXPECT_FALSE(watch.expired()) << "the attachments keep the source";
    EXPECT_TRUE(first.DataBytes().startsWith("%PDF-1.4\n"));
    EXPECT_TRUE(first.IsDecoded());
    EXPECT_FALSE(static_cast<TMimeAttachment&>(message.Part(2)).IsDecoded()) << "only the one asked for";
    message.Clear();
    EXPECT_TRUE(watch.expired()) << "clearing the message releases the source";
}

TEST_F(DeferredParse, ADeferredParseLeavesTheSourcePositionAlone)
{
    const QByteArray bytes = ReadFixture(QStringLiteral("view/three-attachments.eml"));
    // Tiny blocks: every read crosses block boundaries.
    auto stream = std::make_shared<TFastMemoryStream>(7);
    stream->WriteBuffer(bytes.constData(), bytes.size());
    stream->SetPosition(123);
    TMimeMessage message;
    TMimeParser().Parse(TSharedSource(stream), message, TMimeParser::TMode::Deferred);
    EXPECT_EQ(stream->Position(), 123);
    EXPECT_EQ(static_cast<TMimeAttachment&>(message.Part(3)).DataBytes(), QByteArray("line one\r\nline two\r\n"));
}

TEST(SourceView, ReadsItsRangeWithAPositionOfItsOwn)
{
    auto stream = std::make_shared<TFastMemoryStream>(4);
    stream->WriteBuffer("0123456789abcdef", 16);
    TSourceView view(stream, 3, 13);
    EXPECT_EQ(view.Size(), 10);
    char buffer[16] = {};
    EXPECT_EQ(view.Read(buffer, 6), 6);
    EXPECT_EQ(QByteArray(buffer, 6), QByteArray("345678"));
    EXPECT_EQ(view.Read(buffer, 16), 4);
    EXPECT_EQ(QByteArray(buffer, 4), QByteArray("9abc"));
    EXPECT_EQ(view.Read(buffer, 16), 0);
    EXPECT_EQ(stream->Position(), 16) << "the source's own position is not used";
    EXPECT_THROW(view.Write("x", 1), EWriteError);
}

} // namespace
