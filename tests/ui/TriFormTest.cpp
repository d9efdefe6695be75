#include "engine/StoreFaults.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "tests/support/DbxFixtureWriter.h"
#include "tests/support/TestEnvironment.h"
#include "tests/ui/BoxAnswers.h"
#include "tests/ui/DialogTestSupport.h"
#include "tests/ui/MesgListTestSupport.h"
#include "ui/actions/ActionUpdater.h"
#include "ui/clipboard/OEClipboard.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/dialogs/FolderChooser.h"
#include "ui/forms/TriForm.h"
#include "ui/mesg/QuickMesgEditor.h"
#include "ui/tree/FolderNode.h"
#include "ui/tree/OETreeView.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Browser windows on a store of their own; the list window of the list
// tests is not used.
class TriFormTest : public MesgListTest
{
protected:
    void SetUp() override
    {
        MesgListTest::SetUp();
        FWindow.reset();
        FProjects = FStore->AddFolder(kRootFolderId, "Projects");
        SaveMany(kInbox, 3, [](int n) { return TTestMessage("Inbox " + QByteArray::number(n)); }, 0x2);
        Save(FProjects, TTestMessage("Plans"));
    }

    void TearDown() override
    {
        qDeleteAll(TTaskForm::Forms());
        MesgListTest::TearDown();
    }

    // A window with every pane, open on the folder, its list filled.
    TTriForm* OpenWindow(TStoreId folder)
    {
        auto* form = new TTriForm;
        form->SetShowTree(true);
        form->SetShowStatusBar(true);
        form->show();
        Open(*form, folder);
        return form;
    }

    static void Open(TTriForm& form, TStoreId folder)
    {
        form.Messages().SetFolderId(folder);
        EXPECT_TRUE(form.Messages().WaitUntilParsed(20000));
        EXPECT_TRUE(WaitUntil([&] {
            return form.Messages().FolderId() == folder && !form.Messages().LoadRunning() &&
                   form.List().ItemCount() == form.Messages().Count();
        }));
        Settle();
    }

    static bool Trigger(TTriForm& form, const char* action)
    {
        return TriggerIfEnabled(form.Action(action));
    }

    TStoreId FProjects = kNoStoreId;
};

TEST_F(TriFormTest, BackAndForwardWalkTheFoldersShown)
{
    TTriForm* form = OpenWindow(kInbox);
    Open(*form, FProjects);
    EXPECT_EQ(form->History().Entries(), (std::vector<TStoreId>{kInbox, FProjects}));
    EXPECT_FALSE(Trigger(*form, "ANextFolder"));

    ASSERT_TRUE(Trigger(*form, "APrevFolder"));
    ASSERT_TRUE(WaitUntil([&] { return form->Messages().FolderId() == kInbox && !form->Messages().LoadRunning(); }));
    Settle();
    EXPECT_EQ(form->History().Position(), 0);
    EXPECT_EQ(form->Tree()->FolderId(), kInbox);
    EXPECT_FALSE(Trigger(*form, "APrevFolder"));

    ASSERT_TRUE(Trigger(*form, "ANextFolder"));
    ASSERT_TRUE(WaitUntil([&] { return form->Messages().FolderId() == FProjects && !form->Messages().LoadRunning(); }));
    EXPECT_EQ(form->History().Entries(), (std::vector<TStoreId>{kInbox, FProjects}));
    EXPECT_EQ(form->History().Position(), 1);
}

TEST_F(TriFormTest, StatusBarCountsTheMessagesAndMarkingChangesIt)
{
    TTriForm* form = OpenWindow(kInbox);
    EXPECT_EQ(form->statusBar()->currentMessage(), QStringLiteral("3 messages, 3 unread"));
    form->List().ClearSelection();
    EXPECT_FALSE(Trigger(*form, "aMarkAsRead")) << "nothing is selected";

    form->List().SelectAll();
    ASSERT_TRUE(Trigger(*form, "aMarkAsRead"));
    ASSERT_TRUE(WaitUntil([&] { return form->statusBar()->currentMessage() == QStringLiteral("3 messages, 0 unread"); }));

    TFolderProps props;
    ASSERT_EQ(FStore->GetFolderInfo(kInbox, props), srOk);
    EXPECT_EQ(props.UnreadCount, 0);
}

TEST_F(TriFormTest, WindowsAreNumberedInTheirCaptionsAndWindowMenus)
{
    TTriForm* first = OpenWindow(kInbox);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Inbox - Vellumo"));

    QPointer<TTriForm> second = first->NewBrowser();
    Open(*second, FProjects);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("1: Inbox - Vellumo"));
    EXPECT_EQ(second->windowTitle(), QStringLiteral("2: Projects - Vellumo"));
    auto* menu = second->menuBar()->findChild<QMenu*>(QStringLiteral("WindowMenu"));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("2. Projects"));
    EXPECT_EQ(second->ShowTree(), first->ShowTree());
    EXPECT_EQ(second->geometry().left(), first->geometry().left() + 20);

    second->close();
    ASSERT_TRUE(WaitUntil([&] { return second.isNull(); }));
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Inbox - Vellumo"));
}

TEST_F(TriFormTest, TheTreeComesAndGoesAndTheListStays)
{
    TTriForm* form = OpenWindow(kInbox);
    ASSERT_NE(form->Tree(), nullptr);
    EXPECT_EQ(form->Tree()->FolderId(), kInbox) << "the tree shows the list's folder";
    form->SetShowTree(false);
    EXPECT_EQ(form->Tree(), nullptr);
    EXPECT_FALSE(Trigger(*form, "ACopyTo")) << "copying needs the tree";
    form->SetShowTree(true);
    Settle();
    EXPECT_EQ(form->Tree()->FolderId(), kInbox);
    EXPECT_EQ(form->List().ItemCount(), 3);
}

TEST_F(TriFormTest, CreateFolderMakesTheNamedFolderBelowTheCurrentOne)
{
    TDialogAnswers answers;
    TTriForm* form = OpenWindow(FProjects);
    answers.Then([](TDialog& dialog) {
        dialog.findChild<QComboBox*>()->setEditText(QStringLiteral("Letters"));
        dialog.Confirm();
    });
    ASSERT_TRUE(Trigger(*form, "mCreateFolder"));
    ASSERT_TRUE(Trigger(*form, "mCreateFolder")) << "the second dialog is cancelled";
    EXPECT_EQ(answers.Dialogs, 2);

    std::vector<QByteArray> children;
    FStore->ForEachChild(FProjects, [&](const TFolderProps& props) {
        children.push_back(props.Name);
        return true;
    });
    EXPECT_EQ(children, std::vector<QByteArray>{"Letters"});
    EXPECT_TRUE(answers.Boxes.isEmpty());
}

// The folder menu acts on the node it was opened on, whichever is selected.
TEST_F(TriFormTest, TheFolderMenuActsOnTheNodeItWasOpenedOn)
{
    TDialogAnswers answers;
    TTriForm* form = OpenWindow(kInbox);
    TOETreeView& tree = *form->Tree();
    const auto openMenuOn = [&](TStoreId folder) {
        const QPoint at = tree.visualItemRect(tree.NodeOf(folder)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree.viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree.viewport(), &event);
        auto* menu = form->findChild<QMenu*>(QStringLiteral("PopupFolder"));
        EXPECT_TRUE(menu && menu->isVisible());
        if (menu)
            menu->hide();
    };
    struct TCase
    {
        const char* Action;
        bool OnInbox;
        bool OnProjects;
    };
    const TCase cases[] = {
        {"AContextCutFolder", false, true},   {"AContextCopyFolder", true, true},
        {"AContextDeleteFolder", false, true}, {"AContextRenameFolder", false, true},
        {"mOpenFolder", true, true},           {"mCreateFolder3", true, true},
    };
    for (const TCase& entry : cases) {
        openMenuOn(kInbox);
        TActionUpdater::UpdateAll();
        EXPECT_EQ(form->Action(entry.Action)->isEnabled(), entry.OnInbox) << entry.Action << " on the Inbox";
        openMenuOn(FProjects);
        TActionUpdater::UpdateAll();
        EXPECT_EQ(form->Action(entry.Action)->isEnabled(), entry.OnProjects) << entry.Action << " on Projects";
    }
    EXPECT_EQ(tree.FolderId(), kInbox) << "opening the menu leaves the selection alone";

    ASSERT_TRUE(Trigger(*form, "mOpenFolder"));
    ASSERT_EQ(TTaskForm::Forms().size(), 2);
    auto* second = qobject_cast<TTriForm*>(TTaskForm::Forms().back());
    ASSERT_TRUE(WaitUntil([&] { return second->Messages().FolderId() == FProjects; }));

    answers.Then([](TDialog& dialog) {
        dialog.findChild<QComboBox*>()->setEditText(QStringLiteral("Drafts of plans"));
        dialog.Confirm();
    });
    ASSERT_TRUE(Trigger(*form, "mCreateFolder3"));
    std::vector<QByteArray> children;
    FStore->ForEachChild(FProjects, [&](const TFolderProps& props) {
        children.push_back(props.Name);
        return true;
    });
    EXPECT_EQ(children, std::vector<QByteArray>{"Drafts of plans"}) << "made below the menu's node, not the Inbox";

    ASSERT_TRUE(Trigger(*form, "AContextDeleteFolder"));
    TFolderProps props;
    ASSERT_EQ(FStore->GetFolderInfo(FProjects, props), srOk);
    EXPECT_EQ(props.ParentId, kDeletedItems) << "deleted folders go to Deleted Items first";
    TFolderProps inbox;
    ASSERT_EQ(FStore->GetFolderInfo(kInbox, inbox), srOk);
    EXPECT_EQ(inbox.ParentId, kRootFolderId) << "the selected folder stays";
}

TEST_F(TriFormTest, TheListOpensTheEditingMenu)
{
    TTriForm* form = OpenWindow(kInbox);
    TMesgListView& list = form->List();
    const QPoint at = list.viewport()->rect().topLeft() + QPoint(10, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list.viewport()->mapToGlobal(at));
    QApplication::sendEvent(list.viewport(), &event);
    auto* menu = form->findChild<QMenu*>(QStringLiteral("PopupTextEdit"));
    ASSERT_TRUE(menu && menu->isVisible());
    QStringList names;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            names << action->objectName();
    EXPECT_EQ(names, Texts({"AEditUndo", "AEditRedo", "AEditCut", "AEditCopy", "AEditPaste", "AEditDelete",
                            "AEditSelectAll", "AEditFind", "AEditSearchAgain"}));
    menu->hide();
}

TEST_F(TriFormTest, AFolderGoesToAMailboxFileAndComesBackIntoAnother)
{
    QTemporaryDir folder;
    const QString chosen = folder.filePath(QStringLiteral("box.txt"));
    const QString written = folder.filePath(QStringLiteral("box.mbox"));
    WriteTestFile(written, "older export\n");
    const TFileDialogHandler old = SetFileDialogHandler([&](const TFileDialogRequest& request) {
        return request.Save ? chosen : written;
    });
    TTriForm* form = OpenWindow(kInbox);
    ASSERT_TRUE(Trigger(*form, "MExportToMBox"));
    EXPECT_EQ(ReadTestFile(folder.filePath(QStringLiteral("box.~mbox"))), QByteArray("older export\n"));
    EXPECT_EQ(ReadTestFile(written).count("\nFrom ") + 1, 3);
    EXPECT_EQ(form->UnixBoxPath(), folder.path());

    Open(*form, FProjects);
    ASSERT_TRUE(Trigger(*form, "mImportFromMbox"));
    ASSERT_TRUE(WaitUntil([&] { return form->List().ItemCount() == 4; }));
    TFolderProps props;
    ASSERT_EQ(FStore->GetFolderInfo(FProjects, props), srOk);
    EXPECT_EQ(props.MessageCount, 4);
    SetFileDialogHandler(old);
}

// The compaction runs over a connection of its own while the window keeps
// its folder open; a failure says why, and the messages stay.
TEST_F(TriFormTest, CompactingGivesTheSpaceBackBesideTheOpenWindowAndSaysWhyItFailed)
{
    std::unique_ptr<TStoreFolder> deleted;
    ASSERT_EQ(FStore->Namespace().OpenFolder(kDeletedItems, 0, deleted), srOk);
    TMessageIdList ids;
    for (int n = 0; n < 30; ++n) {
        TStoreId id = kNoStoreId;
        ASSERT_EQ(deleted->SaveMessage(QByteArray(64 * 1024, 'x'), 0, &id), srOk);
        ids.push_back(id);
    }
    ASSERT_EQ(deleted->DeleteMessages(ids, 0, nullptr), srOk);
    TTriForm* form = OpenWindow(kInbox);
    const QString path = FStore->Namespace().Path();

    ASSERT_TRUE(Trigger(*form, "mCompactAll"));
    EXPECT_LT(QFileInfo(path).size(), 30 * 64 * 1024);
    TBoxAnswers answers;
    TStoreFaults::Inject(TStoreOp::Compact, 1);
    ASSERT_TRUE(Trigger(*form, "mCompactFolder"));
    TStoreFaults::Reset();
    ASSERT_EQ(answers.Texts.size(), 1);
    EXPECT_TRUE(answers.Texts[0].contains(QStringLiteral("could not be compacted (injected failure)"))) << answers.Texts[0].toStdString();
    Open(*form, kInbox);
    EXPECT_EQ(form->List().ItemCount(), 3);
}

// Many messages move under the paste progress dialog; Cancel stops after
// the batch that runs, and what moved stays moved.
TEST_F(TriFormTest, MovingManyMessagesShowsProgressAndCancelKeepsWhatMoved)
{
    TOEClipboard clipboard;
    clipboard.Install();
    // The windows go before the clipboard they are registered with.
    const auto closeWindows = qScopeGuard([] { qDeleteAll(TTaskForm::Forms()); });
    SaveMany(kInbox, 447, [](int n) { return TTestMessage("More " + QByteArray::number(n)); });
    TTriForm* form = OpenWindow(kInbox);
    form->List().setFocus();
    form->List().SelectAll();
    TDialogAnswers answers;
    answers.Then([this](TDialog& dialog) {
        static_cast<TFolderChooser&>(dialog).SelectFolder(FProjects);
        dialog.Confirm();
    });
    answers.Then([](TDialog& dialog) { dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click(); });
    ASSERT_TRUE(Trigger(*form, "AMoveTo"));
    EXPECT_EQ(answers.Dialogs, 2);
    EXPECT_TRUE(answers.Boxes.isEmpty());
    TFolderProps props;
    ASSERT_EQ(FStore->GetFolderInfo(FProjects, props), srOk);
    EXPECT_EQ(props.MessageCount, 1 + 200);
    ASSERT_EQ(FStore->GetFolderInfo(kInbox, props), srOk);
    EXPECT_EQ(props.MessageCount, 250);
}

TEST_F(TriFormTest, TheLayoutDialogShowsAndHidesThePanes)
{
    TDialogAnswers answers;
    TTriForm* form = OpenWindow(kInbox);
    form->SetShowTextToolbar(true);
    answers.Then([](TDialog& dialog) {
        // Toolbar, tree, reading pane, status bar.
        const QList<QCheckBox*> checks = dialog.findChildren<QCheckBox*>();
        ASSERT_EQ(checks.size(), 4);
        EXPECT_TRUE(checks[0]->isChecked() && checks[1]->isChecked() && checks[3]->isChecked());
        EXPECT_FALSE(checks[2]->isChecked());
        checks[1]->setChecked(false);
        checks[2]->setChecked(true);
        checks[3]->setChecked(false);
        dialog.Confirm();
    });
    ASSERT_TRUE(Trigger(*form, "mLayout"));
    EXPECT_TRUE(form->ShowTextToolbar());
    EXPECT_FALSE(form->ShowTree());
    EXPECT_TRUE(form->ShowEditor());
    EXPECT_FALSE(form->ShowStatusBar());
}

TEST_F(TriFormTest, TheReadingPaneShowsTheChosenMessage)
{
    TTriForm* form = OpenWindow(kInbox);
    form->SetShowEditor(true);
    form->List().setFocus();
    form->List().SetItemIndex(1);
    Settle();
    ASSERT_NE(form->Pane(), nullptr);
    EXPECT_EQ(form->Pane()->SubjectLabel()->text().section(QStringLiteral("  "), 0, 0),
              QStringLiteral("Subject: ") + form->List().CellText(1, 0));
    EXPECT_EQ(form->View(), form->Pane());
    form->SetShowEditor(false);
    EXPECT_EQ(form->Pane(), nullptr);
    EXPECT_EQ(form->View(), nullptr);
}

TEST_F(TriFormTest, AnOutlookExpressStoreComesInBelowTheCurrentFolder)
{
    TDialogAnswers answers;
    const QString dir = TTestEnvironment::NewFolder() + QStringLiteral("/oe-store");
    const auto message = [](const QByteArray& subject) {
        return TDbxFixtureMessage{"From: a@example.org\r\nSubject: " + subject + "\r\n\r\ntext\r\n", 0, {}, false, false};
    };
    ASSERT_TRUE(WriteDbxStore(dir, StandardDbxFolders({{7, 1, "Lists", "Lists.dbx", 0, 3}}),
                              {{QStringLiteral("Inbox.dbx"), {message("old one"), message("old two")}},
                               {QStringLiteral("Lists.dbx"), {message("list")}}}));
    const TFileDialogHandler old = SetFileDialogHandler([&](const TFileDialogRequest& request) {
        EXPECT_TRUE(request.Folder);
        return dir;
    });
    TTriForm* form = OpenWindow(FProjects);
    ASSERT_TRUE(Trigger(*form, "mImportDbx"));
    SetFileDialogHandler(old);
    ASSERT_EQ(answers.Boxes.size(), 1);
    EXPECT_TRUE(answers.Boxes[0].startsWith(QStringLiteral("3 messages imported"))) << answers.Boxes[0].toStdString();
    int below = 0;
    FStore->ForEachChild(FProjects, [&](const TFolderProps&) {
        ++below;
        return true;
    });
    EXPECT_GT(below, 0);
}

TEST_F(TriFormTest, ClosingDuringALoadWaitsForTheLoadToStop)
{
    SaveMany(FProjects, 3000, [](int n) { return TTestMessage("Bulk " + QByteArray::number(n)); });
    QPointer<TTriForm> form = OpenWindow(kInbox);
    // The load runs on the main thread and lets events in: the close
    // arrives in the middle of it, at the first event it lets in.
    bool closedWhileLoading = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, form, [&] {
        if (!form->Messages().Loading())
            return;
        poll.stop();
        closedWhileLoading = true;
        form->close();
    });
    poll.start();
    form->Messages().SetFolderId(FProjects);
    ASSERT_TRUE(WaitUntil([&] { return form.isNull(); }, 20000));
    EXPECT_TRUE(closedWhileLoading);
}

} // namespace
