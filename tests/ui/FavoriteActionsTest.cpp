#include "tests/ui/DialogTestSupport.h"

#include "store/OEFavorites.h"
#include "ui/favorites/FavoriteActions.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr TStoreId kInbox = 1;

class FavoriteActionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(TTestEnvironment::NewStorePath()));
        FFavorites = std::make_unique<TOEFavorites>();
        FWork = FFavorites->AddFolder(kInbox, "R&D");
        FHome = FFavorites->AddFolder(kRootFolderId, "Home");
        FTrips = FFavorites->AddFolder(FHome, "Trips");
        FFavorites->AddFavorite(FWork, 3);
        FFavorites->AddFavorite(FHome);
        FFavorites->AddFavorite(FTrips, 0);
        FFavorites->SetHotkeyFolder(7, FTrips);   // a second slot: the first one is shown
    }

    [[nodiscard]] static QStringList Texts(const QList<QAction*>& actions)
    {
        QStringList texts;
        for (const QAction* action : actions)
            texts << action->text() + QLatin1Char('|') + action->shortcut().toString(QKeySequence::PortableText);
        return texts;
    }

    std::unique_ptr<TOEFavorites> FFavorites;
    TStoreId FWork = kNoStoreId;
    TStoreId FHome = kNoStoreId;
    TStoreId FTrips = kNoStoreId;
};

TEST_F(FavoriteActionsTest, HotkeysAreCtrlWithADigit)
{
    EXPECT_EQ(HotkeyShortcut(0), QKeySequence(QStringLiteral("Ctrl+0")));
    EXPECT_EQ(HotkeyShortcut(9), QKeySequence(QStringLiteral("Ctrl+9")));
    EXPECT_TRUE(HotkeyShortcut(-1).isEmpty());
    EXPECT_TRUE(HotkeyShortcut(10).isEmpty());
    EXPECT_EQ(HotkeySlotOf(QKeySequence(QStringLiteral("Ctrl+3"))), 3);
    EXPECT_EQ(HotkeySlotOf(QKeySequence(QStringLiteral("Ctrl+Shift+3"))), -1);
    EXPECT_EQ(HotkeySlotOf(QKeySequence(QStringLiteral("3"))), -1);
    EXPECT_EQ(HotkeyTarget(*FFavorites, QKeySequence(QStringLiteral("Ctrl+3"))), FWork);
    EXPECT_EQ(HotkeyTarget(*FFavorites, QKeySequence(QStringLiteral("Ctrl+7"))), FTrips);
    EXPECT_EQ(HotkeyTarget(*FFavorites, QKeySequence(QStringLiteral("Ctrl+5"))), kNoStoreId);
    EXPECT_EQ(HotkeyTarget(*FFavorites, QKeySequence(QStringLiteral("Alt+3"))), kNoStoreId);
}

TEST_F(FavoriteActionsTest, OneItemPerFavouriteFollowsTheFavourites)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Add to favorites"));
    menu.addAction(QStringLiteral("Organise favorites"));
    TFavoriteActions actions(*FFavorites);
    actions.SetMenu(&menu);
    actions.Rebuild();
    EXPECT_EQ(Texts(actions.Actions()), (QStringList{QStringLiteral("R&&D|Ctrl+3"), QStringLiteral("Home|"),
                                                     QStringLiteral("Trips|Ctrl+0")}));
    EXPECT_EQ(actions.Actions()[1]->data().toUInt(), FHome);
    ASSERT_EQ(menu.actions().size(), 5);
    EXPECT_EQ(menu.actions().mid(2), actions.Actions());

    QAction* first = actions.Actions()[0];
    FFavorites->RemoveFavorite(FHome);
    ASSERT_TRUE(FFavorites->RenameFolderId(FWork, "Projects"));
    actions.Rebuild();
    EXPECT_EQ(Texts(actions.Actions()), (QStringList{QStringLiteral("Projects|Ctrl+3"), QStringLiteral("Trips|Ctrl+0")}));
    EXPECT_EQ(actions.Actions()[0], first);   // kept, not made anew
    EXPECT_EQ(menu.actions().size(), 4);

    FFavorites->AddFavorite(FHome, 5);
    actions.Rebuild();
    EXPECT_EQ(menu.actions().size(), 5);
    EXPECT_EQ(menu.actions().last()->shortcut(), QKeySequence(QStringLiteral("Ctrl+5")));
}

TEST_F(FavoriteActionsTest, CtrlDigitGoesToTheFavouriteOfThatSlot)
{
    TActiveWindow window;
    auto* bar = new QMenuBar(&window);
    window.layout()->setMenuBar(bar);
    TFavoriteActions actions(*FFavorites, &window);
    actions.SetMenu(bar->addMenu(QStringLiteral("Favorites")));
    QList<TStoreId> wentTo;
    actions.OnGoTo = [&](TStoreId folder) { wentTo << folder; };
    actions.Rebuild();
    window.Activate();
    QTest::keyClick(&window, Qt::Key_3, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_0, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_5, Qt::ControlModifier);   // an empty slot
    EXPECT_EQ(wentTo, (QList<TStoreId>{FWork, FTrips}));

    // Every item has a shortcut of its own.
    QList<QKeySequence> keys;
    for (const QAction* action : actions.Actions()) {
        if (action->shortcut().isEmpty())
            continue;
        EXPECT_FALSE(keys.contains(action->shortcut())) << action->text().toStdString();
        keys << action->shortcut();
    }
}

} // namespace
