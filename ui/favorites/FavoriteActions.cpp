#include "ui/favorites/FavoriteActions.h"

#include "store/OEFavorites.h"

#include <QAction>
#include <QMenu>

QKeySequence HotkeyShortcut(int slot)
{
    if (slot < 0 || slot >= TOEFavorites::kHotkeySlots)
        return {};
    return QKeySequence(QKeyCombination(Qt::ControlModifier, static_cast<Qt::Key>(Qt::Key_0 + slot)));
}

int HotkeySlotOf(const QKeySequence& key)
{
    for (int slot = 0; slot < TOEFavorites::kHotkeySlots; ++slot)
        if (key == HotkeyShortcut(slot))
            return slot;
    return -1;
}

TStoreId HotkeyTarget(const TOEFavorites& favorites, const QKeySequence& key)
{
    const int slot = HotkeySlotOf(key);
    const TStoreId folder = slot < 0 ? kRootFolderId : favorites.HotkeyFolder(slot);
    return folder == kRootFolderId ? kNoStoreId : folder;
}

TFavoriteActions::TFavoriteActions(TOEFavorites& favorites, QObject* owner)
    : QObject(owner)
    , FFavorites(favorites)
{
}

void TFavoriteActions::SetMenu(QMenu* menu)
{
    if (FMenu)
        for (QAction* action : std::as_const(FActions))
            FMenu->removeAction(action);
    FMenu = menu;
    if (FMenu)
        FMenu->addActions(FActions);
}

void TFavoriteActions::Rebuild()
{
    const int count = FFavorites.Count();
    // Freeing an action takes it out of every menu that shows it.
    while (FActions.size() > count)
        delete FActions.takeLast();
    while (FActions.size() < count) {
        auto* action = new QAction(this);
        connect(action, &QAction::triggered, this, [this, action] { Triggered(action); });
        FActions.append(action);
        if (FMenu)
            FMenu->addAction(action);
    }
    for (int i = 0; i < count; ++i) {
        QAction* action = FActions[i];
        // A "&" in a folder name is text, not the mark of a menu accelerator.
        action->setText(FFavorites.FavoriteName(i).replace(QLatin1Char('&'), QStringLiteral("&&")));
        action->setData(FFavorites.FavoriteAt(i));
        action->setShortcut(HotkeyShortcut(FFavorites.HotkeyOf(i)));
    }
}

void TFavoriteActions::Triggered(const QAction* action)
{
    if (OnGoTo)
        OnGoTo(action->data().toUInt());
}
