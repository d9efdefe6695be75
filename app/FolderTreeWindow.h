#pragma once

#include "engine/StoreTypes.h"

#include <QWidget>

#include <memory>

class QTreeWidget;
class QTreeWidgetItem;
class TMesgListView;
class TOEFolders;

// A plain window with the store's folders as a tree, refreshed when the
// store reports a folder change, and beside it the messages of the folder
// chosen in the tree. The header of the message list offers the column and
// sort dialogs.
class TFolderTreeWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TFolderTreeWindow(QWidget* parent = nullptr);
    ~TFolderTreeWindow() override;

    void Refresh();
    // Chooses the folder in the tree, which opens it in the list.
    bool ChooseFolder(TStoreId id);

    [[nodiscard]] QTreeWidget& Tree() const { return *FTree; }
    [[nodiscard]] TMesgListView& List() const { return *FList; }

private:
    void AddChildren(QTreeWidgetItem* parent, quint32 folderId);
    void OpenChosenFolder();
    void ShowHeaderMenu(const QPoint& position);

    std::unique_ptr<TOEFolders> FFolders;
    QTreeWidget* FTree;
    TMesgListView* FList;
};
