#include "settings/IniFiler.h"
#include "store/OEFavorites.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "tests/support/TestEnvironment.h"
#include "tests/ui/DialogTestSupport.h"
#include "tests/ui/MesgListTestSupport.h"
#include "ui/actions/ActionUpdater.h"
#include "ui/dialogs/LanguageDialog.h"
#include "ui/forms/MEditForm.h"
#include "ui/forms/SharedFont.h"
#include "ui/mesg/QuickMesgEditor.h"
#include "ui/tree/OETreeView.h"
#include "ui/forms/TriForm.h"
#include "ui/forms/WindowLayout.h"

#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPointer>

namespace {

// Browser windows saved into and restored from a private settings file.
class WindowLayoutTest : public MesgListTest
{
protected:
    void SetUp() override
    {
        MesgListTest::SetUp();
        FWindow.reset();
        FProjects = FStore->AddFolder(kRootFolderId, "Projects");
        RegisterFormClass(QStringLiteral("TTriForm"), [] { return new TTriForm; });
        FSettings = std::make_unique<TOptionsSandbox>();
    }

    void TearDown() override
    {
        qDeleteAll(TTaskForm::Forms());
        FSettings.reset();
        MesgListTest::TearDown();
    }

    static TTriForm* OpenWindow(TStoreId folder, bool tree)
    {
        auto* form = new TTriForm;
        form->SetShowTree(tree);
        form->show();
        form->Messages().SetFolderId(folder);
        // Opened, not only asked for: the open request runs after the call.
        EXPECT_TRUE(form->Messages().WaitUntilParsed(20000));
        EXPECT_TRUE(WaitUntil([&] {
            return form->Messages().FolderId() == folder && !form->Messages().LoadRunning()
                   && form->List().ItemCount() == form->Messages().Count();
        }));
        return form;
    }

    // The windows that are open, by folder and tree.
    static std::vector<std::pair<TStoreId, bool>> OpenWindows()
    {
        std::vector<std::pair<TStoreId, bool>> windows;
        for (TTaskForm* form : TTaskForm::Forms()) {
            auto* browser = static_cast<TTriForm*>(form);
            EXPECT_TRUE(browser->Messages().WaitUntilParsed(20000));
            windows.emplace_back(browser->Messages().FolderId(), browser->ShowTree());
        }
        return windows;
    }

    [[nodiscard]] int SavedWindows() const
    {
        int count = -1;
        FSettings->Options.RunSettingsPass(true, [&count](TIniFiler& filer) {
            filer.SetSection(QStringLiteral("TaskForm\\ManagerForm"));
            count = filer.ReadInt(QStringLiteral("FormsCount"));
        });
        return count;
    }

    static void CloseAndWait(TTaskForm* form)
    {
        QPointer<TTaskForm> closing = form;
        form->close();
        ASSERT_TRUE(WaitUntil([&] { return closing.isNull(); }));
    }

    TStoreId FProjects = kNoStoreId;
    std::unique_ptr<TOptionsSandbox> FSettings;
};

TEST_F(WindowLayoutTest, ExitSavesEveryWindowAndTheNextStartRestoresThem)
{
    OpenWindow(kInbox, true);
    OpenWindow(FProjects, false);
    TTriForm* third = OpenWindow(kDeletedItems, true);
    const auto before = OpenWindows();

    ASSERT_TRUE(third->Action("mSaveWindowsAndExit"));
    third->Action("mSaveWindowsAndExit")->trigger();
    ASSERT_TRUE(WaitUntil([] { return TTaskForm::Forms().isEmpty(); }));
    EXPECT_EQ(SavedWindows(), 3);

    EXPECT_EQ(RestoreWindowLayout(), 3);
    EXPECT_EQ(OpenWindows(), before);
}

TEST_F(WindowLayoutTest, OnlyClosingTheLastWindowSavesTheLayout)
{
    TTriForm* first = OpenWindow(kInbox, true);
    TTriForm* second = OpenWindow(FProjects, true);
    CloseAndWait(first);
    EXPECT_EQ(SavedWindows(), 0) << "another window is still open";
    CloseAndWait(second);
    EXPECT_EQ(SavedWindows(), 1);

    EXPECT_EQ(RestoreWindowLayout(), 1);
    EXPECT_EQ(OpenWindows(), (std::vector<std::pair<TStoreId, bool>>{{FProjects, true}}));
}

TEST_F(WindowLayoutTest, FavouritesComeBackAndTheirHotkeysOpenTheirFolders)
{
    TOEFavorites favorites;
    FSettings->Options.SetFavorites(&favorites);
    favorites.AddFavorite(FProjects, 3);
    SaveWindowLayout();
    favorites.Clear();

    RestoreWindowLayout();
    ASSERT_EQ(favorites.Count(), 1);
    TTriForm* form = OpenWindow(kInbox, true);
    auto* menu = form->findChild<QMenu*>(QStringLiteral("FavoritesMenu"));
    ASSERT_NE(menu, nullptr);
    QAction* item = menu->actions().last();
    EXPECT_EQ(item->text(), QStringLiteral("Projects"));
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_3));
    item->trigger();
    ASSERT_TRUE(WaitUntil([&] { return form->Messages().FolderId() == FProjects; }));
    qDeleteAll(TTaskForm::Forms());
    FSettings->Options.SetFavorites(nullptr);
}

TEST_F(WindowLayoutTest, TheChosenFontReachesEveryWindowAndComesBack)
{
    const QFont desktop = QApplication::font();
    TTriForm* first = OpenWindow(kInbox, true);
    TTriForm* second = OpenWindow(FProjects, false);
    SaveWindowLayout();
    FSettings->Options.RunSettingsPass(true, [](TIniFiler& filer) {
        filer.SetSection(QStringLiteral("TaskForm\\ManagerForm"));
        EXPECT_TRUE(filer.ReadValue(QStringLiteral("FontName")).isEmpty()) << "the desktop's font is followed";
    });

    QFont chosen = desktop;
    chosen.setPointSize(desktop.pointSize() + 5);
    const TFontDialogHandler old = SetFontDialogHandler([&](const QFont&, QWidget*) { return chosen; });
    TActionUpdater::UpdateAll();
    first->Action("mFont")->trigger();
    SetFontDialogHandler(old);
    EXPECT_EQ(QApplication::font().pointSize(), chosen.pointSize());
    Settle();   // the widgets hear of it through the event loop
    for (TTriForm* form : {first, second})
        EXPECT_EQ(form->List().font().pointSize(), chosen.pointSize());

    CloseAndWait(second);
    CloseAndWait(first);
    QApplication::setFont(desktop);
    ASSERT_EQ(RestoreWindowLayout(), 1);
    Settle();
    EXPECT_EQ(QApplication::font().pointSize(), chosen.pointSize());
    EXPECT_EQ(static_cast<TTriForm*>(TTaskForm::Forms().front())->List().font().pointSize(), chosen.pointSize());
    QApplication::setFont(desktop);
}

TEST_F(WindowLayoutTest, ALanguageSwitchRecaptionsTheMenusOfEveryWindow)
{
    TTriForm* first = OpenWindow(kInbox, true);
    TTriForm* second = OpenWindow(FProjects, true);
    FSettings->Sandbox.WriteLanguage(QStringLiteral("pig.ini"),
                                     ";CodePage=65001\n[Program]\nName=Vellumo\n[Menu]\nFileMenu=&Ilefay\n"
                                     "mNewBrowser=Ewnay owserbray\n");
    FSettings->Options.SetLanguage(QStringLiteral("pig.ini"));
    ApplyLanguageToOpenForms();
    for (TTriForm* form : {first, second}) {
        EXPECT_EQ(form->findChild<QMenu*>(QStringLiteral("FileMenu"))->title(), QStringLiteral("&Ilefay"));
        EXPECT_EQ(form->Action("mNewBrowser")->text(), QStringLiteral("Ewnay owserbray"));
    }
}

TEST_F(WindowLayoutTest, AMessageFileWindowShowsTheFileAndLeavesTheLayoutAlone)
{
    CloseAndWait(OpenWindow(FProjects, true));
    ASSERT_EQ(SavedWindows(), 1);

    const QString folder = TTestEnvironment::NewFolder();
    const QString eml = folder + QStringLiteral("/note.eml");
    WriteTestFile(eml, "From: Ann <ann@example.org>\r\nSubject: Minutes of Tuesday\r\n\r\nHello.\r\n");
    WriteTestFile(folder + QStringLiteral("/note.msg"), "Subject: Other\r\n\r\nx\r\n");
    auto* window = new TMEditForm;
    EXPECT_FALSE(window->OpenFile(folder + QStringLiteral("/note.msg")));
    EXPECT_FALSE(window->OpenFile(folder + QStringLiteral("/missing.eml")));
    ASSERT_TRUE(window->OpenFile(eml));
    window->show();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Minutes of Tuesday - Vellumo"));
    EXPECT_EQ(window->FileName(), eml);

    CloseAndWait(window);
    EXPECT_EQ(SavedWindows(), 1) << "the browser window of the last run is still the layout";
    EXPECT_EQ(RestoreWindowLayout(), 1);
    EXPECT_EQ(OpenWindows(), (std::vector<std::pair<TStoreId, bool>>{{FProjects, true}}));
}

TEST_F(WindowLayoutTest, AFolderDeletedUnderTwoWindowsMovesBothToItsParent)
{
    const TStoreId old = FStore->AddFolder(kDeletedItems, "Old");
    TTriForm* first = OpenWindow(old, true);
    TTriForm* second = OpenWindow(old, false);
    ASSERT_TRUE(FStore->DeleteFolderId(old));
    // The tree follows its window's list through the event loop.
    EXPECT_TRUE(WaitUntil([&] {
        return first->Messages().FolderId() == kDeletedItems && second->Messages().FolderId() == kDeletedItems
               && first->Tree()->FolderId() == kDeletedItems;
    }));
    EXPECT_EQ(first->Messages().FolderId(), kDeletedItems);
    EXPECT_EQ(second->Messages().FolderId(), kDeletedItems);
    EXPECT_EQ(first->Tree()->FolderId(), kDeletedItems);
}

TEST_F(WindowLayoutTest, AnOptionChangedInTheDialogReachesTheOpenWindows)
{
    TDialogAnswers answers;
    TTriForm* form = OpenWindow(kInbox, true);
    form->SetShowEditor(true);
    ASSERT_EQ(form->Pane()->HeaderEdit(), nullptr);
    answers.Then([](TDialog& dialog) {
        const QList<QCheckBox*> checks = dialog.findChildren<QCheckBox*>(QStringLiteral("ShowHeader"));
        ASSERT_EQ(checks.size(), 1);
        checks[0]->setChecked(true);
        dialog.Confirm();
    });
    ASSERT_TRUE(form->Action("mEditorOptions"));
    form->Action("mEditorOptions")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return form->Pane()->HeaderEdit() != nullptr; }));
}

} // namespace
