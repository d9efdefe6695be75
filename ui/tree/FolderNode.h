#pragma once

#include "engine/StoreTypes.h"

#include <QTreeWidgetItem>

struct TFolderEntry;

// One node of a folder tree: a store folder with its counts. The caption is
// the name, followed by the unread count when there are unread messages.
class TFolderNode : public QTreeWidgetItem
{
public:
    static constexpr int kNodeType = QTreeWidgetItem::UserType + 1;
    // The kind of ordinary folders, which new nodes start with.
    static constexpr int kFolderKind = 6;

    TFolderNode();

    [[nodiscard]] TStoreId Id() const { return FId; }
    [[nodiscard]] int MessageCount() const { return FMessageCount; }
    [[nodiscard]] int UnreadCount() const { return FUnreadCount; }
    // Empty for the store root.
    [[nodiscard]] const QString& Name() const { return FName; }
    [[nodiscard]] int Kind() const { return FKind; }
    [[nodiscard]] bool Seen() const { return FSeen; }
    void SetSeen(bool seen) { FSeen = seen; }

    // Takes the folder's id, kind, name and counts; updates caption and icon.
    void Assign(const TFolderEntry& entry);
    // Makes this node the store root with the given caption.
    void MakeRoot(const QString& caption);

    [[nodiscard]] TFolderNode* ParentNode() const;
    [[nodiscard]] TFolderNode* ChildNode(int index) const;
    // The direct child with the folder id, or none.
    [[nodiscard]] TFolderNode* ChildById(TStoreId id) const;
    // True when `node` is this node or lies below it.
    [[nodiscard]] bool Contains(const QTreeWidgetItem* node) const;

    // Kind first, then name (the folder order).
    bool operator<(const QTreeWidgetItem& other) const override;
    // The hint of a folder: its message and unread counts.
    [[nodiscard]] QVariant data(int column, int role) const override;
    [[nodiscard]] QTreeWidgetItem* clone() const override;

private:
    TStoreId FId = kNoStoreId;
    int FMessageCount = 0;
    int FUnreadCount = 0;
    QString FName;
    int FKind = kFolderKind;
    bool FSeen = false;
};

// A folder the user made, not the store root or one of its special folders.
inline bool IsOrdinaryFolder(const TFolderNode* node)
{
    return node && node->Kind() == TFolderNode::kFolderKind;
}
