#pragma once

#include "settings/IniPersistent.h"
#include "store/OEFolders.h"

#include <array>
#include <functional>
#include <vector>

class TIniFiler;

// The user's favourite folders, in the order they were added, and ten
// hotkey slots: slot i stands for Ctrl+i and holds a folder id, 0 for none.
// As a folder model of its own it hears every folder change of the store,
// made by any window, and follows renames, moves and deletions. It is filed
// in the settings section "Favorites".
class TOEFavorites : public TOEFolders, public TIniHooks
{
    Q_OBJECT
public:
    static constexpr int kHotkeySlots = 10;
    using TChangeEvent = std::function<void(TOEFavorites* sender)>;

    explicit TOEFavorites(QObject* owner = nullptr);

    // Empties the list and every slot, without OnChange.
    void Clear();
    [[nodiscard]] int Count() const { return static_cast<int>(FFavorites.size()); }
    // The folder id at the position; raises the list error out of range.
    [[nodiscard]] TStoreId FavoriteAt(int index) const;
    [[nodiscard]] int IndexOfFavorite(TStoreId id) const;
    // The folder's name from the store; empty when the store does not know it.
    [[nodiscard]] QString FavoriteName(int index);
    [[nodiscard]] QString FolderName(TStoreId id);

    // The folder of a slot (0 none); slots outside 0 to 9 raise the list error.
    [[nodiscard]] TStoreId HotkeyFolder(int slot) const;
    void SetHotkeyFolder(int slot, TStoreId id);
    // The first slot that holds the favourite at `index`, -1 when none.
    [[nodiscard]] int HotkeyOf(int index) const;

    // Appends the folder unless it is listed already; a slot of 0 or more
    // is given to it. The store root and "no folder" are never favourites.
    void AddFavorite(TStoreId id, int slot = -1);
    // Removes the favourite and frees its hotkey slots; nothing for index < 0.
    void DeleteFavorite(int index);
    void RemoveFavorite(TStoreId id);
    // Moves the favourite at `from` to position `to`, the others closing up;
    // the hotkeys stay with their folders. Positions out of range raise the
    // list error.
    void MoveFavorite(int from, int to);

    // Reads or writes (by the filer's direction) the section "Favorites";
    // the filer's current section is restored afterwards.
    void ReadWrite(TIniFiler& filer);
    [[nodiscard]] QString GetSectionName() const override;
    void DefineIniProperties(TIniFiler& filer) override { ReadWrite(filer); }

    // After every change of the list or the slots.
    TChangeEvent OnChange;

private:
    void FolderChanged(int type, TStoreId oldId, TStoreId newId);
    void Read(TIniFiler& filer);
    void Write(TIniFiler& filer) const;
    void Changed();
    static void CheckSlot(int slot);

    std::vector<TStoreId> FFavorites;
    std::array<TStoreId, kHotkeySlots> FHotkeys{};
};
