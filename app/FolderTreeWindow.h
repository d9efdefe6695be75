#pragma once

#include <QWidget>

#include <memory>

class QTreeWidget;
class QTreeWidgetItem;
class TOEFolders;

// A plain window with the store's folders as a tree, refreshed when the
// store reports a folder change.
class TFolderTreeWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TFolderTreeWindow(QWidget* parent = nullptr);
    ~TFolderTreeWindow() override;

    void Refresh();

private:
    void AddChildren(QTreeWidgetItem* parent, quint32 folderId);

    std::unique_ptr<TOEFolders> FFolders;
    QTreeWidget* FTree;
};
