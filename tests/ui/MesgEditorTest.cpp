// The message window's editor: a draft is edited whole and saved with
// every attachment and foreign header field it had.

#include "content/view/MesgTextForm.h"
#include "messages/MesgItem.h"
#include "settings/UiHooks.h"
#include "tests/ui/MesgViewTestSupport.h"
#include "ui/WideEdit.h"
#include "ui/dialogs/OrderListBox.h"
#include "ui/mesg/CommonForm.h"
#include "ui/mesg/MesgEditor.h"
#include "ui/spell/SpellUnderliner.h"

#include <QTabWidget>
#include <QTest>

namespace {

class MesgEditor : public ::testing::Test
{
protected:
    MesgEditor()
    {
        FEditor.resize(700, 600);
        FForm.SetView(&FEditor);
    }

    void Show(const QByteArray& source, bool unsent)
    {
        TCommonForm::ShowItem(FSandbox.Item(source, unsent), FEditor);
    }

    // Saves through the window's command and parses the file back.
    std::unique_ptr<TMimeMessage> SaveAndParse(const QString& name = QStringLiteral("draft.eml"))
    {
        const QString path = FSandbox.TempPath(name);
        EXPECT_TRUE(FForm.SaveMessageToFile(path));
        return ParseFile(path);
    }

    TMesgViewSandbox FSandbox;
    TMesgEditor FEditor;
    TCommonForm FForm;
};

TEST_F(MesgEditor, ShouldShowADraftUnfilteredAndEditable)
{
    Show(ViewBytes("draft.eml"), true);
    const QString text = FEditor.BodyEdit()->toPlainText();
    EXPECT_TRUE(text.startsWith(QLatin1String("Hello Henry,")));
    EXPECT_TRUE(text.contains(QLatin1String("Get your free mailbox at www.examplemail.invalid today")));
    EXPECT_FALSE(FEditor.BodyEdit()->isReadOnly());
    for (const auto box : {TMesgEditor::bxTo, TMesgEditor::bxCc, TMesgEditor::bxBcc, TMesgEditor::bxSubject})
        EXPECT_TRUE(FEditor.BoxShown(box) && !FEditor.Box(box)->isReadOnly()) << box;
    EXPECT_FALSE(FEditor.BoxShown(TMesgEditor::bxFromName));
    EXPECT_TRUE(FEditor.PageShown(FEditor.AttachList()->parentWidget()));
    EXPECT_TRUE(FEditor.Attachments().CanAdd());
    EXPECT_FALSE(FEditor.IsModified());
}

TEST_F(MesgEditor, ShouldShowAReceivedMessageByNameAndAddress)
{
    Show(ViewBytes("mailing-list.eml"), false);
    EXPECT_TRUE(FEditor.BodyEdit()->isReadOnly());
    EXPECT_EQ(FEditor.Box(TMesgEditor::bxFromName)->text(), QStringLiteral("Dana Reed"));
    EXPECT_EQ(FEditor.Box(TMesgEditor::bxFromAddress)->text(), QStringLiteral("dana@lists.example.org"));
    EXPECT_TRUE(FEditor.BoxShown(TMesgEditor::bxDate));
    EXPECT_FALSE(FEditor.BoxShown(TMesgEditor::bxTo));
    for (int box = 0; box < TMesgEditor::bxCount; ++box)
        EXPECT_TRUE(FEditor.Box(static_cast<TMesgEditor::TBox>(box))->isReadOnly()) << box;
}

TEST_F(MesgEditor, ShouldKeepTheGreetingAndBothAttachmentsThroughAnEditAndSave)
{
    const QList<QByteArray> before = AttachmentData(*ParseFile(FixturePath(QStringLiteral("view/draft.eml"))));
    ASSERT_EQ(before.size(), 2);
    Show(ViewBytes("draft.eml"), true);

    FEditor.BodyEdit()->moveCursor(QTextCursor::End);
    QTest::keyClicks(FEditor.BodyEdit(), QStringLiteral(" Thanks, Gina"));
    FEditor.Box(TMesgEditor::bxSubject)->setFocus();
    FEditor.Box(TMesgEditor::bxSubject)->selectAll();
    QTest::keyClicks(FEditor.Box(TMesgEditor::bxSubject), QStringLiteral("Plan, v2"));
    ASSERT_TRUE(FEditor.IsModified());

    const auto saved = SaveAndParse();
    EXPECT_FALSE(FEditor.IsModified());
    EXPECT_EQ(AttachmentData(*saved), before);
    EXPECT_EQ(saved->Headers().Value("Subject"), QByteArray("Plan, v2"));
    EXPECT_EQ(saved->ExtraHeaders().Value("X-Custom-Tag"), QByteArray("keep me"));
    EXPECT_EQ(saved->Headers().Value("References"), QByteArray("<older.1@example.net>"));
    const int plain = saved->FirstTextPart("text/plain");
    ASSERT_GE(plain, 0);
    const QString body = QString::fromUtf8(static_cast<const TMimeTextPart&>(saved->Part(plain)).Body());
    EXPECT_TRUE(body.startsWith(QLatin1String("Hello Henry,")));
    EXPECT_TRUE(body.contains(QLatin1String("Get your free mailbox at www.examplemail.invalid today")));
    EXPECT_TRUE(body.contains(QLatin1String("Thanks, Gina")));
}

TEST_F(MesgEditor, ShouldAddAFileToADraftAndDeleteAnAttachment)
{
    const QList<QByteArray> before = AttachmentData(*ParseFile(FixturePath(QStringLiteral("view/draft.eml"))));
    Show(ViewBytes("draft.eml"), true);
    const QString file = FSandbox.TempPath(QStringLiteral("\u043F\u043B\u0430\u043D.bin"));
    QByteArray data(3000, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7);
    WriteTestFile(file, data);
    const TOpenFileDialogHandler old = SetOpenFileDialogHandler([&](const QString&) { return file; });
    FEditor.AttachList()->Add();
    SetOpenFileDialogHandler(old);
    ASSERT_EQ(FEditor.AttachList()->count(), 3);
    EXPECT_EQ(FEditor.AttachList()->item(2)->text(), QStringLiteral("\u043F\u043B\u0430\u043D.bin"));
    EXPECT_TRUE(FEditor.IsModified());
    FEditor.AttachList()->Delete(0);
    ASSERT_EQ(FEditor.AttachList()->count(), 2);

    const auto saved = SaveAndParse();
    EXPECT_EQ(AttachmentData(*saved), (QList<QByteArray>{before[1], data}));
    TMesgViewModel reread;
    reread.LoadSource(SourceOfFile(FSandbox.TempPath(QStringLiteral("draft.eml"))));
    reread.DisplayMessage({});
    EXPECT_EQ(reread.AttachmentName(1), QStringLiteral("\u043F\u043B\u0430\u043D.bin"));
}

TEST_F(MesgEditor, ShouldAddAFileToADraftWithoutParts)
{
    Show("From: a@example.org\r\nTo: b@example.org\r\nSubject: short\r\nUnsent: 1\r\n\r\nHello Bob,\r\nsee the file.\r\n",
         true);
    const QString file = FSandbox.TempPath(QStringLiteral("notes.txt"));
    WriteTestFile(file, "line one\nline two\n");
    const TOpenFileDialogHandler old = SetOpenFileDialogHandler([&](const QString&) { return file; });
    FEditor.AttachList()->Add();
    SetOpenFileDialogHandler(old);

    const auto saved = SaveAndParse(QStringLiteral("short.eml"));
    EXPECT_EQ(AttachmentData(*saved), QList<QByteArray>{QByteArray("line one\nline two\n")});
    const int plain = saved->FirstTextPart("text/plain");
    ASSERT_GE(plain, 0);
    EXPECT_TRUE(static_cast<const TMimeTextPart&>(saved->Part(plain)).Body().startsWith("Hello Bob,"));
}

TEST_F(MesgEditor, ShouldUnderlineOnlyWhileEditable)
{
    ASSERT_NE(FEditor.Underliner(), nullptr);
    Show(ViewBytes("draft.eml"), true);
    EXPECT_FALSE(FEditor.BodyEdit()->isReadOnly());
    Show(ViewBytes("mailing-list.eml"), false);
    EXPECT_TRUE(FEditor.BodyEdit()->isReadOnly());
    EXPECT_TRUE(FEditor.Underliner()->MarkedRanges().empty());
}

TEST_F(MesgEditor, ShouldSaveTheEditedFieldsAsText)
{
    Show(ViewBytes("draft.eml"), true);
    FEditor.Box(TMesgEditor::bxCc)->setText(QStringLiteral("ivy@example.org"));
    const QString path = FSandbox.TempPath(QStringLiteral("draft.txt"));
    EXPECT_FALSE(FForm.SaveMessageToFile(path)) << "a text file is not the message";
    const QString text = QString::fromUtf8(ReadTestFile(path));
    EXPECT_TRUE(text.contains(QLatin1String("Cc: ivy@example.org\n")));
    EXPECT_TRUE(text.contains(QLatin1String("Hello Henry,")));
    EXPECT_TRUE(text.contains(QLatin1String("Get your free mailbox")));
}

} // namespace
