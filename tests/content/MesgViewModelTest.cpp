#include "content/IdCoderHeader.h"
#include "content/MesgUtils.h"
#include "content/Utf16Funcs.h"
#include "content/attach/Attachments.h"
#include "content/view/MesgViewModel.h"
#include "settings/CharsetSwitches.h"
#include "tests/content/ViewTestSupport.h"
#include "tests/support/TestEnvironment.h"

namespace {

class MesgViewModel : public TContentTest
{
protected:
    void Show(const char* fixture, const TViewOptions& options = FixtureOptions())
    {
        FModel.LoadSource(ViewFixture(fixture));
        // The list item's subject decides the digest rule.
        const QString subject = DecodeHeaderField(FModel.Message().Headers().Value("Subject"), DefaultMessageCharset());
        FModel.DisplayMessage(options.ForSubject(subject));
    }

    TMesgViewModel FModel;
};

TEST_F(MesgViewModel, AMailingListMessageIsShownWithoutGreetingAndAdvertisement)
{
    Show("mailing-list.eml");
    EXPECT_TRUE(FModel.ReadOnly());
    EXPECT_TRUE(FModel.HasPlainText());
    EXPECT_FALSE(FModel.HasHtml());
    EXPECT_EQ(FModel.Shown().Lines,
              (QStringList{QStringLiteral("> The new runners take twice as long."), QStringLiteral("> Is that expected?"),
                           QString(), QStringLiteral("It is: the cache is cold after the move."),
                           QStringLiteral("It warms up within a day."), QString(), QStringLiteral("Dana")}));
    EXPECT_EQ(FModel.Shown().Italic, (QList<bool>{true, true, false, false, false, false, false}));
    EXPECT_TRUE(FModel.PlainText().startsWith(QLatin1String("------------------------------\r\nHello everyone,")));
    EXPECT_TRUE(FModel.PlainText().endsWith(QLatin1String("leave@lists.invalid"))) << "the message keeps its text";
    EXPECT_EQ(FModel.Fields().FromName, QStringLiteral("Dana Reed"));
    EXPECT_EQ(FModel.Fields().FromAddress, QStringLiteral("dana@lists.example.org"));
    EXPECT_TRUE(FModel.HeaderText().contains(QLatin1String("\nSubject: Re: Build times on the new runners\n")));
}

TEST_F(MesgViewModel, OptionsSwitchEachStepOff)
{
    TViewOptions options = FixtureOptions();
    options.DeleteDoubleReturn = false;
    options.GreetingFilter = false;
    options.AdvertismentFilter = false;
    options.MarkQuote = false;
    Show("mailing-list.eml", options);
    EXPECT_EQ(FModel.Shown().Lines, SplitLines(FModel.PlainText()));
    EXPECT_TRUE(FModel.Shown().Italic.isEmpty());
}

TEST_F(MesgViewModel, ADigestIsShownWholeDespiteTheAdvertisementFilter)
{
    Show("digest.eml");
    EXPECT_EQ(FModel.Shown().Lines.count(QStringLiteral("Get your free mailbox at www.examplemail.invalid today")), 2);
    EXPECT_EQ(FModel.Shown().Lines.last(), QStringLiteral("Get your free mailbox at www.examplemail.invalid today"));
    FModel.DisplayMessage(FixtureOptions());   // the same message without the digest rule
    EXPECT_EQ(FModel.Shown().Lines.last(), QStringLiteral("The cache is cold after the move."));
}

TEST_F(MesgViewModel, AnAlternativeWithAnInlineImageShowsBothBodiesAndResolvesOnlyItsOwnCid)
{
    Show("alternative-cid.eml");
    EXPECT_TRUE(FModel.HasPlainText());
    EXPECT_TRUE(FModel.HasHtml());
    EXPECT_EQ(FModel.EffectiveCharset(), Id("utf-8")) << "the HTML part's charset reads the header";
    EXPECT_TRUE(FModel.HtmlText().contains(QLatin1String("<img src=\"cid:Logo.1%40example.org\">")));
    EXPECT_TRUE(FModel.HtmlText().contains(QStringLiteral("Café &amp; more")));
    EXPECT_EQ(FModel.HtmlBodyText(), QStringLiteral("The new logo is below.\n\nCafé & more"));
    ASSERT_EQ(FModel.AttachmentCount(), 1);
    EXPECT_FALSE(FModel.Attachment(0).IsDecoded());
    EXPECT_EQ(FModel.CidAttachment(QStringLiteral("CID:logo.1@EXAMPLE.org")), 0);
    const QByteArray image = FModel.CidResource(QStringLiteral("cid:Logo.1%40example.org"));
    EXPECT_TRUE(image.startsWith("\x89PNG\r\n\x1a\n"));
    for (const char* url : {"http://tracker.invalid/pixel.gif", "file:///etc/passwd", "cid:other@example.org", "cid:",
                            "data:image/png;base64,AAAA"})
        EXPECT_TRUE(FModel.CidResource(QLatin1String(url)).isEmpty()) << url;
}

TEST_F(MesgViewModel, AttachmentsAreListedFromTheStructureAndDecodedWhenOpened)
{
    Show("three-attachments.eml");
    ASSERT_EQ(FModel.AttachmentCount(), 3);
    EXPECT_EQ(FModel.AttachmentName(0), QStringLiteral("report.pdf"));
    EXPECT_EQ(FModel.AttachmentName(1), QStringLiteral("report.pdf"));
    EXPECT_EQ(FModel.AttachmentName(2), QStringLiteral("notes.txt"));
    EXPECT_NEAR(static_cast<double>(FModel.AttachmentSize(0)), 278.0, 3.0);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(FModel.Attachment(i).IsDecoded()) << i;

    const QString first = FModel.EnsureTempFile(0);
    const QString second = FModel.EnsureTempFile(1);
    EXPECT_TRUE(first.endsWith(QLatin1String("/report.pdf")));
    EXPECT_TRUE(second.endsWith(QLatin1String("/report01.pdf")));
    EXPECT_TRUE(ReadTestFile(first).endsWith("%%EOF first\n"));
    EXPECT_TRUE(ReadTestFile(second).endsWith("%%EOF second\n"));
    EXPECT_EQ(FModel.AttachmentSize(0), 278);

    const QString saved = TTestEnvironment::NewFolder() + QStringLiteral("/chosen.pdf");
    FModel.SaveAttachment(1, saved);
    EXPECT_EQ(ReadTestFile(saved), ReadTestFile(second));
    EXPECT_FALSE(FModel.Attachment(2).IsDecoded());
}

TEST_F(MesgViewModel, APreviewKeepsNoAttachmentData)
{
    TMesgViewModel preview(TMesgViewModel::TAttachments::Empty);
    preview.LoadSource(ViewFixture("three-attachments.eml"));
    preview.DisplayMessage(FixtureOptions());
    ASSERT_EQ(preview.AttachmentCount(), 3);
    EXPECT_NE(dynamic_cast<TEmptyAttachment*>(&preview.Attachment(0)), nullptr);
    EXPECT_EQ(preview.AttachmentName(0), QStringLiteral("report.pdf"));
    const QByteArray data = preview.Attachment(0).DataBytes();
    EXPECT_EQ(data, QByteArray(278, '\0')) << "only the size is kept";
    EXPECT_THROW(preview.EnsureTempFile(0), EFCreateError);
}

TEST_F(MesgViewModel, ChangingTheCharsetDecodesBodyAndHeaderAgain)
{
    Show("koi8-plain.eml");
    EXPECT_EQ(FModel.PlainText(), QStringLiteral("Привет, мир"));
    EXPECT_EQ(FModel.Fields().Subject, QStringLiteral("Привет"));
    EXPECT_EQ(FModel.Fields().FromName, QStringLiteral("Иван"));
    FModel.ChangeCharset(Id("windows-1251"), FixtureOptions());
    EXPECT_EQ(FModel.ChosenCharset(), Id("windows-1251"));
    EXPECT_EQ(FModel.EffectiveCharset(), Id("windows-1251"));
    EXPECT_EQ(FModel.PlainText(), QStringLiteral("рТЙЧЕФ, НЙТ"));
    EXPECT_EQ(FModel.Fields().Subject, QStringLiteral("рТЙЧЕФ"));
    EXPECT_EQ(FModel.Fields().FromName, QStringLiteral("Иван")) << "an encoded word keeps its own charset";
}

TEST_F(MesgViewModel, AnHtmlPartWithoutACharsetIsReadInTheOneItsDocumentNames)
{
    Show("html-meta-charset.eml");
    EXPECT_FALSE(FModel.HasPlainText());
    EXPECT_TRUE(FModel.HasHtml());
    EXPECT_TRUE(FModel.HtmlText().contains(QStringLiteral("<p>Скидка</p>")));
    EXPECT_EQ(FModel.BodyText(), QStringLiteral("Скидка"));
}

TEST_F(MesgViewModel, MalformedUtf8StillShowsItsText)
{
    FModel.LoadSource(SourceOf("Content-Type: text/plain; charset=utf-8\r\n\r\nfine \xC3\xA9 text \xFF end\r\n"));
    FModel.DisplayMessage(TViewOptions());
    EXPECT_EQ(FModel.PlainText(), QStringLiteral("fine é text \uFFFD end"));
}

// The escape that opens ISO-2022-JP text is a control byte: the body is
// trimmed only once it is decoded.
TEST_F(MesgViewModel, AnIso2022JpBodyThatOpensWithItsEscapeIsRead)
{
    FModel.LoadSource(SourceOf("Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n\r\n\x1b$BK\\J8$G$9!#\x1b(B\r\n"));
    FModel.DisplayMessage(TViewOptions());
    EXPECT_EQ(FModel.PlainText(), QString::fromUtf16(u"\u672C\u6587\u3067\u3059\u3002"));
}

TEST_F(MesgViewModel, PreviewTextHoldsTheHeaderAndTheFirstFilteredLines)
{
    Show("mailing-list.eml");
    const QString date = FormatMessageDate(0, DateTimeToDays(FModel.Message().Date()));
    EXPECT_EQ(FModel.PreviewText(FixtureOptions()),
              QStringLiteral("From: Dana Reed <dana@lists.example.org>\nTo: tools-list@lists.example.org\n"
                             "Subject: Re: Build times on the new runners\nDate: ") +
                  date +
                  QStringLiteral("\n\n> The new runners take twice as long.\n> Is that expected?\n"
                                 "It is: the cache is cold after the move.\nIt warms up within a day."));
    FModel.LoadSource(SourceOf("Subject: empty\r\n\r\n"));
    FModel.DisplayMessage(TViewOptions());
    EXPECT_FALSE(FModel.PreviewText(TViewOptions()).contains(QLatin1String("\n\n")));
}

TEST_F(MesgViewModel, RussianTextInTheWrongCodePageIsReadAgainWhenAsked)
{
    const QString sentence = QStringLiteral("Привет, мир! Как дела? Это проверка определения кодировки текста.");
    const QByteArray source = "Content-Type: text/plain; charset=windows-1251\r\nSubject: " +
                              EncodeCharsetText(QStringLiteral("Проверка кодировки"), Id("KOI8-R")) + "\r\n\r\n" +
                              EncodeCharsetText(sentence, Id("KOI8-R"));
    FModel.LoadSource(SourceOf(source));
    FModel.DisplayMessage(TViewOptions());
    EXPECT_NE(FModel.PlainText(), sentence) << "read by its label";
    SetAutoRusEnabled(true);
    SetAutoRusHeaderEnabled(true);
    FModel.DisplayMessage(TViewOptions());
    EXPECT_EQ(FModel.PlainText(), sentence);
    EXPECT_EQ(FModel.Fields().Subject, QStringLiteral("Проверка кодировки"));
}

TEST_F(MesgViewModel, QuoteLinesAreThoseWithAnEarlyGreaterThan)
{
    EXPECT_TRUE(IsQuoteLine(QStringLiteral("> a")));
    EXPECT_TRUE(IsQuoteLine(QStringLiteral("ab>defghi")));    // the third of nine
    EXPECT_FALSE(IsQuoteLine(QStringLiteral("abcd>efgh")));   // the fifth of nine
    EXPECT_FALSE(IsQuoteLine(QStringLiteral("no quote")));
}

// Whatever arrives, showing it ends, and every road of the model works on
// what came of it.
TEST_F(MesgViewModel, HostileMessagesAreShownWithoutHarm)
{
    const QByteArray html = "Content-Type: text/html; charset=utf-8\r\n\r\n";
    const QByteArray inputs[] = {
        QByteArray("Subject: many empty lines\r\n\r\nx") + QByteArray("\r\n").repeated(200000) + "y",
        QByteArray("Subject: long lines\r\n\r\n") + (QByteArray(3000, 'a') + "\r\n").repeated(300),
        html + QByteArray("<").repeated(100000),
        html + QByteArray("<!--") + QByteArray("<p>").repeated(50000),
        html + QByteArray("<script>") + QByteArray("a").repeated(100000),
        html + QByteArray("&#x").repeated(50000) + QByteArray("&amp").repeated(50000),
        html + QByteArray("<a href=\"").repeated(20000),
        html + QByteArray("<pre>\r\r\r\n</pre><td></td>").repeated(20000),
        QByteArray("Content-Type: multipart/mixed; boundary=b\r\n\r\n") +
            QByteArray("--b\r\nContent-Type: image/png\r\nContent-ID: <x>\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                       "!!!!\r\n")
                .repeated(2000),
        QByteArray("\0\0\0\xFF\xFE", 5),
        QByteArray(),
    };
    TViewOptions options = FixtureOptions();
    options.AdSamples.append(QString(200, QLatin1Char('A')));
    for (const QByteArray& input : inputs) {
        FModel.LoadSource(SourceOf(input));
        FModel.DisplayMessage(options);
        (void)FModel.PreviewText(options);
        (void)FModel.HeaderText();
        (void)FModel.CidResource(QStringLiteral("cid:x"));
        for (int i = 0; i < std::min(FModel.AttachmentCount(), 20); ++i)
            (void)FModel.AttachmentName(i);
    }
    FModel.Clear();
    EXPECT_EQ(FModel.AttachmentCount(), 0);
    EXPECT_FALSE(FModel.HasPlainText() || FModel.HasHtml());
}

} // namespace
