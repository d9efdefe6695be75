#pragma once

#include <QAbstractTableModel>

class TIndexListView;

// The model behind a virtual list: it holds only the row count and asks its
// view for every cell it is asked about.
class TIndexListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TIndexListModel(TIndexListView* view);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Grows or shrinks the rows at the end; the rows that stay keep their
    // selection and nothing else is invalidated.
    void SetRowCount(int count);
    void RemoveRows(int first, int last);
    // Column changes: the view changes its column list inside these.
    void BeginInsertColumn(int column);
    void EndInsertColumn();
    void BeginRemoveAllColumns();
    void EndRemoveColumns();
    void HeaderChanged();

private:
    TIndexListView* FView;
    int FRowCount = 0;
};
