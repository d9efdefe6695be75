// The reading pane over real widgets: what each page shows, the filters,
// italics of quote lines, inline images, attachments, the header page.

#include "content/view/MesgTextForm.h"
#include "messages/MesgItem.h"
#include "settings/SystemCodePage.h"
#include "tests/ui/MesgViewTestSupport.h"
#include "ui/dialogs/OrderListBox.h"
#include "ui/mesg/CommonForm.h"
#include "ui/mesg/MesgBrowser.h"
#include "ui/mesg/QuickMesgEditor.h"
#include "ui/mesg/SaveDialog.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>

namespace {

class QuickMesgEditor : public ::testing::Test
{
protected:
    QuickMesgEditor() { FPane.resize(700, 500); }

    void Show(const char* fixture, bool unsent = false)
    {
        TCommonForm::ShowItem(FSandbox.Item(ViewBytes(fixture), unsent), FPane);
    }

    [[nodiscard]] QStringList BodyLines() const
    {
        return FPane.BodyEdit()->toPlainText().split(QLatin1Char('\n'));
    }

    // Whether the body line that holds `text` is shown in italics.
    [[nodiscard]] bool ItalicLine(const QString& text) const
    {
        for (QTextBlock block = FPane.BodyEdit()->document()->begin(); block.isValid(); block = block.next())
            if (block.text() == text)
                return block.begin().fragment().charFormat().fontItalic();
        ADD_FAILURE() << "no line " << text.toStdString();
        return false;
    }

    TMesgViewSandbox FSandbox;
    TQuickMesgEditor FPane;
};

TEST_F(QuickMesgEditor, ShouldShowAListMessageFilteredWithQuotesInItalics)
{
    Show("mailing-list.eml");

    const QStringList lines = BodyLines();
    EXPECT_FALSE(lines.contains(QStringLiteral("Hello everyone,")));
    EXPECT_FALSE(lines.contains(QStringLiteral("Get your free mailbox at www.examplemail.invalid today")));
    EXPECT_TRUE(lines.contains(QStringLiteral("It is: the cache is cold after the move.")));
    // Three empty lines in a row are shown as one.
    EXPECT_FALSE(FPane.BodyEdit()->toPlainText().contains(QLatin1String("\n\n\n")));
    EXPECT_TRUE(ItalicLine(QStringLiteral("> The new runners take twice as long.")));
    EXPECT_FALSE(ItalicLine(QStringLiteral("It warms up within a day.")));
    EXPECT_TRUE(FPane.BodyEdit()->isReadOnly());
    EXPECT_EQ(FPane.BodyEdit()->textCursor().position(), 0);
    // Only the Body page and the Add page: no HTML, no attachments.
    EXPECT_TRUE(FPane.PageShown(FPane.BodyEdit()));
    EXPECT_FALSE(FPane.PageShown(FPane.Browser()));
    EXPECT_FALSE(FPane.PageShown(FPane.AttachList()->parentWidget()));
    EXPECT_EQ(FPane.FromLabel()->text(), QStringLiteral("From: Dana Reed <dana@lists.example.org>"));
    EXPECT_TRUE(FPane.SubjectLabel()->text().startsWith(QLatin1String("Subject: Re: Build times on the new runners  Date: ")));
}

TEST_F(QuickMesgEditor, ShouldSaveTheWholeTextNotTheFilteredOne)
{
    Show("mailing-list.eml");
    const QString path = FSandbox.TempPath(QStringLiteral("list.txt"));
    FPane.SaveAsText(path);

    const QByteArray bytes = ReadTestFile(path);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << "UTF-8 without a byte-order mark";
    const QString text = QString::fromUtf8(bytes);
    EXPECT_TRUE(text.startsWith(QLatin1String("From: Dana Reed <dana@lists.example.org>\n")));
    EXPECT_TRUE(text.contains(QLatin1String("Hello everyone,")));
    EXPECT_TRUE(text.contains(QLatin1String("Get your free mailbox at www.examplemail.invalid today")));
}

TEST_F(QuickMesgEditor, ShouldShowAlternativeBodiesWithTheInlineImageAndNoRemoteOne)
{
    Show("alternative-cid.eml");

    EXPECT_TRUE(FPane.PageShown(FPane.BodyEdit()));
    EXPECT_TRUE(FPane.PageShown(FPane.Browser()));
    EXPECT_EQ(FPane.Pages()->currentWidget(), FPane.BodyEdit());
    // The HTML is laid out only once its page is shown.
    EXPECT_TRUE(FPane.Browser()->BodyText().isEmpty());
    FPane.Pages()->setCurrentWidget(FPane.Browser());
    FPane.show();
    Settle(100);
    EXPECT_TRUE(FPane.Browser()->BodyText().contains(QStringLiteral("Caf\u00E9 & more")));
    EXPECT_FALSE(FPane.Browser()->BodyText().contains(QLatin1String("color: red")));
    const QStringList refused = FPane.Browser()->RefusedResources();
    EXPECT_TRUE(refused.contains(QStringLiteral("http://tracker.invalid/pixel.gif")));
    EXPECT_TRUE(refused.contains(QStringLiteral("file:///etc/passwd")));
    EXPECT_FALSE(refused.contains(QStringLiteral("cid:Logo.1%40example.org")));
    EXPECT_FALSE(FPane.Browser()
                     ->document()
                     ->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("cid:Logo.1%40example.org")))
                     .isNull());
    // The inline image is one of the attachments: the Attach page shows.
    EXPECT_TRUE(FPane.PageShown(FPane.AttachList()->parentWidget()));
}

TEST_F(QuickMesgEditor, ShouldShowOnlyTheHtmlPageForAnHtmlMessageAndDecodeItsMetaCharset)
{
    Show("html-meta-charset.eml");
    EXPECT_FALSE(FPane.PageShown(FPane.BodyEdit()));
    EXPECT_TRUE(FPane.PageShown(FPane.Browser()));
    EXPECT_EQ(FPane.Pages()->currentWidget(), FPane.Browser());
    EXPECT_EQ(FPane.Browser()->BodyText(), QStringLiteral("\u0421\u043A\u0438\u0434\u043A\u0430"));
}

TEST_F(QuickMesgEditor, ShouldListOpenAndSaveAttachmentsOfTheSameNameApart)
{
    Show("three-attachments.eml");
    ASSERT_EQ(FPane.AttachList()->count(), 3);
    EXPECT_EQ(FPane.AttachList()->item(0)->text(), QStringLiteral("report.pdf"));
    EXPECT_EQ(FPane.AttachList()->item(1)->text(), QStringLiteral("report.pdf"));

    // Opening both (Return on each, as a double click does) writes two
    // files, the second with "01" before the extension.
    for (const int row : {0, 1}) {
        FPane.AttachList()->setCurrentRow(row);
        QTest::keyClick(FPane.AttachList(), Qt::Key_Return);
    }
    ASSERT_EQ(FSandbox.Desktop.Opened.size(), 2) << FSandbox.Boxes.Texts.join(QLatin1Char('|')).toStdString();
    const QString first = FSandbox.Desktop.Opened[0].toLocalFile();
    const QString second = FSandbox.Desktop.Opened[1].toLocalFile();
    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("report.pdf"));
    EXPECT_EQ(QFileInfo(second).fileName(), QStringLiteral("report01.pdf"));
    EXPECT_EQ(ReadTestFile(first), FPane.Model().Attachment(0).DataBytes());
    EXPECT_EQ(ReadTestFile(second), FPane.Model().Attachment(1).DataBytes());
    EXPECT_NE(ReadTestFile(first), ReadTestFile(second));

    // Save as: the dialog proposes the name; the data arrive whole.
    TSaveRequest asked;
    const QString target = FSandbox.TempPath(QStringLiteral("saved.pdf"));
    const TSaveDialogHandler old = SetSaveDialogHandler([&](const TSaveRequest& request) {
        asked = request;
        return target;
    });
    FPane.AttachList()->setCurrentRow(1);
    FPane.Attachments().Save(1);
    SetSaveDialogHandler(old);
    EXPECT_EQ(QFileInfo(asked.Start).fileName(), QStringLiteral("report.pdf"));
    EXPECT_TRUE(asked.Filter.contains(QLatin1String("(*.*)")));
    EXPECT_EQ(ReadTestFile(target), FPane.Model().Attachment(1).DataBytes());
    // A read-only message takes no new attachments and loses none.
    EXPECT_FALSE(FPane.Attachments().CanAdd());
    EXPECT_FALSE(FPane.Attachments().CanDelete(0));
}

TEST_F(QuickMesgEditor, ShouldNotDecodeAnAttachmentToShowTheMessage)
{
    Show("three-attachments.eml");
    for (int i = 0; i < FPane.Model().AttachmentCount(); ++i)
        EXPECT_FALSE(FPane.Model().Attachment(i).IsDecoded()) << i;
}

TEST_F(QuickMesgEditor, ShouldShowHostileNamesAsSafeFileNames)
{
    Show("hostile-names.eml");
    ASSERT_GT(FPane.AttachList()->count(), 10);
    QStringList opened;
    for (int row = 0; row < FPane.AttachList()->count(); ++row) {
        const QString name = FPane.AttachList()->item(row)->text();
        EXPECT_FALSE(name.isEmpty());
        EXPECT_FALSE(name.contains(QLatin1Char('/'))) << name.toStdString();
        EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << name.toStdString();
        ASSERT_TRUE(FPane.Attachments().Open(row)) << name.toStdString();
        opened << FSandbox.Desktop.Opened.last().toLocalFile();
    }
    // Every file lies in the private temporary folder, each one its own.
    const QString folder = QFileInfo(opened[0]).absolutePath();
    for (const QString& path : opened)
        EXPECT_EQ(QFileInfo(path).absolutePath(), folder) << path.toStdString();
    opened.removeDuplicates();
    EXPECT_EQ(opened.size(), FPane.AttachList()->count());
}

TEST_F(QuickMesgEditor, ShouldAddAndRemoveTheHeaderPageWithTheOption)
{
    Show("koi8-plain.eml");
    EXPECT_EQ(FPane.HeaderEdit(), nullptr);
    FSandbox.Settings.Options.SetShowHeader(true);
    ASSERT_TRUE(WaitUntil([&] { return FPane.HeaderEdit() != nullptr; }));
    EXPECT_TRUE(FPane.HeaderEdit()->toPlainText().contains(QLatin1String("Subject: ")));
    EXPECT_TRUE(FPane.HeaderEdit()->isReadOnly());
    FSandbox.Settings.Options.SetShowHeader(false);
    EXPECT_TRUE(WaitUntil([&] { return FPane.HeaderEdit() == nullptr; }));
}

TEST_F(QuickMesgEditor, ShouldShowTheLabelsAsPlainText)
{
    Show("mailing-list.eml");
    EXPECT_EQ(FPane.SubjectLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(FPane.FromLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(FPane.ToLabel()->textFormat(), Qt::PlainText);
}

} // namespace
