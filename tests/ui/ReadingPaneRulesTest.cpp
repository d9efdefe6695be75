// The rules that keep a user's data whole in the reading pane and the
// message window, one case each, through the widgets themselves.

#include "base/FastMemoryStream.h"
#include "messages/MesgItem.h"
#include "tests/ui/MesgViewTestSupport.h"
#include "ui/WideEdit.h"
#include "ui/dialogs/OrderListBox.h"
#include "ui/mesg/AbstractMesgEditor.h"
#include "ui/mesg/CommonForm.h"
#include "ui/mesg/MesgEditor.h"
#include "ui/mesg/QuickMesgEditor.h"
#include "ui/mesg/SaveDialog.h"

#include <QFileInfo>
#include <QTest>

#include <functional>
#include <thread>

namespace {

struct TRuleCase
{
    const char* Name;
    std::function<void(TMesgViewSandbox& sandbox)> Check;
};

class ReadingPaneRules : public ::testing::TestWithParam<TRuleCase>
{
};

TEST_P(ReadingPaneRules, ShouldHold)
{
    TMesgViewSandbox sandbox;
    GetParam().Check(sandbox);
}

QString BodyOf(TMimeMessage& message)
{
    const int plain = message.FirstTextPart("text/plain");
    if (plain < 0)
        return QString::fromUtf8(message.Body());
    return QString::fromUtf8(static_cast<const TMimeTextPart&>(message.Part(plain)).Body());
}

// A draft is shown and saved whole: its greeting and the line that looks
// like an advertisement are the user's own text. A received message's
// Save writes its own text, never the filtered one the pane shows.
void FiltersChangeOnlyWhatIsShown(TMesgViewSandbox& sandbox)
{
    TQuickMesgEditor pane;
    TCommonForm::ShowItem(sandbox.Item(ViewBytes("draft.eml"), true), pane);
    EXPECT_TRUE(pane.BodyEdit()->toPlainText().startsWith(QLatin1String("Hello Henry,")));
    pane.BodyEdit()->moveCursor(QTextCursor::End);
    QTest::keyClicks(pane.BodyEdit(), QStringLiteral(" PS"));
    TFastMemoryStream draft;
    pane.SaveBodyToStream(draft);
    EXPECT_TRUE(draft.ToByteArray().contains("Hello Henry,"));
    EXPECT_TRUE(draft.ToByteArray().contains("www.examplemail.invalid today PS"));

    TCommonForm::ShowItem(sandbox.Item(ViewBytes("mailing-list.eml")), pane);
    EXPECT_FALSE(pane.BodyEdit()->toPlainText().contains(QLatin1String("Hello everyone,")));
    TFastMemoryStream received;
    pane.SaveBodyToStream(received);
    EXPECT_TRUE(received.ToByteArray().contains("Hello everyone,"));
    EXPECT_TRUE(received.ToByteArray().contains("Get your free mailbox"));
}

// An edited draft keeps both of its attachments, byte for byte.
void RebuildKeepsAttachments(TMesgViewSandbox& sandbox)
{
    const QList<QByteArray> before = AttachmentData(*ParseFile(FixturePath(QStringLiteral("view/draft.eml"))));
    TMesgEditor editor;
    TCommonForm form;
    form.SetView(&editor);
    TCommonForm::ShowItem(sandbox.Item(ViewBytes("draft.eml"), true), editor);
    editor.Box(TMesgEditor::bxTo)->setText(QStringLiteral("henry@example.net, ivy@example.org"));
    editor.Box(TMesgEditor::bxTo)->setModified(true);
    const QString path = sandbox.TempPath(QStringLiteral("rebuilt.eml"));
    ASSERT_TRUE(form.SaveMessageToFile(path));
    auto saved = ParseFile(path);
    EXPECT_EQ(AttachmentData(*saved), before);
    EXPECT_EQ(saved->Headers().Value("To"), QByteArray("henry@example.net, ivy@example.org"));
    EXPECT_TRUE(BodyOf(*saved).startsWith(QLatin1String("Hello Henry,")));
}

// RFC 2231 names (continued, charset-encoded) show as their senders wrote them.
void NamesAreReadAsMimeWritesThem(TMesgViewSandbox& sandbox)
{
    TQuickMesgEditor pane;
    TCommonForm::ShowItem(sandbox.Item(ViewBytes("rfc2231-cyrillic.eml")), pane);
    ASSERT_GE(pane.AttachList()->count(), 3);
    for (int row = 0; row < pane.AttachList()->count(); ++row) {
        const QString name = pane.AttachList()->item(row)->text();
        EXPECT_FALSE(name.startsWith(QLatin1String("attachment"))) << name.toStdString();
        EXPECT_TRUE(std::any_of(name.begin(), name.end(), [](QChar c) { return c.script() == QChar::Script_Cyrillic; }))
            << name.toStdString();
    }
}

// Text files are UTF-8 without a byte-order mark, also from the message window.
void TextFilesAreUtf8(TMesgViewSandbox& sandbox)
{
    TMesgEditor editor;
    TCommonForm form;
    form.SetView(&editor);
    TCommonForm::ShowItem(sandbox.Item(ViewBytes("koi8-plain.eml")), editor);
    const QString path = sandbox.TempPath(QStringLiteral("koi8.txt"));
    EXPECT_FALSE(form.SaveMessageToFile(path));
    const QByteArray bytes = ReadTestFile(path);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82")) << "\u041F\u0440\u0438\u0432\u0435\u0442 in UTF-8";
}

// A name taken from the subject keeps its dots.
void SubjectNamesKeepTheirDots(TMesgViewSandbox& sandbox)
{
    TQuickMesgEditor pane;
    TCommonForm form;
    form.SetView(&pane);
    TCommonForm::ShowItem(sandbox.Item("Subject: Version 2.1 import\r\n\r\nx\r\n"), pane);
    QString proposed;
    const TSaveDialogHandler old = SetSaveDialogHandler([&](const TSaveRequest& request) {
        proposed = QFileInfo(request.Start).fileName();
        return QString();
    });
    EXPECT_FALSE(form.SaveShownMessageAs());
    SetSaveDialogHandler(old);
    EXPECT_EQ(proposed, QStringLiteral("Version 2.1 import"));
}

// Showing a message decodes none of its attachments; a preview holds no
// attachment data and works off the main thread, where no widget may be.
void AttachmentsWaitUntilUsed(TMesgViewSandbox& sandbox)
{
    TQuickMesgEditor pane;
    TMesgItem& item = sandbox.Item(ViewBytes("three-attachments.eml"));
    TCommonForm::ShowItem(item, pane);
    for (int i = 0; i < pane.Model().AttachmentCount(); ++i)
        EXPECT_FALSE(pane.Model().Attachment(i).IsDecoded()) << i;

    const TViewOptions options = TViewOptions::FromSettings();
    QString preview;
    qint64 held = -1;
    std::thread worker([&] {
        TMesgPreview decoder;
        item.DecodeInto(decoder.Message(), TMimeParser::TMode::Full);
        decoder.DisplayMessage(options);
        preview = decoder.PreviewText();
        // An empty attachment reads back as nothing but zero bytes.
        held = 0;
        for (int i = 0; i < decoder.Model().AttachmentCount(); ++i) {
            const QByteArray data = decoder.Model().Attachment(i).DataBytes();
            held += data.size() - data.count('\0');
        }
    });
    worker.join();
    EXPECT_TRUE(preview.startsWith(QLatin1String("From: Erin <erin@example.com>\n")));
    EXPECT_EQ(held, 0);
}

INSTANTIATE_TEST_SUITE_P(, ReadingPaneRules,
                         ::testing::Values(TRuleCase{"FiltersChangeOnlyWhatIsShown", FiltersChangeOnlyWhatIsShown},
                                           TRuleCase{"RebuildKeepsAttachments", RebuildKeepsAttachments},
                                           TRuleCase{"NamesAreReadAsMimeWritesThem", NamesAreReadAsMimeWritesThem},
                                           TRuleCase{"TextFilesAreUtf8", TextFilesAreUtf8},
                                           TRuleCase{"SubjectNamesKeepTheirDots", SubjectNamesKeepTheirDots},
                                           TRuleCase{"AttachmentsWaitUntilUsed", AttachmentsWaitUntilUsed}),
                         TCaseName());

} // namespace
