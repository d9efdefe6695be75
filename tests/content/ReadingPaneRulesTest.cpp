// The rules that keep the reading pane from losing or endangering data,
// one row each, through the classes the pane uses.

#include "base/FastMemoryStream.h"
#include "content/MesgUtils.h"
#include "content/MimeParser.h"
#include "content/view/MesgViewModel.h"
#include "settings/SystemCodePage.h"
#include "tests/content/ViewTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <functional>

namespace {

const QString kAdLine = QStringLiteral("Get your free mailbox at www.examplemail.invalid today");

void Show(TMesgViewModel& model, const char* fixture)
{
    model.LoadSource(ViewFixture(fixture));
    model.DisplayMessage(FixtureOptions());
}

// The plain body of a written message, parsed back.
QString PlainBodyOf(const QByteArray& source)
{
    TMesgViewModel model;
    model.LoadSource(SourceOf(source));
    model.DisplayMessage(TViewOptions());
    return model.PlainText();
}

void FiltersChangeWhatIsShownNeverWhatIsSaved()
{
    TMesgViewModel list;
    Show(list, "mailing-list.eml");
    ASSERT_FALSE(list.Shown().Lines.contains(kAdLine));
    const QString text = TTestEnvironment::NewFolder() + QStringLiteral("/list.txt");
    list.SaveAsText(text);
    const QString saved = QString::fromUtf8(ReadTestFile(text));
    EXPECT_TRUE(saved.contains(QLatin1String("\nHello everyone,\n")));
    EXPECT_TRUE(saved.contains(kAdLine));
    TFastMemoryStream written;
    list.SaveBodyToStream(written, list.Shown().Text());
    EXPECT_EQ(PlainBodyOf(written.ToByteArray()), list.PlainText()) << "a read-only body is saved as it came";

    // An unsent message is editable: shown whole, so the whole is saved.
    TMesgViewModel draft;
    Show(draft, "draft.eml");
    EXPECT_FALSE(draft.ReadOnly());
    EXPECT_EQ(draft.Shown().Lines, SplitLines(draft.PlainText()));
    EXPECT_TRUE(draft.Shown().Lines.contains(QStringLiteral("Hello Henry,")));
    EXPECT_TRUE(draft.Shown().Lines.contains(kAdLine));
    TFastMemoryStream draftWritten;
    draft.SaveBodyToStream(draftWritten, draft.Shown().Text());
    EXPECT_EQ(PlainBodyOf(draftWritten.ToByteArray()), draft.PlainText());

    // The store's unsent mark alone makes a message editable too.
    TMesgViewModel marked;
    marked.LoadSource(ViewFixture("mailing-list.eml"));
    marked.DisplayMessage(FixtureOptions(), true);
    EXPECT_FALSE(marked.ReadOnly());
    EXPECT_TRUE(marked.Shown().Lines.contains(kAdLine));
}

void RebuildKeepsAttachmentsAndForeignHeaders()
{
    TMesgViewModel draft;
    Show(draft, "draft.eml");
    ASSERT_EQ(draft.AttachmentCount(), 2);
    TMimeMessage original;
    TMimeParser().Parse(ReadFixture(QStringLiteral("view/draft.eml")), original);

    TEditedMessage edited;
    edited.Subject = QStringLiteral("План: final");
    edited.From = draft.Fields().From;
    edited.To = QStringLiteral("Henry <henry@example.net>, ivy@example.org");
    edited.Body = QStringLiteral("Hello Henry,\n\nthe plan is final.\n");
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/draft.eml");
    draft.SaveMessageFile(path, &edited);

    TMesgViewModel back;
    back.LoadSource(SourceOf(ReadTestFile(path)));
    back.DisplayMessage(TViewOptions());
    EXPECT_EQ(back.Fields().Subject, edited.Subject);
    EXPECT_EQ(back.Fields().To, edited.To);
    EXPECT_EQ(back.Fields().From, draft.Fields().From);
    EXPECT_EQ(back.PlainText(), QStringLiteral("Hello Henry,\r\n\r\nthe plan is final."));
    EXPECT_FALSE(back.ReadOnly()) << "still unsent";
    for (const char* name : {"Date", "Message-ID", "References", "X-Custom-Tag"})
        EXPECT_EQ(back.Message().Headers().Value(name), original.Headers().Value(name)) << name;
    ASSERT_EQ(back.AttachmentCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(back.AttachmentName(i), draft.AttachmentName(i));
        EXPECT_EQ(back.Attachment(i).DataBytes(), static_cast<TMimeAttachment&>(original.Part(i + 1)).DataBytes())
            << "byte for byte: " << i;
    }
}

void AttachmentNamesAreDecodedAndNeverUnsafe()
{
    TMesgViewModel cyrillic;
    Show(cyrillic, "rfc2231-cyrillic.eml");
    EXPECT_EQ(cyrillic.AttachmentName(0), QStringLiteral("Отчёт.pdf"));
    EXPECT_EQ(cyrillic.AttachmentName(1), QStringLiteral("План на март.xlsx"));
    TMesgViewModel hostile;
    Show(hostile, "hostile-names.eml");
    for (int i = 0; i < hostile.AttachmentCount(); ++i) {
        const QString name = hostile.AttachmentName(i);
        EXPECT_FALSE(name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.contains(QLatin1Char('/')) ||
                     name.contains(QChar(0x202E)) || name.toUtf8().size() > 255)
            << Units(name);
    }
}

void TextFilesAreUtf8WithoutAByteOrderMark()
{
    TMesgViewModel model;
    Show(model, "koi8-plain.eml");
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/text.txt");
    model.SaveAsText(path);
    const QByteArray bytes = ReadTestFile(path);
    EXPECT_TRUE(bytes.startsWith("From: ")) << "no byte-order mark";
    EXPECT_TRUE(bytes.contains("\n\n\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, "));
    EXPECT_EQ(ReadTextFile(path), QString::fromUtf8(bytes));

    // The older forms still read: UTF-16 with a byte-order mark, and 8-bit
    // text in the system code page.
    SetSystemCodePage(1251);
    EXPECT_EQ(DecodeTextFileAnyForm(QByteArray("\xFF\xFE\x1F\x04\x40\x04", 6)), QStringLiteral("Пр"));
    EXPECT_EQ(DecodeTextFileAnyForm("\xCF\xF0\xE8\xE2\xE5\xF2"), QStringLiteral("Привет"));
    EXPECT_EQ(DecodeTextFileAnyForm("\xEF\xBB\xBF\xD0\x9F"), QStringLiteral("П"));
    SetSystemCodePage(1252);
}

void ExtensionIsRemovedOnlyFromAFileName()
{
    EXPECT_EQ(SaveAsBaseName(QString(), QStringLiteral("Version 2.1 import")), QStringLiteral("Version 2.1 import"));
    EXPECT_EQ(SaveAsBaseName(QString(), QStringLiteral("Re: Meeting")), QStringLiteral("re  Meeting"));
    EXPECT_EQ(SaveAsBaseName(QString(), QStringLiteral("RE: a/b: ../c")), QStringLiteral("re  a_b_ .._c"));
    EXPECT_EQ(SaveAsBaseName(QStringLiteral("/home/u/Mail/report.v2.eml"), QStringLiteral("x")),
              QStringLiteral("/home/u/Mail/report.v2"));
}

void AttachmentsDecodeOnlyWhenOpened()
{
    QByteArray data(2 * 1024 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((i * 7919) >> 3);
    const QByteArray source = "Subject: big\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n"
                              "--b\r\nContent-Type: text/plain\r\n\r\nSee the file.\r\n"
                              "--b\r\nContent-Type: application/octet-stream; name=big.bin\r\n"
                              "Content-Transfer-Encoding: base64\r\n\r\n" +
                              data.toBase64() + "\r\n--b--\r\n";
    TMesgViewModel model;
    model.LoadSource(SourceOf(source));
    model.DisplayMessage(TViewOptions());
    EXPECT_EQ(model.PlainText(), QStringLiteral("See the file."));
    ASSERT_EQ(model.AttachmentCount(), 1);
    EXPECT_EQ(model.AttachmentName(0), QStringLiteral("big.bin"));
    EXPECT_NEAR(static_cast<double>(model.AttachmentSize(0)), static_cast<double>(data.size()), 3.0);
    EXPECT_FALSE(model.Attachment(0).IsDecoded()) << "listing it decoded nothing";
    EXPECT_EQ(ReadTestFile(model.EnsureTempFile(0)), data);
    EXPECT_TRUE(model.Attachment(0).IsDecoded());
}

struct TRule
{
    const char* Name;
    std::function<void()> Check;
};

class ReadingPaneRule : public TContentTest, public ::testing::WithParamInterface<TRule>
{
};

TEST_P(ReadingPaneRule, Holds)
{
    GetParam().Check();
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ReadingPaneRule,
    ::testing::Values(TRule{"FiltersChangeWhatIsShownNeverWhatIsSaved", FiltersChangeWhatIsShownNeverWhatIsSaved},
                      TRule{"RebuildKeepsAttachmentsAndForeignHeaders", RebuildKeepsAttachmentsAndForeignHeaders},
                      TRule{"AttachmentNamesAreDecodedAndNeverUnsafe", AttachmentNamesAreDecodedAndNeverUnsafe},
                      TRule{"TextFilesAreUtf8WithoutAByteOrderMark", TextFilesAreUtf8WithoutAByteOrderMark},
                      TRule{"ExtensionIsRemovedOnlyFromAFileName", ExtensionIsRemovedOnlyFromAFileName},
                      TRule{"AttachmentsDecodeOnlyWhenOpened", AttachmentsDecodeOnlyWhenOpened}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
