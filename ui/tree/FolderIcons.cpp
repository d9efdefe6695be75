#include "ui/tree/FolderIcons.h"

#include <array>

namespace {

struct TIconName
{
    const char* Theme;     // freedesktop icon name
    const char* Bundled;   // our resource
};

// Indexed by kind.
constexpr std::array<TIconName, 7> kIcons = {{
    {"folder-mail", ":/icons/folders/store.svg"},
    {"mail-folder-inbox", ":/icons/folders/inbox.svg"},
    {"mail-folder-outbox", ":/icons/folders/outbox.svg"},
    {"mail-folder-sent", ":/icons/folders/sent.svg"},
    {"user-trash", ":/icons/folders/deleted.svg"},
    {"mail-folder-drafts", ":/icons/folders/drafts.svg"},
    {"folder", ":/icons/folders/folder.svg"},
}};

QIcon MakeIcon(const TIconName& name)
{
    return QIcon::fromTheme(QLatin1String(name.Theme), QIcon(QLatin1String(name.Bundled)));
}

} // namespace

QIcon FolderIcon(int kind)
{
    // Made once: a tree refresh sets the icon of every node.
    static const std::array<QIcon, kIcons.size()> icons = [] {
        std::array<QIcon, kIcons.size()> made;
        for (size_t i = 0; i < kIcons.size(); ++i)
            made[i] = MakeIcon(kIcons[i]);
        return made;
    }();
    const size_t index = kind >= 0 && static_cast<size_t>(kind) < icons.size() ? static_cast<size_t>(kind) : icons.size() - 1;
    return icons[index];
}
