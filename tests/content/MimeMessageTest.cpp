#include "base/FastMemoryStream.h"
#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "tests/content/ContentTestSupport.h"

#include <cstring>

namespace {

class MimeMessage : public TContentTest
{
protected:
    static void Parse(const QByteArray& source, TMimeMessage& message) { TMimeParser().Parse(source, message); }

    static QByteArray Written(const TMimeMessage& message)
    {
        TFastMemoryStream stream;
        WriteMessage(message, stream);
        return stream.ToByteArray();
    }
};

struct TPriorityCase
{
    const char* Name;
    const char* Headers;
    int Priority;
};

class PriorityOf : public MimeMessage, public ::testing::WithParamInterface<TPriorityCase>
{
};

TEST_P(PriorityOf, ReadsTheFieldsAsMailProgramsDo)
{
    TMimeMessage message;
    Parse(QByteArray(GetParam().Headers) + "\r\nbody\r\n", message);
    EXPECT_EQ(message.Priority(), GetParam().Priority);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, PriorityOf,
    ::testing::Values(TPriorityCase{"None", "Subject: x\r\n", 2},
                      TPriorityCase{"XPriorityHighest", "X-Priority: 1 (Highest)\r\n", 0},
                      TPriorityCase{"XPriorityLowest", "X-Priority: 5\r\n", 4},
                      TPriorityCase{"XPriorityOutOfRange", "X-Priority: 9\r\n", 2},
                      TPriorityCase{"XPriorityWinsOverImportance", "Importance: low\r\nX-Priority: 2\r\n", 1},
                      TPriorityCase{"InvalidXPriorityFallsThrough", "X-Priority: high\r\nImportance: Low\r\n", 3},
                      TPriorityCase{"ImportanceHigh", "Importance: HIGH\r\n", 1},
                      TPriorityCase{"PriorityUrgent", "Priority: urgent\r\n", 1},
                      TPriorityCase{"PriorityNonUrgent", "Priority: non-urgent\r\n", 3},
                      TPriorityCase{"MsMailLow", "X-MSMail-Priority: Low\r\n", 3}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MimeMessage, DateKeepsItsOffsetAndRejectsGarbage)
{
    TMimeMessage message;
    Parse("Date: Tue, 3 Mar 2026 09:59:58 +0300\r\n\r\n", message);
    EXPECT_EQ(message.Date().toUTC(), QDateTime(QDate(2026, 3, 3), QTime(6, 59, 58), Qt::UTC));
    Parse("Date: yesterday-ish\r\n\r\n", message);
    EXPECT_FALSE(message.Date().isValid());
}

TEST_F(MimeMessage, HeaderValuesStayRawAndUnfolded)
{
    TMimeMessage message;
    Parse("Subject: =?utf-8?B?0J/RgNC40LLQtdGC?=\r\n more\r\nX-Raw: \xcf\xf0\xe8\r\nX-Raw: second\r\n\r\n", message);
    EXPECT_EQ(message.Headers().Value("subject"), QByteArray("=?utf-8?B?0J/RgNC40LLQtdGC?= more"));
    EXPECT_EQ(message.Headers().Values("X-RAW"), (QList<QByteArray>{"\xcf\xf0\xe8", "second"}));
    EXPECT_TRUE(message.ExtraHeaders().Contains("x-raw"));
    EXPECT_FALSE(message.ExtraHeaders().Contains("Subject"));
}

TEST_F(MimeMessage, PartFileNamesComeRawFromTheFields)
{
    TMimeMessage message;
    Parse("Content-Type: multipart/mixed; boundary=b\r\n\r\n"
          "--b\r\nContent-Type: application/x; name=\"by-type.bin\"\r\n\r\nA\r\n"
          "--b\r\nContent-Type: application/x; name=ignored\r\nContent-Disposition: attachment; FileName=plain.bin; "
          "size=3\r\n\r\nB\r\n"
          "--b\r\nContent-Type: image/gif\r\nContent-Disposition: inline; filename=\"=?koi8-r?Q?=F0?=.gif\"\r\n\r\nC\r\n"
          "--b--\r\n",
          message);
    ASSERT_EQ(message.AttachmentCount(), 3);
    EXPECT_EQ(message.Part(0).FileName(), QByteArray("by-type.bin"));
    EXPECT_EQ(message.Part(1).FileName(), QByteArray("plain.bin"));
    EXPECT_EQ(message.Part(1).Disposition(), QByteArray("attachment"));
    EXPECT_EQ(message.Part(2).FileName(), QByteArray("=?koi8-r?Q?=F0?=.gif"));
}

TEST_F(MimeMessage, UuencodeAsTransferEncodingIsDecoded)
{
    TMimeMessage message;
    Parse("Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: application/octet-stream; "
          "name=h.txt\r\nContent-Transfer-Encoding: x-uuencode\r\n\r\nbegin 644 h.txt\r\n%:&5L;&\\`\r\n`\r\nend\r\n--b--\r\n",
          message);
    ASSERT_EQ(message.AttachmentCount(), 1);
    EXPECT_EQ(static_cast<TMimeAttachment&>(message.Part(0)).DataBytes(), QByteArray("hello"));
}

TEST_F(MimeMessage, ForwardedMessageStaysReadableWhenWritten)
{
    TMimeMessage message;
    Parse("Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\nsee below\r\n"
          "--b\r\nContent-Type: message/rfc822\r\n\r\nSubject: inner\r\n\r\ninner body\r\n--b--\r\n",
          message);
    ASSERT_EQ(message.AttachmentCount(), 1);
    const QByteArray inner = static_cast<TMimeAttachment&>(message.Part(1)).DataBytes();
    EXPECT_EQ(inner, QByteArray("Subject: inner\r\n\r\ninner body"));
    const QByteArray written = Written(message);
    EXPECT_TRUE(written.contains("Subject: inner\r\n\r\ninner body")) << written.constData();
    TMimeMessage reread;
    Parse(written, reread);
    ASSERT_EQ(reread.AttachmentCount(), 1);
    EXPECT_EQ(static_cast<TMimeAttachment&>(reread.Part(1)).DataBytes(), inner);
}

// An attachment kind that keeps no data, as a preview decoder makes them.
class TSizeOnlyStream : public TStream
{
public:
    qint64 Read(void*, qint64) override { return 0; }
    qint64 Write(const void*, qint64 count) override
    {
        FPosition += count;
        FSize = std::max(FSize, FPosition);
        return count;
    }
    qint64 Seek(qint64 offset, TSeekOrigin origin) override { return FPosition = SeekTarget(FPosition, FSize, offset, origin); }
    [[nodiscard]] qint64 Size() override { return FSize; }
    void SetSize(qint64 size) override { FSize = size; }

private:
    qint64 FSize = 0;
    qint64 FPosition = 0;
};

class TEmptyTestAttachment : public TMimeAttachment
{
protected:
    std::unique_ptr<TStream> CreateDataStream() override { return std::make_unique<TSizeOnlyStream>(); }
};

TEST_F(MimeMessage, AttachmentsComeFromTheCreationHook)
{
    TMimeMessage message;
    int created = 0;
    message.OnCreateAttachment = [&created] {
        ++created;
        return std::make_unique<TEmptyTestAttachment>();
    };
    Parse("Content-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n\r\nAAECAwQF\r\n", message);
    ASSERT_EQ(created, 1);
    ASSERT_EQ(message.PartCount(), 1);
    auto& attachment = static_cast<TMimeAttachment&>(message.Part(0));
    EXPECT_EQ(attachment.Data().Size(), 6);
    EXPECT_TRUE(attachment.DataBytes().isEmpty());
    // Clearing keeps the hook.
    message.Clear();
    Parse("Content-Type: image/png\r\n\r\nx", message);
    EXPECT_EQ(created, 2);
}

TEST_F(MimeMessage, HeaderEncodingHookDecidesHow8BitFieldsAreWritten)
{
    TMimeMessage message;
    Parse("Subject: \xcf\xf0\xe8\xe2\xe5\xf2\r\n\r\nx\r\n", message);
    message.OnHeaderEncoding = [] { return THeaderEncoding{'8', THeaderTransfer::Bit8, "windows-1251"}; };
    EXPECT_TRUE(Written(message).startsWith("Subject: \xcf\xf0\xe8\xe2\xe5\xf2\r\n"));
    message.OnHeaderEncoding = [] { return THeaderEncoding{'B', THeaderTransfer::Bit8, "windows-1251"}; };
    EXPECT_TRUE(Written(message).startsWith("Subject: =?windows-1251?B?z/Do4uXy?=\r\n"));
}

TEST_F(MimeMessage, GeneratedAndExtraFieldsAreWrittenOnce)
{
    TMimeMessage message;
    Parse("X-Mailer: old\r\nSubject: s\r\n\r\nx\r\n", message);
    message.GeneratedHeaders().Set("X-Mailer", "new");
    message.GeneratedHeaders().Set("Unsent", "1");
    message.ExtraHeaders().Set("X-Extra", "e");
    const QByteArray written = Written(message);
    EXPECT_TRUE(written.startsWith("X-Mailer: new\r\nSubject: s\r\nUnsent: 1\r\nX-Extra: e\r\n")) << written.constData();
    EXPECT_EQ(written.count("X-Mailer"), 1);
}

TEST_F(MimeMessage, AttachmentAddedToAPlainMessageMakesItMultipart)
{
    TMimeMessage message;
    message.Headers().Add("Subject", "new");
    message.SetCharset("koi8-r");
    message.SetBody("\xf0\xd2\xc9\r\n");
    auto attachment = message.CreateAttachment();
    attachment->SetFileName("a.bin");
    attachment->SetDataBytes(QByteArray("\x00\x01\x02", 3));
    message.AddPart(std::move(attachment));

    TMimeMessage reread;
    Parse(Written(message), reread);
    EXPECT_EQ(reread.ContentType(), QByteArray("multipart/mixed"));
    ASSERT_EQ(reread.PartCount(), 2);
    const auto& text = static_cast<const TMimeTextPart&>(reread.Part(0));
    EXPECT_EQ(text.Charset(), QByteArray("koi8-r"));
    EXPECT_EQ(text.Body(), QByteArray("\xf0\xd2\xc9\r\n"));
    EXPECT_EQ(reread.Part(1).FileName(), QByteArray("a.bin"));
    EXPECT_EQ(static_cast<TMimeAttachment&>(reread.Part(1)).DataBytes(), QByteArray("\x00\x01\x02", 3));
}

TEST_F(MimeMessage, ParserLimitsCutDeepNestingAndPartFloods)
{
    QByteArray deep = "Content-Type: multipart/mixed; boundary=b0\r\n\r\n";
    const int depth = 200;
    for (int i = 1; i < depth; ++i)
        deep += "--b" + QByteArray::number(i - 1) + "\r\nContent-Type: multipart/mixed; boundary=b" + QByteArray::number(i) + "\r\n\r\n";
    deep += "--b" + QByteArray::number(depth - 1) + "\r\n\r\nleaf\r\n";
    TMimeMessage message;
    TMimeParser(TMimeParser::TLimits{10, 100}).Parse(deep, message);
    EXPECT_EQ(message.Containers().size(), 10u);
    EXPECT_EQ(message.PartCount(), 0);

    QByteArray flood = "Content-Type: multipart/mixed; boundary=b\r\n\r\n";
    for (int i = 0; i < 500; ++i)
        flood += "--b\r\n\r\npart\r\n";
    TMimeParser(TMimeParser::TLimits{10, 100}).Parse(flood, message);
    EXPECT_EQ(message.PartCount(), 100);
}

TEST_F(MimeMessage, NotMailAtAllGivesAnEmptyishMessage)
{
    TMimeMessage message;
    for (const QByteArray& source : {QByteArray(), QByteArray("\x00\x01\x02", 3), QByteArray("no header here")}) {
        Parse(source, message);
        EXPECT_EQ(message.PartCount(), 0);
    }
}

// A source that fails part-way, as a store stream may.
class TFailingStream : public TStream
{
public:
    explicit TFailingStream(QByteArray bytes, qint64 failAt) : FBytes(std::move(bytes)), FFailAt(failAt) {}
    qint64 Read(void* buffer, qint64 count) override
    {
        if (FPosition + count > FFailAt)
            throw EReadError(QStringLiteral("Stream read error"));
        const qint64 read = std::min(count, FBytes.size() - FPosition);
        std::memcpy(buffer, FBytes.constData() + FPosition, static_cast<size_t>(std::max<qint64>(read, 0)));
        FPosition += std::max<qint64>(read, 0);
        return std::max<qint64>(read, 0);
    }
    qint64 Write(const void*, qint64) override { return 0; }
    qint64 Seek(qint64 offset, TSeekOrigin origin) override { return FPosition = SeekTarget(FPosition, FBytes.size(), offset, origin); }
    [[nodiscard]] qint64 Size() override { return FBytes.size(); }
    void SetSize(qint64) override {}

private:
    QByteArray FBytes;
    qint64 FFailAt;
    qint64 FPosition = 0;
};

TEST_F(MimeMessage, FailingSourceEndsTheParseWithoutRaising)
{
    const QByteArray source = "Subject: cut\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\n" +
                              QByteArray(20000, 'x') + "\r\n--b--\r\n";
    for (qint64 failAt : {0, 10, 5000}) {
        TFailingStream stream(source, failAt);
        TMimeMessage message;
        EXPECT_NO_THROW(TMimeParser().Parse(stream, message)) << failAt;
    }
}

TEST(MimeHeaders, UnfoldSetAndRemove)
{
    EXPECT_EQ(TMimeHeaders::Unfold(" a\r\n\tb\r\n c \r\n"), QByteArray("a\tb c"));
    TMimeHeaders headers;
    headers.Add("Received", "1");
    headers.Add("received", "2");
    headers.Set("RECEIVED", "3");
    EXPECT_EQ(headers.Values("Received"), (QList<QByteArray>{"3", "2"}));
    headers.Remove("Received");
    EXPECT_TRUE(headers.IsEmpty());
}

} // namespace
