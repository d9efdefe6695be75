#include "messages/MesgItem.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "tests/store/StoredMessages.h"
#include "tests/support/CaseName.h"
#include "tests/support/TestEnvironment.h"
#include "tests/ui/BoxAnswers.h"
#include "tests/ui/MesgListTestSupport.h"
#include "ui/WideEdit.h"
#include "ui/actions/ActionUpdater.h"
#include "ui/dialogs/OrderListBox.h"
#include "ui/forms/MEditForm.h"
#include "ui/forms/TriForm.h"
#include "ui/edit/WideRichEdit.h"
#include "ui/mesg/MesgEditor.h"
#include "ui/mesg/QuickMesgEditor.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

namespace {

using ::PrintTo;

// Message windows opened from a browser window's list on a store of their
// own; the list window of the list tests is not used.
class MEditFormTest : public MesgListTest
{
protected:
    void SetUp() override
    {
        MesgListTest::SetUp();
        FWindow.reset();
        SaveMany(kInbox, 3, [](int n) { return TTestMessage("Inbox " + QByteArray::number(n)); });
        FBrowser = new TTriForm;
        FBrowser->show();
        FBrowser->Messages().SetFolderId(kInbox);
        ASSERT_TRUE(FBrowser->Messages().WaitUntilParsed(20000));
        ASSERT_TRUE(WaitUntil([this] {
            return !FBrowser->Messages().LoadRunning() && FBrowser->List().ItemCount() == 3;
        }));
        Settle();
    }

    void TearDown() override
    {
        qDeleteAll(TTaskForm::Forms());
        MesgListTest::TearDown();
    }

    // Enter on the row of the browser's list; the message window it opened.
    TMEditForm* OpenRow(int row)
    {
        FBrowser->List().SetItemIndex(row);
        FBrowser->List().setFocus();
        QTest::keyClick(&FBrowser->List(), Qt::Key_Return);
        const QList<TTaskForm*> forms = TTaskForm::Forms();
        return forms.isEmpty() ? nullptr : qobject_cast<TMEditForm*>(forms.back());
    }

    [[nodiscard]] QString SubjectOfRow(int row) const
    {
        return static_cast<TMesgItem*>(FBrowser->List().Messages()->ItemForRow(row))->Subject();
    }

    static bool Enabled(TMEditForm& form, const char* action)
    {
        TActionUpdater::UpdateAll();
        return form.Action(action)->isEnabled();
    }

    static QString ShownSubject(TMEditForm& form)
    {
        return form.Editor().Box(TMesgEditor::bxSubject)->text();
    }

    // The row of the browser's list with that subject; -1 for none.
    [[nodiscard]] int RowOfSubject(const QString& subject) const
    {
        for (int row = 0; row < FBrowser->List().ItemCount(); ++row)
            if (SubjectOfRow(row) == subject)
                return row;
        return -1;
    }

    // A draft beside the received messages, on the list's first row (the
    // list sorts by subject).
    void AddDraft()
    {
        Save(kInbox, TTestMessage("Draft"), kMsgUnsent);
        FBrowser->Messages().LoadMessages();
        ASSERT_TRUE(WaitUntil([this] { return !FBrowser->Messages().LoadRunning() && FBrowser->List().ItemCount() == 4; }));
        ASSERT_EQ(RowOfSubject(QStringLiteral("Draft")), 0);
    }

    // The sources of the Inbox as the store holds them.
    [[nodiscard]] QList<QByteArray> StoredSources() const
    {
        QList<QByteArray> sources;
        for (const TStoredMessage& message : StoredMessages(FStore->Namespace(), kInbox))
            sources << message.Source;
        return sources;
    }

    QPointer<TTriForm> FBrowser;
};

TEST_F(MEditFormTest, EnterOnARowOpensAMessageWindowOnThatMessage)
{
    TMEditForm* form = OpenRow(1);
    ASSERT_NE(form, nullptr) << "no message window opened";
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->AttachedList(), &FBrowser->List());
    EXPECT_EQ(ShownSubject(*form), SubjectOfRow(1));
    EXPECT_EQ(form->CaptionText(), SubjectOfRow(1));
    EXPECT_TRUE(form->windowTitle().contains(SubjectOfRow(1)));
    EXPECT_TRUE(form->Editor().ReadOnly()) << "a received message is only read";
    EXPECT_FALSE(form->MayBeSaved());
}

TEST_F(MEditFormTest, StepsMoveTheListsRowAndTheWindowFollows)
{
    struct TCase
    {
        const char* Name;
        int Start;
        const char* Action;
        bool Enabled;
        int Row; // the list's row afterwards
    };
    const TCase cases[] = {
        {"next from the first", 0, "aNextMesg", true, 1},
        {"next from the middle", 1, "aNextMesg", true, 2},
        {"next on the last is off", 2, "aNextMesg", false, 2},
        {"previous from the last", 2, "APrevMesg", true, 1},
        {"previous on the first is off", 0, "APrevMesg", false, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMEditForm* form = OpenRow(c.Start);
        ASSERT_NE(form, nullptr);
        ASSERT_EQ(Enabled(*form, c.Action), c.Enabled);
        form->Action(c.Action)->trigger();
        EXPECT_EQ(FBrowser->List().ItemIndex(), c.Row);
        EXPECT_EQ(ShownSubject(*form), SubjectOfRow(c.Row));
        EXPECT_TRUE(form->windowTitle().contains(SubjectOfRow(c.Row))) << form->windowTitle().toStdString();
        delete form;
    }
}

TEST_F(MEditFormTest, ClosingTheBrowserDetachesTheWindow)
{
    TMEditForm* form = OpenRow(1);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(Enabled(*form, "aNextMesg"));
    ASSERT_TRUE(Enabled(*form, "mFileNewExpl"));

    FBrowser->close();
    ASSERT_TRUE(WaitUntil([this] { return FBrowser.isNull(); }));
    EXPECT_EQ(form->AttachedList(), nullptr);
    // The focus on a list of the window's own must not bring stepping back.
    form->Editor().AttachList()->setFocus();
    for (const char* action : {"aNextMesg", "APrevMesg", "mFileNewExpl"})
        EXPECT_FALSE(Enabled(*form, action)) << action;
    form->Action("aNextMesg")->trigger();
    EXPECT_EQ(ShownSubject(*form), QStringLiteral("Inbox 1"));
    EXPECT_EQ(form->CaptionText(), QStringLiteral("Inbox 1"));
}

TEST_F(MEditFormTest, BrowserCommandOpensABrowserLikeTheListsOwn)
{
    TMEditForm* form = OpenRow(0);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(Enabled(*form, "mFileNewExpl"));
    form->Action("mFileNewExpl")->trigger();
    auto* browser = qobject_cast<TTriForm*>(TTaskForm::Forms().back());
    ASSERT_NE(browser, nullptr);
    EXPECT_NE(browser, FBrowser.data());
    EXPECT_TRUE(WaitUntil([browser] { return browser->Messages().FolderId() == kInbox; }));
}

TEST_F(MEditFormTest, OpeningAMsgFileLeavesTheWindowAsItWas)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("other.msg"));
    WriteTestFile(path, TTestMessage("Other").Source());

    TMEditForm* form = OpenRow(0);
    ASSERT_NE(form, nullptr);
    const QString title = form->windowTitle();
    EXPECT_FALSE(form->OpenFile(path));
    EXPECT_EQ(form->windowTitle(), title);
    EXPECT_EQ(ShownSubject(*form), SubjectOfRow(0));
    EXPECT_EQ(form->AttachedList(), &FBrowser->List());
    EXPECT_TRUE(Enabled(*form, "aNextMesg"));
}

TEST_F(MEditFormTest, ClosingAnEditedDraftAsksAndYesWritesItBackToTheStore)
{
    struct TCase
    {
        const char* Name;
        int Answer;
        bool Closes;
        bool Stored;
    };
    // In this order: the draft keeps its subject until the last case.
    const TCase cases[] = {
        {"cancel keeps the window", mrCancel, false, false},
        {"no drops it", mrNo, true, false},
        {"yes stores the edit", mrYes, true, true},
    };
    AddDraft();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const int row = RowOfSubject(QStringLiteral("Draft"));
        ASSERT_GE(row, 0);
        QPointer<TMEditForm> form = OpenRow(row);
        ASSERT_FALSE(form.isNull());
        ASSERT_FALSE(form->Editor().ReadOnly()) << "an unsent message is edited";
        QLineEdit* subject = form->Editor().Box(TMesgEditor::bxSubject);
        subject->end(false);
        QTest::keyClicks(subject, QStringLiteral(" edited"));

        TBoxAnswers answers;
        answers.Then(c.Answer);
        form->close();
        EXPECT_EQ(answers.Texts.size(), 1);
        if (c.Closes)
            EXPECT_TRUE(WaitUntil([&form] { return form.isNull(); }));
        else
            EXPECT_TRUE(form->isVisible());
        if (c.Stored) {
            EXPECT_TRUE(WaitUntil([this] { return RowOfSubject(QStringLiteral("Draft edited")) >= 0; }));
            EXPECT_EQ(RowOfSubject(QStringLiteral("Draft")), -1);
        } else {
            EXPECT_EQ(RowOfSubject(QStringLiteral("Draft edited")), -1);
        }
        delete form.data();
    }
}

// The two windows that edit a draft of the browser's list: the browser's
// reading pane, and a message window opened on the row.
enum class TDraftWindow { ReadingPane, MessageWindow };

class DraftEditTest : public MEditFormTest
{
protected:
    void SetUp() override
    {
        MEditFormTest::SetUp();
        AddDraft();
        FBefore = StoredSources();
    }

    // Shows the list's row in the window; its editor.
    TCommonMesgEditor* Show(TDraftWindow window, int row)
    {
        if (window == TDraftWindow::MessageWindow) {
            FForm = OpenRow(row);
            return FForm ? &FForm->Editor() : nullptr;
        }
        FBrowser->SetShowEditor(true);
        FBrowser->List().setFocus();
        FBrowser->List().SetItemIndex(row);
        Settle();
        return FBrowser->Pane();
    }

    // Down in the list for the pane, the window's own Next for the window.
    void StepToNext(TDraftWindow window)
    {
        if (window == TDraftWindow::MessageWindow) {
            ASSERT_TRUE(Enabled(*FForm, "aNextMesg"));
            FForm->Action("aNextMesg")->trigger();
        } else {
            QTest::keyClick(&FBrowser->List(), Qt::Key_Down);
        }
        Settle();
    }

    // The window's Save.
    void SaveIn(TDraftWindow window)
    {
        TActionUpdater::UpdateAll();
        QAction* save = window == TDraftWindow::MessageWindow ? FForm->Action("mSave") : FBrowser->Action("mSave");
        ASSERT_TRUE(save->isEnabled());
        save->trigger();
        ASSERT_TRUE(WaitUntil([this] { return !FBrowser->Messages().LoadRunning(); }));
        Settle();
    }

    static void Type(TCommonMesgEditor& editor, const QString& text)
    {
        editor.BodyEdit()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor.BodyEdit(), text);
    }

    // The subject shown: the message window's box, the pane's label.
    [[nodiscard]] QString ShownSubjectIn(TDraftWindow window) const
    {
        if (window == TDraftWindow::MessageWindow)
            return ShownSubject(*FForm);
        return FBrowser->Pane()->SubjectLabel()->text().section(QStringLiteral("  "), 0, 0).section(QStringLiteral(": "), 1);
    }

    // The stored drafts; every other message must be as it was.
    [[nodiscard]] QList<QByteArray> StoredDrafts() const
    {
        QList<QByteArray> drafts;
        QList<QByteArray> others;
        for (const QByteArray& source : StoredSources())
            (source.contains("Subject: Draft") ? drafts : others) << source;
        QList<QByteArray> othersBefore = FBefore;
        othersBefore.removeIf([](const QByteArray& source) { return source.contains("Subject: Draft"); });
        EXPECT_EQ(others, othersBefore) << "a received message changed";
        return drafts;
    }

    QList<QByteArray> FBefore;
    QPointer<TMEditForm> FForm;
};

struct TLeaveCase
{
    const char* Name;
    TDraftWindow Window;
    int Answer;
    bool Stored;  // the edit is in the store
    bool MovedOn; // the window shows the next row; else still the edited draft
};

class LeavingAnEditedDraft : public DraftEditTest, public ::testing::WithParamInterface<TLeaveCase>
{
};

TEST_P(LeavingAnEditedDraft, AsksFirst)
{
    const TLeaveCase& c = GetParam();
    TCommonMesgEditor* editor = Show(c.Window, 0);
    ASSERT_NE(editor, nullptr);
    ASSERT_FALSE(editor->ReadOnly()) << "a draft is edited";
    Type(*editor, QStringLiteral(" edited"));
    TBoxAnswers boxes;
    boxes.Then(c.Answer);
    StepToNext(c.Window);
    ASSERT_TRUE(WaitUntil([this] { return !FBrowser->Messages().LoadRunning(); }));
    Settle();
    EXPECT_EQ(boxes.Texts.size(), 1) << "asked once, before the draft went";
    const int shownRow = c.MovedOn ? 1 : 0;
    EXPECT_EQ(FBrowser->List().ItemIndex(), shownRow);
    EXPECT_EQ(ShownSubjectIn(c.Window), SubjectOfRow(shownRow));
    EXPECT_EQ(editor->IsModified(), !c.MovedOn);
    EXPECT_EQ(editor->BodyEdit()->toPlainText().endsWith(QLatin1String(" edited")), !c.MovedOn);
    const QList<QByteArray> drafts = StoredDrafts();
    ASSERT_EQ(drafts.size(), 1);
    EXPECT_EQ(drafts.front().contains("edited"), c.Stored) << drafts.front().toStdString();
    EXPECT_EQ(FBrowser->List().ItemCount(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    , LeavingAnEditedDraft,
    ::testing::Values(
        TLeaveCase{"PaneYesStoresTheEditAndMovesOn", TDraftWindow::ReadingPane, mrYes, true, true},
        TLeaveCase{"PaneNoDropsTheEditAndMovesOn", TDraftWindow::ReadingPane, mrNo, false, true},
        TLeaveCase{"PaneCancelTakesTheListBackToTheEdit", TDraftWindow::ReadingPane, mrCancel, false, false},
        TLeaveCase{"WindowYesStoresTheEditAndMovesOn", TDraftWindow::MessageWindow, mrYes, true, true},
        TLeaveCase{"WindowNoDropsTheEditAndMovesOn", TDraftWindow::MessageWindow, mrNo, false, true},
        TLeaveCase{"WindowCancelStaysOnTheEdit", TDraftWindow::MessageWindow, mrCancel, false, false}),
    TCaseName());

TEST_F(DraftEditTest, HidingThePaneOverAnEditedDraftAsksFirst)
{
    struct TCase
    {
        int Answer;
        bool Hidden;
        bool Stored;
    };
    for (const TCase c : {TCase{mrCancel, false, false}, TCase{mrYes, true, true}}) {
        SCOPED_TRACE(c.Answer);
        TCommonMesgEditor* editor = Show(TDraftWindow::ReadingPane, 0);
        ASSERT_NE(editor, nullptr);
        Type(*editor, QStringLiteral(" edited"));
        TBoxAnswers boxes;
        boxes.Then(c.Answer);
        FBrowser->SetShowEditor(false);
        ASSERT_TRUE(WaitUntil([this] { return !FBrowser->Messages().LoadRunning(); }));
        Settle();
        EXPECT_EQ(boxes.Texts.size(), 1);
        EXPECT_EQ(!FBrowser->ShowEditor(), c.Hidden);
        const QList<QByteArray> drafts = StoredDrafts();
        ASSERT_EQ(drafts.size(), 1);
        EXPECT_EQ(drafts.front().contains("edited"), c.Stored);
    }
}

struct TSaveCase
{
    const char* Name;
    TDraftWindow Window;
};

class SavingADraftTwice : public DraftEditTest, public ::testing::WithParamInterface<TSaveCase>
{
};

TEST_P(SavingADraftTwice, LeavesOneCopyWithTheSecondEdit)
{
    TCommonMesgEditor* editor = Show(GetParam().Window, 0);
    ASSERT_NE(editor, nullptr);
    Type(*editor, QStringLiteral(" first"));
    SaveIn(GetParam().Window);
    ASSERT_FALSE(editor->IsModified());
    Type(*editor, QStringLiteral(" second"));
    TBoxAnswers boxes; // a failure would show an error box
    SaveIn(GetParam().Window);
    EXPECT_TRUE(boxes.Texts.isEmpty()) << boxes.Texts.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(editor->IsModified());
    const QList<QByteArray> drafts = StoredDrafts();
    ASSERT_EQ(drafts.size(), 1);
    EXPECT_TRUE(drafts.front().contains("first") && drafts.front().contains("second")) << drafts.front().toStdString();
    EXPECT_TRUE(WaitUntil([this] { return FBrowser->List().ItemCount() == 4; }));
}

INSTANTIATE_TEST_SUITE_P(, SavingADraftTwice,
                         ::testing::Values(TSaveCase{"FromThePane", TDraftWindow::ReadingPane},
                                           TSaveCase{"FromTheMessageWindow", TDraftWindow::MessageWindow}),
                         TCaseName());

TEST_F(DraftEditTest, OpeningAFileOverAnEditedDraftAsksFirst)
{
    struct TCase
    {
        const char* Name;
        int Answer;
        bool Opened;
    };
    const TCase cases[] = {
        {"cancel keeps the edited draft", mrCancel, false},
        {"no drops the edit for the file", mrNo, true},
    };
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("other.eml"));
    WriteTestFile(path, TTestMessage("Other").Source());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TCommonMesgEditor* editor = Show(TDraftWindow::MessageWindow, 0);
        ASSERT_NE(editor, nullptr);
        Type(*editor, QStringLiteral(" edited"));
        TBoxAnswers boxes;
        boxes.Then(c.Answer);
        EXPECT_EQ(FForm->OpenFile(path), c.Opened);
        EXPECT_EQ(boxes.Texts.size(), 1);
        EXPECT_EQ(ShownSubject(*FForm), c.Opened ? QStringLiteral("Other") : QStringLiteral("Draft"));
        EXPECT_EQ(FForm->AttachedList() != nullptr, !c.Opened);
        EXPECT_EQ(editor->IsModified(), !c.Opened);
        delete FForm.data();
    }
}

} // namespace
