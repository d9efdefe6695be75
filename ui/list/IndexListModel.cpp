#include "ui/list/IndexListModel.h"

#include "ui/list/IndexListView.h"

TIndexListModel::TIndexListModel(TIndexListView* view)
    : QAbstractTableModel(view)
    , FView(view)
{
}

int TIndexListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : FRowCount;
}

int TIndexListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(FView->Columns().size());
}

QVariant TIndexListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= FRowCount)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return FView->CellText(index.row(), index.column());
    case Qt::DecorationRole: {
        const QIcon image = FView->SmallImage(FView->CellImage(index.row(), index.column()));
        return image.isNull() ? QVariant() : QVariant(image);
    }
    case Qt::CheckStateRole: {
        if (!FView->CheckBoxes() || index.column() != 0)
            return {};
        return FView->FetchDisplayData(index.row(), 0).Checked ? Qt::Checked : Qt::Unchecked;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(FView->Columns()[index.column()].Alignment | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TIndexListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const auto& columns = FView->Columns();
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns.size()))
        return {};
    const TListColumn& column = columns[section];
    switch (role) {
    case Qt::DisplayRole:
        return column.Caption;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(column.Alignment | Qt::AlignVCenter);
    case Qt::DecorationRole: {
        const QIcon image = FView->SmallImage(column.ImageIndex);
        return image.isNull() ? QVariant() : QVariant(image);
    }
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return column.Hint.isEmpty() ? QVariant() : QVariant(column.Hint);
    default:
        return {};
    }
}

Qt::ItemFlags TIndexListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (FView->dragEnabled())
        flags |= Qt::ItemIsDragEnabled;
    if (FView->CheckBoxes() && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

void TIndexListModel::SetRowCount(int count)
{
    if (count > FRowCount) {
        beginInsertRows(QModelIndex(), FRowCount, count - 1);
        FRowCount = count;
        endInsertRows();
    } else if (count < FRowCount) {
        beginRemoveRows(QModelIndex(), count, FRowCount - 1);
        FRowCount = count;
        endRemoveRows();
    }
}

void TIndexListModel::RemoveRows(int first, int last)
{
    if (first < 0 || last < first || last >= FRowCount)
        return;
    beginRemoveRows(QModelIndex(), first, last);
    FRowCount -= last - first + 1;
    endRemoveRows();
}

void TIndexListModel::BeginInsertColumn(int column)
{
    beginInsertColumns(QModelIndex(), column, column);
}

void TIndexListModel::EndInsertColumn()
{
    endInsertColumns();
}

void TIndexListModel::BeginRemoveAllColumns()
{
    beginRemoveColumns(QModelIndex(), 0, columnCount() - 1);
}

void TIndexListModel::EndRemoveColumns()
{
    endRemoveColumns();
}

void TIndexListModel::HeaderChanged()
{
    if (columnCount() > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}
