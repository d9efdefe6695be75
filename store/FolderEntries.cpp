#include "store/FolderEntries.h"

#include "content/MesgUtils.h"
#include "settings/SystemCodePage.h"
#include "store/OEFolder.h"

#include <algorithm>

TFolderEntry FolderEntry(const TFolderProps& props)
{
    return {props.Id, FolderKind(props.Id, props.SpecialType), DecodeSystemText(props.Name), props.MessageCount,
            props.UnreadCount};
}

QString FolderCaption(const QString& name, int unread)
{
    return unread > 0 ? QStringLiteral("%1 (%2)").arg(name).arg(unread) : name;
}

bool FolderSortsBefore(int kind, const QString& name, int otherKind, const QString& otherName)
{
    return kind != otherKind ? kind < otherKind : CompareLocaleTextNoCase(name, otherName) < 0;
}

std::vector<TFolderEntry> SortedChildren(TOEFolder& folders, TStoreId parent, bool* listed)
{
    std::vector<TFolderEntry> children;
    const bool all = folders.ForEachChild(parent, [&children](const TFolderProps& props) {
        children.push_back(FolderEntry(props));
        return true;
    });
    if (listed)
        *listed = all;
    std::stable_sort(children.begin(), children.end(), [](const TFolderEntry& a, const TFolderEntry& b) {
        return FolderSortsBefore(a.Kind, a.Name, b.Kind, b.Name);
    });
    return children;
}
