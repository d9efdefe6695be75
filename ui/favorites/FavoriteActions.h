#pragma once

#include "engine/StoreTypes.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QMenu;
class TOEFavorites;

// The shortcut of a hotkey slot, Ctrl with the slot's digit key; none for
// a slot outside 0 to 9 (a favourite without a hotkey has slot -1).
[[nodiscard]] QKeySequence HotkeyShortcut(int slot);
// The slot a key stands for (Ctrl+0 to Ctrl+9), -1 for any other key.
[[nodiscard]] int HotkeySlotOf(const QKeySequence& key);
// The folder a hotkey goes to; kNoStoreId for another key or an empty slot.
[[nodiscard]] TStoreId HotkeyTarget(const TOEFavorites& favorites, const QKeySequence& key);

// The favourites as the items of one window's Favorites menu: an action per
// favourite, in the favourites' order, captioned with the folder's name,
// holding the folder id as its data and carrying Ctrl with the favourite's
// hotkey digit as its shortcut. Choosing one calls OnGoTo with its folder.
// The owner calls Rebuild whenever the favourites announce a change.
class TFavoriteActions : public QObject
{
    Q_OBJECT
public:
    explicit TFavoriteActions(TOEFavorites& favorites, QObject* owner = nullptr);

    // Keeps the menu's items after the ones it already holds in step with
    // the actions (none: the actions live on their own).
    void SetMenu(QMenu* menu);
    // Brings the actions in line with the favourites: actions beyond their
    // number are freed from the end, missing ones appended, and each shows
    // its favourite.
    void Rebuild();
    [[nodiscard]] const QList<QAction*>& Actions() const { return FActions; }

    std::function<void(TStoreId folder)> OnGoTo;

private:
    void Triggered(const QAction* action);

    TOEFavorites& FFavorites;
    QPointer<QMenu> FMenu;
    QList<QAction*> FActions;
};
