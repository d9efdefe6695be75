#include "ui/mesglist/MesgListView.h"

#include "content/MesgUtils.h"
#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "store/OeMesgItems.h"
#include "ui/mesglist/MailColumnsList.h"
#include "ui/mesglist/MesgListLinks.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include <limits>

namespace {

// The column whose header shows the sort order of a key; none for the
// order of the visible columns.
int FieldOfSort(TMessageSort sort)
{
    switch (sort) {
    case msSubject: return mcSubject;
    case msFrom:
    case msFromRealName: return mcFromRealName;
    case msFromEmail: return mcFromEmail;
    case msTo:
    case msToRealName: return mcToRealName;
    case msToEmail: return mcToEmail;
    case msDateSent: return mcDateSent;
    case msDateReceived: return mcDateReceived;
    case msColumns: break;
    }
    return -1;
}

// The small image shown in an icon column's header.
int HeaderImage(int field)
{
    switch (field) {
    case mcAttachment: return miAttachment;
    case mcPriority: return miHighPriority;
    case mcFlagged: return miFlagged;
    default: return -1;
    }
}

} // namespace

TMesgListView::TMesgListView(QWidget* parent)
    : TVirtualListView(parent)
    , FMailColumns(new TMailColumnsList(this))
    , FClipboard(MesgListClipboard())
{
    setObjectName(QStringLiteral("MesgListView"));
    SetMultiSelect(true);
    SetHeaderDragDrop(true);
    setDragEnabled(true);
    SetSmallImages(MesgListImages());
    Header()->setSortIndicatorShown(true);
    FMessages = static_cast<TMesgItems*>(Collection());
    connect(this, &TIndexListView::ColumnClicked, this, &TMesgListView::HeaderClicked);
    // The header has finished its move when the list rebuilds its columns.
    connect(this, &TIndexListView::ColumnsReordered, this, &TMesgListView::HeaderReordered, Qt::QueuedConnection);
    connect(FMailColumns, &TMailColumnsList::Changed, this, &TMesgListView::ColumnsChanged);
    RebuildColumns();
    ApplySortOrder(false);
    if (FClipboard)
        FClipboard->RegisterDropTarget(*this);
}

TMesgListView::~TMesgListView()
{
    AttachTree(nullptr);
    if (FClipboard)
        FClipboard->UnregisterDropTarget(*this);
}

// -------------------------------------------------------- the collection

std::unique_ptr<TVirtItems> TMesgListView::CreateCollection()
{
    return std::make_unique<TMesgItems>();
}

void TMesgListView::SetMessages(std::unique_ptr<TMesgItems> messages)
{
    if (!messages)
        messages = std::make_unique<TMesgItems>();
    FSelectedIds.clear();
    FSyncedFolder = kNoStoreId;
    FMessages = messages.get();
    SetCollection(std::move(messages));
    ApplySortOrder(true);
}

TSyncItemRef TMesgListView::ShownItem()
{
    // Under the read lock no item can leave, so a remembered item is still listed.
    TReadGuard lock(*FMessages);
    const TVirtItem* item = RememberedItem();
    return item ? TSyncItemRef(const_cast<TVirtItem*>(item)) : TSyncItemRef();
}

bool TMesgListView::IsReady() const
{
    return FMessages->Kind() != 0 && !FMessages->Loading();
}

bool TMesgListView::LoadRunning()
{
    if (const auto* store = dynamic_cast<const TOeMesgItems*>(FMessages))
        return store->LoadRunning();
    return FMessages->Loading();
}

// ------------------------------------------------------------- columns

int TMesgListView::FieldOfColumn(int column) const
{
    return column >= 0 && column < FMailColumns->Count() ? FMailColumns->Field(column) : -1;
}

int TMesgListView::ColumnOfField(int field) const
{
    return FMailColumns->IndexOfField(field);
}

void TMesgListView::CreateColumns()
{
    for (int column = 0; column < FMailColumns->Count(); ++column) {
        const int field = FMailColumns->Field(column);
        AddColumn(MesgFieldCaption(field, false), field == mcSize ? Qt::AlignRight : Qt::AlignLeft);
        if (const int image = HeaderImage(field); image >= 0)
            SetColumnDecoration(column, image, MesgFieldCaption(field, true));
    }
    // The subject, else the first text column, takes the room to spare.
    int spare = ColumnOfField(mcSubject);
    for (int column = 0; spare < 0 && column < FMailColumns->Count(); ++column)
        if (FMailColumns->IsFirstTextColumn(column))
            spare = column;
    SetAutoSizeColumn(std::max(spare, 0));
    UpdateSortIndicator();
}

void TMesgListView::ColumnsChanged()
{
    RebuildColumns();
    ApplySortOrder(FMessageSort == msColumns);
}

void TMesgListView::HeaderReordered()
{
    // The columns follow the order the user dragged them into.
    std::vector<int> fields(static_cast<std::size_t>(FMailColumns->Count()));
    QHeaderView* header = Header();
    for (int column = 0; column < FMailColumns->Count() && column < header->count(); ++column)
        fields[static_cast<std::size_t>(header->visualIndex(column))] = FMailColumns->Field(column);
    FMailColumns->SetFields(fields);
}

// ---------------------------------------------------------------- cells

QString TMesgListView::ItemText(TVirtItem* item, int column)
{
    const auto* message = static_cast<const TMesgItem*>(item);
    switch (FieldOfColumn(column)) {
    case mcSubject: return message->Subject();
    case mcFromRealName: return message->FromName();
    case mcFromEmail: return message->FromAddress();
    case mcToRealName: return message->ToName();
    case mcToEmail: return message->ToAddress();
    case mcDateSent: return FormatMessageDate(FDateTimeDetails, message->DateSent());
    case mcDateReceived: return FormatMessageDate(FDateTimeDetails, message->DateReceived());
    case mcSize: return QString::number(message->Size());
    default: return {};
    }
}

int TMesgListView::ItemImage(TVirtItem* item, int column)
{
    const auto* message = static_cast<const TMesgItem*>(item);
    if (FMailColumns->IsFirstTextColumn(column))
        return message->HasState(stUnread) ? miUnread : miRead;
    switch (FieldOfColumn(column)) {
    case mcAttachment: return message->HasState(stAttachment) ? miAttachment : -1;
    case mcPriority:
        if (message->Priority() <= 1)
            return miHighPriority;
        return message->Priority() >= 3 ? miLowPriority : -1;
    case mcFlagged: return message->HasState(stFlagged) ? miFlagged : -1;
    default: return -1;
    }
}

bool TMesgListView::CustomDrawControl(QPainter* painter, TDrawStage stage)
{
    // Rows may have changed since the last paint.
    if (stage == TDrawStage::PrePaint)
        FStyleRow = -1;
    return TVirtualListView::CustomDrawControl(painter, stage);
}

bool TMesgListView::CustomDrawCell(int row, int column, QStyleOptionViewItem& option, QPainter* painter)
{
    // Every cell of a row has the row's style: it is worked out once.
    if (row != FStyleRow) {
        FStyleRow = row;
        unsigned char state = 0;
        int priority = 2;
        if (const TSyncItemRef ref = FMessages->ItemRefForRow(row)) {
            TReadGuard lock(*FMessages);
            state = ref.As<TMesgItem>()->State();
            priority = ref.As<TMesgItem>()->Priority();
        }
        FStyle = MesgRowStyle(state, priority, option.state & QStyle::State_Selected, palette());
    }
    option.font.setBold(FStyle.Bold);
    option.font.setItalic(FStyle.Italic);
    option.fontMetrics = QFontMetrics(option.font);
    if (FStyle.Color.isValid())
        option.palette.setColor(QPalette::Text, FStyle.Color);
    return TVirtualListView::CustomDrawCell(row, column, option, painter);
}

void TMesgListView::OpenRow(int row)
{
    TVirtualListView::OpenRow(row);
    if (const TSyncItemRef ref = FMessages->ItemRefForRow(row)) {
        TReadGuard lock(*FMessages);
        Q_EMIT ItemOpened(ref.As<TMesgItem>());
    }
}

void TMesgListView::SetDateTimeDetails(TDateTimeDetails details)
{
    if (details == FDateTimeDetails)
        return;
    FDateTimeDetails = details;
    RedrawVisibleRows();
}

// -------------------------------------------------------------- sorting

void TMesgListView::SetMessageSort(TMessageSort sort)
{
    if (sort == FMessageSort || sort < msColumns || sort > msDateReceived)
        return;
    FMessageSort = sort;
    ApplySortOrder(true);
}

void TMesgListView::SetInvertSort(bool invert)
{
    if (invert == FInvertSort)
        return;
    FInvertSort = invert;
    ApplySortOrder(true);
}

void TMesgListView::HeaderClicked(int column)
{
    const TMessageSort sort = SortForColumn(FieldOfColumn(column));
    // A second click on the sort column turns the order round; another
    // column sorts from the start.
    if (sort == FMessageSort) {
        SetInvertSort(!FInvertSort);
        return;
    }
    FInvertSort = false;
    SetMessageSort(sort);
}

void TMesgListView::ApplySortOrder(bool resort)
{
    FMessages->SetSortOrder({FMessageSort, FInvertSort, FMailColumns->Fields()});
    UpdateSortIndicator();
    if (resort) {
        const TListUpdateGuard update(*this);
        FMessages->Resort();
    }
    Q_EMIT SortChanged();
}

void TMesgListView::UpdateSortIndicator()
{
    // The header toggles its indicator by itself on a click: it is set
    // from the list's order every time.
    Header()->setSortIndicator(ColumnOfField(FieldOfSort(FMessageSort)),
                               FInvertSort ? Qt::DescendingOrder : Qt::AscendingOrder);
}

// ------------------------------------------------- the selection by id

void TMesgListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    TVirtualListView::selectionChanged(selected, deselected);
    if (FRestoringSelection)
        return;
    RememberSelection();
    // The user chose: a name waiting for its message must not take the
    // selection away later.
    if (FUserInput) {
        SetPendingName(QString());
        FPendingReloaded = false;
    }
}

void TMesgListView::RememberSelection()
{
    FSelectedIds.clear();
    TReadGuard lock(*FMessages);
    for (const auto& [first, last] : SelectedRanges()) {
        for (int row = first; row <= last; ++row) {
            if (const TVirtItem* item = FMessages->ItemForRow(row))
                FSelectedIds.insert(item->Id());
        }
    }
}

std::vector<int> TMesgListView::SelectedRows() const
{
    if (FSelectedIds.isEmpty())
        return TVirtualListView::SelectedRows();
    return RowsOfSelectedIds(std::numeric_limits<int>::max());
}

std::vector<int> TMesgListView::RowsOfSelectedIds(int limit) const
{
    std::vector<int> rows;
    int row = 0;
    FMessages->ForEachItem([&](const TSyncItem* item) {
        if (row < limit && FSelectedIds.contains(item->Id()))
            rows.push_back(row);
        ++row;
    });
    return rows;
}

void TMesgListView::RestoreSelection()
{
    const TVirtItem* current = RememberedItem();
    if (FSelectedIds.isEmpty() || !current)
        return;
    QItemSelection selection;
    int currentRow = -1;
    {
        TReadGuard lock(*FMessages);
        currentRow = FMessages->IndexOf(current);
        // The current message waits beyond the rows the control knows: the
        // next count puts it right.
        if (currentRow < 0 || currentRow >= ItemCount())
            return;
        // The rows are distinct: each is a range of its own, appended as it comes.
        const auto add = [this, &selection](int row) {
            selection.append(QItemSelectionRange(model()->index(row, 0), model()->index(row, 0)));
        };
        if (FSelectedIds.size() == 1 && FSelectedIds.contains(current->Id())) {
            add(currentRow);
        } else {
            for (const int row : RowsOfSelectedIds(ItemCount()))
                add(row);
        }
    }
    const int oldRow = currentIndex().row();
    if (oldRow == currentRow && selection == selectionModel()->selection())
        return;
    const bool wasVisible = oldRow >= 0 && RowRect(oldRow).intersects(viewport()->rect());
    {
        const QScopedValueRollback restoring(FRestoringSelection, true);
        selectionModel()->setCurrentIndex(model()->index(currentRow, 0), QItemSelectionModel::NoUpdate);
        selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // A message the user was looking at stays in view as others arrive.
    if (wasVisible)
        MakeVisible(currentRow);
}

void TMesgListView::SetItemCount(int count)
{
    // Inside an unlock the selection is put back once, at its end.
    const bool unlocking = FRestoringSelection;
    {
        const QScopedValueRollback restoring(FRestoringSelection, true);
        TVirtualListView::SetItemCount(count);
    }
    if (count == 0) {
        // A new load starts: its messages are new ones.
        FSelectedIds.clear();
        FPendingReloaded = !PendingName().isEmpty();
        return;
    }
    if (!unlocking && UpdateCount() == 0) {
        RestoreSelection();
        SelectPendingWhenListed();
    }
}

void TMesgListView::LockPainting()
{
    // The current message is known already: it is taken whenever the focus
    // moves. The focused row is not asked again, for an update that the
    // parser thread begins arrives after the rows have moved, and the row
    // would name another message by then.
    TIndexListView::LockPainting();
}

void TMesgListView::UnlockPainting()
{
    const TVirtItem* current = RememberedItem();
    {
        const QScopedValueRollback restoring(FRestoringSelection, true);
        TVirtualListView::UnlockPainting();
    }
    // When the current message left, the row that took its place is the
    // selection now; otherwise the chosen messages are selected again.
    if (current && RememberedItem() == current)
        RestoreSelection();
    else
        RememberSelection();
    SelectPendingWhenListed();
    SyncTreeAfterLoad();
}

QByteArray TMesgListView::MesgName()
{
    const TSyncItemRef ref = CurrentItem();
    if (!ref)
        return {};
    TReadGuard lock(*FMessages);
    return ref.As<TMesgItem>()->MessageId();
}

void TMesgListView::SetMesgName(const QByteArray& name)
{
    SetPendingName(QString::fromLatin1(name));
    FPendingReloaded = false;
    SelectPendingWhenListed();
}

void TMesgListView::SelectPendingWhenListed()
{
    if (PendingName().isEmpty())
        return;
    // Asked before the search: a load that ends during it may list the
    // message behind it.
    const bool loadEnded = !LoadRunning();
    const int row = FMessages->IndexOfName(PendingName());
    if (row >= 0 && row < ItemCount()) {
        SetPendingName(QString());
        FPendingReloaded = false;
        SetItemIndex(row);
        return;
    }
    // A message the collection holds waits for the count that shows its
    // row. One it does not hold is tried once more after the next load,
    // then given up.
    if (row < 0 && FPendingReloaded && loadEnded) {
        SetPendingName(QString());
        FPendingReloaded = false;
    }
}

void TMesgListView::keyPressEvent(QKeyEvent* event)
{
    const QScopedValueRollback user(FUserInput, true);
    TVirtualListView::keyPressEvent(event);
}

void TMesgListView::mousePressEvent(QMouseEvent* event)
{
    const QScopedValueRollback user(FUserInput, true);
    TVirtualListView::mousePressEvent(event);
}
