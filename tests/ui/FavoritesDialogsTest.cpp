#include "store/OEFavorites.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/VarControls.h"
#include "ui/VarEdit.h"
#include "ui/dialogs/FavoritesDialogs.h"
#include "ui/dialogs/OrderButtons.h"
#include "ui/dialogs/OrderListBox.h"
#include "ui/favorites/FavoriteActions.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using ::PrintTo;

constexpr TStoreId kInbox = 1;

// Answers every message box with the button of the caption given last,
// recording the boxes' texts, while it lives.
class TBoxReplies
{
public:
    TBoxReplies()
        : FOld(SetBoxObserver([this](TTntMessageForm& box) {
            Texts << box.MessageLabel()->text();
            for (QPushButton* button : box.findChildren<QPushButton*>())
                if (button->text() == Reply) {
                    button->click();
                    return;
                }
            ADD_FAILURE() << "no button " << Reply.toStdString();
            box.reject();
        }))
    {
    }
    ~TBoxReplies() { SetBoxObserver(FOld); }
    TBoxReplies(const TBoxReplies&) = delete;
    TBoxReplies& operator=(const TBoxReplies&) = delete;

    QString Reply;
    QStringList Texts;

private:
    TBoxObserver FOld;
};

// Three folders, two of them favourites with hotkeys:
//     Work (Ctrl+3), Trips (Ctrl+0); Home is no favourite.
class FavoritesDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(TTestEnvironment::NewStorePath()));
        FFavorites = std::make_unique<TOEFavorites>();
        FWork = FFavorites->AddFolder(kInbox, "Work");
        FHome = FFavorites->AddFolder(kRootFolderId, "Home");
        FTrips = FFavorites->AddFolder(FHome, "Trips");
        FFavorites->AddFavorite(FWork, 3);
        FFavorites->AddFavorite(FTrips, 0);
    }

    [[nodiscard]] int SlotOf(TStoreId folder) const
    {
        return FFavorites->HotkeyOf(FFavorites->IndexOfFavorite(folder));
    }

    static TVarCombo* Shortcut(const TDialog& dialog)
    {
        auto* combo = dialog.findChild<TVarCombo*>(QStringLiteral("Shortcut"));
        EXPECT_TRUE(combo);
        return combo;
    }

    TEnglishLanguage FLanguage;
    TBeepCounter FBeeps;
    TDialogAnswers FAnswers;
    TBoxReplies FReplies;
    std::unique_ptr<TOEFavorites> FFavorites;
    TStoreId FWork = kNoStoreId;
    TStoreId FHome = kNoStoreId;
    TStoreId FTrips = kNoStoreId;
};

TEST_F(FavoritesDialogsTest, AddingAFavouriteNamesTheFolderAndStartsWithoutShortcut)
{
    FAnswers.Then([](TDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add to favorites"));
        ExpectNoLayoutFaults(dialog);
        auto* name = dialog.findChild<TVarEdit*>(QStringLiteral("FolderName"));
        ASSERT_TRUE(name);
        EXPECT_EQ(name->text(), QStringLiteral("Home"));
        EXPECT_TRUE(name->isReadOnly());
        TVarCombo* combo = Shortcut(dialog);
        EXPECT_EQ(combo->currentText(), QStringLiteral("None"));
        EXPECT_EQ(combo->count(), 11);
        EXPECT_EQ(combo->itemText(10), QStringLiteral("Control+9"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(AddFavoriteDialog(*FFavorites, FHome));
    EXPECT_EQ(FFavorites->IndexOfFavorite(FHome), -1);

    FAnswers.Then([](TDialog& dialog) { Click(dialog.OkButton()); });
    EXPECT_TRUE(AddFavoriteDialog(*FFavorites, FHome));
    EXPECT_EQ(FFavorites->IndexOfFavorite(FHome), 2);
    EXPECT_EQ(SlotOf(FHome), -1);
    EXPECT_TRUE(FReplies.Texts.isEmpty());
}

struct TTakeCase
{
    const char* Name;
    const char* Reply;
    // What the combo shows after the answer, and the slots after OK.
    const char* Shown;
    int HomeSlot;
    TStoreId SlotZeroHolder;   // 0 stands for Trips, 1 for Home
};

class FavoriteShortcutTakeTest : public FavoritesDialogsTest, public ::testing::WithParamInterface<TTakeCase>
{
};

// Ctrl+5 is free; Ctrl+0 belongs to Trips, so choosing it asks first.
TEST_P(FavoriteShortcutTakeTest, TakingAnotherFavouritesDigitAsksFirst)
{
    const TTakeCase& c = GetParam();
    FReplies.Reply = Lang().CommonText(QString::fromLatin1(c.Reply));
    QString shown;
    FAnswers.Then([&shown](TDialog& dialog) {
        TVarCombo* combo = Shortcut(dialog);
        combo->setCurrentIndex(6);
        combo->setCurrentIndex(1);
        shown = combo->currentText();
        Click(dialog.OkButton());
    });
    EXPECT_TRUE(AddFavoriteDialog(*FFavorites, FHome));
    ASSERT_EQ(FReplies.Texts.size(), 1);
    EXPECT_EQ(FReplies.Texts[0], QStringLiteral("Ctrl+0 already opens the folder \"Trips\".\r\nGive the shortcut to this "
                                                "folder instead?"));
    EXPECT_EQ(shown, QString::fromLatin1(c.Shown));
    EXPECT_EQ(SlotOf(FHome), c.HomeSlot);
    EXPECT_EQ(FFavorites->HotkeyFolder(0), c.SlotZeroHolder == 0 ? FTrips : FHome);
}

const TTakeCase kTakeCases[] = {
    {"YesTakesTheDigit", "Yes", "Control+0", 0, 1},
    {"NoLeavesTheNewFavouriteWithoutHotkey", "No", "None", -1, 0},
    {"CancelKeepsThePreviousChoice", "Cancel", "Control+5", 5, 0},
};
INSTANTIATE_TEST_SUITE_P(Answers, FavoriteShortcutTakeTest, ::testing::ValuesIn(kTakeCases), TCaseName());

TEST_F(FavoritesDialogsTest, TheShortcutDialogChangesOrClearsTheFavouritesHotkey)
{
    TFavoriteActions actions(*FFavorites);
    FFavorites->OnChange = [&actions](TOEFavorites*) { actions.Rebuild(); };
    actions.Rebuild();
    const int work = FFavorites->IndexOfFavorite(FWork);

    // Another digit replaces the one shown; the menu item follows.
    FAnswers.Then([](TDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Shortcut"));
        ExpectNoLayoutFaults(dialog);
        EXPECT_TRUE(dialog.findChild<QLabel*>() != nullptr);
        EXPECT_EQ(Shortcut(dialog)->currentText(), QStringLiteral("Control+3"));
        Shortcut(dialog)->setCurrentIndex(8);
        Click(dialog.OkButton());
    });
    EXPECT_TRUE(FavoriteShortcutDialog(*FFavorites, work));
    EXPECT_EQ(SlotOf(FWork), 7);
    EXPECT_EQ(FFavorites->HotkeyFolder(3), 0u);
    EXPECT_EQ(actions.Actions()[work]->shortcut(), QKeySequence(QStringLiteral("Ctrl+7")));

    // "None" removes the hotkey and the menu item's shortcut.
    FAnswers.Then([](TDialog& dialog) {
        EXPECT_EQ(Shortcut(dialog)->currentText(), QStringLiteral("Control+7"));
        Shortcut(dialog)->setCurrentIndex(0);
        Click(dialog.OkButton());
    });
    EXPECT_TRUE(FavoriteShortcutDialog(*FFavorites, work));
    EXPECT_EQ(SlotOf(FWork), -1);
    EXPECT_EQ(FFavorites->HotkeyFolder(7), 0u);
    EXPECT_TRUE(actions.Actions()[work]->shortcut().isEmpty());
    EXPECT_EQ(SlotOf(FTrips), 0);

    // Cancel changes nothing.
    FAnswers.Then([](TDialog& dialog) {
        Shortcut(dialog)->setCurrentIndex(2);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(FavoriteShortcutDialog(*FFavorites, work));
    EXPECT_EQ(SlotOf(FWork), -1);
}

TEST_F(FavoritesDialogsTest, TheOrganiserReordersDeletesAndSetsShortcuts)
{
    FFavorites->AddFavorite(FHome);
    FAnswers.Then([this](TDialog& dialog) {
        auto& organiser = static_cast<TFavoritesDlg&>(dialog);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Organise favorites"));
        ExpectNoLayoutFaults(dialog);
        TListBoxForList* list = organiser.ListBox();
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_GE(list->height(), 10 * list->sizeHintForRow(0));
        EXPECT_GE(list->width(), organiser.OrderButtons()->width());
        const QList<QPushButton*>& buttons = organiser.OrderButtons()->Buttons();
        ASSERT_EQ(buttons.size(), 4);   // delete, up, down, shortcut

        Click(buttons[2]);   // Work moves down
        EXPECT_EQ(FFavorites->FavoriteAt(1), FWork);
        EXPECT_EQ(list->item(1)->text(), QStringLiteral("Work"));
        EXPECT_EQ(list->currentRow(), 1);

        Click(organiser.ShortcutButton());   // answered below: Work gets Ctrl+9
        EXPECT_EQ(SlotOf(FWork), 9);

        list->setCurrentRow(0);   // Trips goes, and frees Ctrl+0
        Click(buttons[0]);
        EXPECT_EQ(FFavorites->Count(), 2);
        EXPECT_EQ(FFavorites->HotkeyFolder(0), 0u);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("Work"));
        Click(dialog.CloseButton());
    });
    FAnswers.Then([](TDialog& dialog) {
        EXPECT_EQ(Shortcut(dialog)->currentText(), QStringLiteral("Control+3"));
        Shortcut(dialog)->setCurrentIndex(10);
        Click(dialog.OkButton());
    });
    EXPECT_TRUE(OrganiseFavoritesDialog(*FFavorites));
    EXPECT_EQ(FAnswers.Dialogs, 2);
    EXPECT_EQ(FFavorites->FavoriteAt(0), FWork);
    EXPECT_EQ(FFavorites->FavoriteAt(1), FHome);
}

} // namespace
