#include "store/OEFavorites.h"

#include "settings/IniErrors.h"
#include "settings/IniFiler.h"
#include "settings/SystemCodePage.h"

#include <algorithm>

namespace {

const QString kSection = QStringLiteral("Favorites");
// What a hotkey slot holds when no folder is on it.
constexpr TStoreId kEmptySlot = 0;
const QString kCountKey = QStringLiteral("Count");

QString HotkeyKey(int slot)
{
    return QStringLiteral("hotkey%1").arg(slot);
}

// Ids are unsigned 32-bit values; anything else reads as no folder.
TStoreId ReadId(TIniFiler& filer, const QString& key)
{
    bool ok = false;
    const TStoreId id = filer.ReadValue(key).trimmed().toUInt(&ok);
    return ok ? id : kNoStoreId;
}

} // namespace

TOEFavorites::TOEFavorites(QObject* owner)
    : TOEFolders(owner)
{
    setObjectName(QStringLiteral("OEFavorites"));
    OnFolderChange = [this](int type, TStoreId oldId, TStoreId newId) { FolderChanged(type, oldId, newId); };
}

void TOEFavorites::Clear()
{
    FFavorites.clear();
    FHotkeys.fill(kEmptySlot);
}

TStoreId TOEFavorites::FavoriteAt(int index) const
{
    if (index < 0 || index >= Count())
        throw EStringListError::IndexError(index);
    return FFavorites[static_cast<size_t>(index)];
}

int TOEFavorites::IndexOfFavorite(TStoreId id) const
{
    const auto found = std::find(FFavorites.begin(), FFavorites.end(), id);
    return found == FFavorites.end() ? -1 : static_cast<int>(found - FFavorites.begin());
}

QString TOEFavorites::FavoriteName(int index)
{
    return FolderName(FavoriteAt(index));
}

QString TOEFavorites::FolderName(TStoreId id)
{
    TFolderProps props;
    return GetFolderInfo(id, props) == srOk ? DecodeSystemText(props.Name) : QString();
}

void TOEFavorites::CheckSlot(int slot)
{
    if (slot < 0 || slot >= kHotkeySlots)
        throw EStringListError::IndexError(slot);
}

TStoreId TOEFavorites::HotkeyFolder(int slot) const
{
    CheckSlot(slot);
    return FHotkeys[static_cast<size_t>(slot)];
}

void TOEFavorites::SetHotkeyFolder(int slot, TStoreId id)
{
    CheckSlot(slot);
    FHotkeys[static_cast<size_t>(slot)] = id;
    Changed();
}

int TOEFavorites::HotkeyOf(int index) const
{
    if (index < 0 || index >= Count())
        return -1;
    const auto found = std::find(FHotkeys.begin(), FHotkeys.end(), FFavorites[static_cast<size_t>(index)]);
    return found == FHotkeys.end() ? -1 : static_cast<int>(found - FHotkeys.begin());
}

void TOEFavorites::AddFavorite(TStoreId id, int slot)
{
    // The root's id is the empty slot's value and is never read back from
    // the settings, so the root could neither keep a hotkey nor survive a restart.
    if (id == kRootFolderId || id == kNoStoreId)
        return;
    if (slot >= 0)
        CheckSlot(slot);
    if (IndexOfFavorite(id) < 0)
        FFavorites.push_back(id);
    if (slot >= 0)
        FHotkeys[static_cast<size_t>(slot)] = id;
    Changed();
}

void TOEFavorites::DeleteFavorite(int index)
{
    if (index < 0)
        return;
    const TStoreId id = FavoriteAt(index);
    // A slot left holding a folder that is no favourite would be a hotkey
    // that no menu shows; every slot of the folder is freed.
    std::replace(FHotkeys.begin(), FHotkeys.end(), id, kEmptySlot);
    FFavorites.erase(FFavorites.begin() + index);
    Changed();
}

void TOEFavorites::RemoveFavorite(TStoreId id)
{
    DeleteFavorite(IndexOfFavorite(id));
}

void TOEFavorites::MoveFavorite(int from, int to)
{
    const TStoreId id = FavoriteAt(from);
    (void)FavoriteAt(to);
    FFavorites.erase(FFavorites.begin() + from);
    FFavorites.insert(FFavorites.begin() + to, id);
    Changed();
}

void TOEFavorites::FolderChanged(int type, TStoreId oldId, TStoreId newId)
{
    if (type == fnFolderDeleted) {
        RemoveFavorite(oldId);
        return;
    }
    const bool follows = type == fnRenamed || type == fnMoved || type == fnFlagsChanged
                         || type == fnUpdateFlagsChanged || type == fnPropsChanged;
    const int index = IndexOfFavorite(oldId);
    if (!follows || index < 0)
        return;
    FFavorites[static_cast<size_t>(index)] = newId;
    const auto slot = std::find(FHotkeys.begin(), FHotkeys.end(), oldId);
    if (slot != FHotkeys.end())
        *slot = newId;
    // The menus show names: a rename or a new id changes them. The count
    // changes of a favourite folder (every message saved into it) do not,
    // and must not rebuild every window's menu.
    if (type == fnRenamed || newId != oldId)
        Changed();
}

QString TOEFavorites::GetSectionName() const
{
    return kSection;
}

void TOEFavorites::ReadWrite(TIniFiler& filer)
{
    TIniSectionGuard guard(filer);
    filer.SetSection(kSection);
    if (filer.Loading())
        Read(filer);
    else
        Write(filer);
}

void TOEFavorites::Write(TIniFiler& filer) const
{
    filer.WriteInt(kCountKey, Count());
    for (int i = 0; i < Count(); ++i)
        filer.WriteValue(QString::number(i), QString::number(FFavorites[static_cast<size_t>(i)]));
    for (int slot = 0; slot < kHotkeySlots; ++slot)
        filer.WriteValue(HotkeyKey(slot), QString::number(FHotkeys[static_cast<size_t>(slot)]));
}

void TOEFavorites::Read(TIniFiler& filer)
{
    Clear();
    // A damaged count never makes the pass read more keys than the section holds.
    const int count = std::min(filer.ReadInt(kCountKey), static_cast<int>(filer.IniFile().KeyNames(kSection).size()));
    for (int i = 0; i < count; ++i) {
        const TStoreId id = ReadId(filer, QString::number(i));
        if (id != kRootFolderId && FolderExists(id))
            FFavorites.push_back(id);
    }
    for (int slot = 0; slot < kHotkeySlots; ++slot) {
        const TStoreId id = ReadId(filer, HotkeyKey(slot));
        if (IndexOfFavorite(id) >= 0)
            FHotkeys[static_cast<size_t>(slot)] = id;
    }
    Changed();
}

void TOEFavorites::Changed()
{
    if (OnChange)
        OnChange(this);
}
