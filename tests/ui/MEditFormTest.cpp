#include "messages/MesgItem.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "tests/support/TestEnvironment.h"
#include "tests/ui/BoxAnswers.h"
#include "tests/ui/MesgListTestSupport.h"
#include "ui/WideEdit.h"
#include "ui/actions/ActionUpdater.h"
#include "ui/dialogs/OrderListBox.h"
#include "ui/forms/MEditForm.h"
#include "ui/forms/TriForm.h"
#include "ui/mesg/MesgEditor.h"

#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

namespace {

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
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(TTestMessage("Other").Source());
    file.close();

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
    Save(kInbox, TTestMessage("Draft"), kMsgUnsent);
    FBrowser->Messages().LoadMessages();
    ASSERT_TRUE(WaitUntil([this] { return !FBrowser->Messages().LoadRunning() && FBrowser->List().ItemCount() == 4; }));
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

} // namespace
