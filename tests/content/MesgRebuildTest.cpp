#include "base/FastMemoryStream.h"
#include "content/MimeParser.h"
#include "content/MimeWriter.h"
#include "content/view/MesgRebuild.h"
#include "content/view/MesgViewModel.h"
#include "tests/content/ViewTestSupport.h"
#include "tests/support/TestEnvironment.h"

namespace {

class MesgRebuild : public TContentTest
{
protected:
    // Rebuilds the source's message from `edited`, writes it and shows what
    // was written.
    void Rebuild(const QByteArray& source, const TEditedMessage& edited)
    {
        TMimeMessage message;
        TMimeParser().Parse(SourceOf(source), message, TMimeParser::TMode::Deferred);
        RebuildMessage(message, edited);
        TFastMemoryStream stream;
        WriteMimeMessage(message, stream);
        FWritten = stream.ToByteArray();
        FBack.LoadSource(SourceOf(FWritten));
        FBack.DisplayMessage(TViewOptions());
    }

    [[nodiscard]] int TextParts() const
    {
        int count = 0;
        for (int i = 0; i < FBack.Message().PartCount(); ++i)
            count += FBack.Message().Part(i).Kind() == TMimePart::TKind::Text ? 1 : 0;
        return count;
    }

    QByteArray FWritten;
    TMesgViewModel FBack;
};

TEST_F(MesgRebuild, TheChosenCharsetIsKeptWhenItHoldsTheText)
{
    TEditedMessage edited;
    edited.Subject = QStringLiteral("Привет");
    edited.From = QStringLiteral("Иван Петров <ivan@example.ru>");
    edited.Body = QStringLiteral("Текст");
    edited.Charset = Id("windows-1251");
    Rebuild(ReadFixture(QStringLiteral("view/koi8-plain.eml")), edited);
    EXPECT_TRUE(FWritten.contains("Subject: =?windows-1251?B?z/Do4uXy?=")) << FWritten.constData();
    EXPECT_TRUE(FWritten.contains("charset=\"windows-1251\""));
    EXPECT_EQ(FBack.Fields().Subject, edited.Subject);
    EXPECT_EQ(FBack.PlainText(), *edited.Body);
    EXPECT_EQ(FBack.Fields().From, edited.From);
    EXPECT_EQ(FBack.Fields().FromAddress, QStringLiteral("ivan@example.ru"));
    EXPECT_TRUE(FBack.Fields().To.isEmpty()) << "an empty field is removed";

    edited.Body = QStringLiteral("Текст — ελληνικά");   // more than windows-1251 holds
    Rebuild(ReadFixture(QStringLiteral("view/koi8-plain.eml")), edited);
    EXPECT_TRUE(FWritten.contains("charset=\"UTF-8\""));
    EXPECT_EQ(FBack.PlainText(), *edited.Body);
    EXPECT_EQ(FBack.Fields().Subject, edited.Subject);
}

TEST_F(MesgRebuild, ALineBreakTypedIntoABoxNeverStartsAField)
{
    TEditedMessage edited;
    edited.Subject = QStringLiteral("hi\r\nBcc: evil@example.invalid");
    edited.Newsgroups = QStringLiteral("comp.lang.c\ncomp.lang.c++");
    Rebuild(ReadFixture(QStringLiteral("view/mailing-list.eml")), edited);
    EXPECT_EQ(FBack.Fields().Subject, QStringLiteral("hi Bcc: evil@example.invalid"));
    EXPECT_FALSE(FBack.Message().Headers().Contains("Bcc"));
    EXPECT_EQ(FBack.Message().Headers().Value("Newsgroups"), QByteArray("comp.lang.c,comp.lang.c++"));
    EXPECT_TRUE(FBack.PlainText().contains(QLatin1String("Hello everyone,"))) << "an unedited body stays";
}

TEST_F(MesgRebuild, AnUneditedBodyKeepsItsHtmlAlternative)
{
    Rebuild(ReadFixture(QStringLiteral("view/alternative-cid.eml")), TEditedMessage());
    EXPECT_TRUE(FBack.HasPlainText());
    EXPECT_TRUE(FBack.HasHtml());
    EXPECT_EQ(FBack.AttachmentCount(), 1);
    EXPECT_FALSE(FBack.ReadOnly());
}

TEST_F(MesgRebuild, AnEditedBodyReplacesTheShownBodyAndItsHtmlAlternative)
{
    TEditedMessage edited;
    edited.Body = QStringLiteral("new text");
    Rebuild(ReadFixture(QStringLiteral("view/alternative-cid.eml")), edited);
    EXPECT_EQ(FBack.PlainText(), QStringLiteral("new text"));
    EXPECT_FALSE(FBack.HasHtml()) << "it would contradict the new text";
    EXPECT_EQ(TextParts(), 1);
    ASSERT_EQ(FBack.AttachmentCount(), 1);
    EXPECT_TRUE(FBack.CidResource(QStringLiteral("cid:logo.1@example.org")).startsWith("\x89PNG"));
}

TEST_F(MesgRebuild, ASingleHtmlMessageBecomesPlainText)
{
    TEditedMessage edited;
    edited.Body = QStringLiteral("plain now");
    Rebuild(ReadFixture(QStringLiteral("view/html-meta-charset.eml")), edited);
    EXPECT_TRUE(FBack.HasPlainText());
    EXPECT_FALSE(FBack.HasHtml());
    EXPECT_EQ(FBack.PlainText(), QStringLiteral("plain now"));
    EXPECT_EQ(FBack.Message().ContentType(), QByteArray("text/plain"));
}

TEST_F(MesgRebuild, AMultipartMessageWithoutTextGetsAPlainPartFirst)
{
    TEditedMessage edited;
    edited.Body = QStringLiteral("the file");
    Rebuild("Subject: x\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n"
            "--b\r\nContent-Type: application/pdf; name=a.pdf\r\nContent-Transfer-Encoding: base64\r\n\r\n"
            "JVBERg==\r\n--b--\r\n",
            edited);
    EXPECT_EQ(FBack.PlainText(), QStringLiteral("the file"));
    ASSERT_EQ(FBack.Message().PartCount(), 2);
    EXPECT_EQ(FBack.Message().Part(0).Kind(), TMimePart::TKind::Text);
    EXPECT_EQ(FBack.Attachment(0).DataBytes(), QByteArray("%PDF"));
}

} // namespace
