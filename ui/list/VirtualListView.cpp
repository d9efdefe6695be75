#include "ui/list/VirtualListView.h"

#include "base/PrivateMessages.h"
#include "base/TsanAnnotations.h"
#include "ui/list/WaitCursor.h"

#include <QApplication>
#include <QThread>

#include <algorithm>

namespace {

// A private message for the window that holds the control, posted from any thread.
const QEvent::Type kForwardToWindow = static_cast<QEvent::Type>(QEvent::registerEventType());

class TWindowMessageEvent : public QEvent
{
public:
    explicit TWindowMessageEvent(int message) : QEvent(kForwardToWindow), Message(message) {}
    const int Message;
};

} // namespace

TVirtualListView::TVirtualListView(QWidget* parent)
    : TIndexListView(parent)
{
    FCountTimer.setSingleShot(true);
    connect(&FCountTimer, &QTimer::timeout, this, &TVirtualListView::TakeRequests);
}

TVirtualListView::~TVirtualListView()
{
    // No thread may reach this control once it goes.
    if (FCollection)
        FCollection->SetControl(nullptr);
}

TVirtItems* TVirtualListView::Collection()
{
    if (!FCollection) {
        FCollection = CreateCollection();
        FCollection->SetControl(&FLink);
    }
    return FCollection.get();
}

void TVirtualListView::SetCollection(std::unique_ptr<TVirtItems> collection)
{
    SetItemCount(0);
    if (FCollection)
        FCollection->SetControl(nullptr);
    FCollection = std::move(collection);
    if (FCollection) {
        FCollection->SetControl(&FLink);
        FCollection->SendCount();
    }
}

std::unique_ptr<TVirtItems> TVirtualListView::CreateCollection()
{
    return std::make_unique<TVirtItems>();
}

TSyncItemRef TVirtualListView::CurrentItem()
{
    const int row = ItemIndex();
    return row >= 0 ? Collection()->ItemRefForRow(row) : TSyncItemRef();
}

// ------------------------------------------------------------ cell data

TCellData TVirtualListView::FetchDisplayData(int row, int column)
{
    TCellData data;
    data.HasCheck = CheckBoxes() && column == 0;
    const TSyncItemRef ref = Collection()->ItemRefForRow(row);
    if (!ref)
        return data;
    auto* item = ref.As<TVirtItem>();
    TReadGuard lock(*FCollection);
    data.Text = ItemText(item, column);
    data.Image = ItemImage(item, column);
    if (column == 0) {
        data.Indent = item->Indent();
        data.StateImage = item->StateImageIndex();
        data.Checked = item->Checked();
    }
    return data;
}

QString TVirtualListView::CellText(int row, int column)
{
    const TSyncItemRef ref = Collection()->ItemRefForRow(row);
    if (!ref)
        return {};
    TReadGuard lock(*FCollection);
    return ItemText(ref.As<TVirtItem>(), column);
}

int TVirtualListView::CellImage(int row, int column)
{
    const TSyncItemRef ref = Collection()->ItemRefForRow(row);
    if (!ref)
        return -1;
    TReadGuard lock(*FCollection);
    return ItemImage(ref.As<TVirtItem>(), column);
}

QString TVirtualListView::ItemText(TVirtItem* item, int column)
{
    return item->Text(column);
}

int TVirtualListView::ItemImage(TVirtItem* item, int column)
{
    return item->Image(column);
}

void TVirtualListView::SetCheckBoxes(bool on)
{
    FShowsCheckBoxes = on;
    TIndexListView::SetCheckBoxes(on);
}

// -------------------------------------------------------------- rows

void TVirtualListView::SetItemCount(int count)
{
    if (count < 0)
        return;
    if (Painting()) {
        // A cell found its row gone; the count is taken after the paint.
        SendItemCount(count);
        return;
    }
    if (count == 0)
        ForgetCurrentItem();
    TIndexListView::SetItemCount(count);
}

void TVirtualListView::DeleteSelected()
{
    TListUpdateGuard update(*this);
    TWaitCursor cursor;
    TVirtItems* items = Collection();
    TWriteGuard lock(*items);
    const auto ranges = SelectedRanges();
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
        const auto [first, last] = *range;
        for (int row = last; row >= first; --row)
            items->DeleteIfInRange(row);
        RemoveRows(first, last);
    }
}

void TVirtualListView::CopySelectionTo(QWidget* other)
{
    auto* target = dynamic_cast<TVirtualListView*>(other);
    if (!target)
        return;
    TVirtItems* from = Collection();
    TVirtItems* to = target->Collection();
    TBatchGuard batch(*to);
    for (const auto& [first, last] : SelectedRanges())
        for (int row = first; row <= last; ++row) {
            const TSyncItemRef ref = from->ItemRefForRow(row);
            if (!ref)
                continue;
            std::unique_ptr<TSyncItem> copy = to->CreateItem();
            {
                TReadGuard lock(*from);
                copy->Assign(*ref.Get());
            }
            to->Add(std::move(copy));
        }
}

// ------------------------------------------------------- current item

void TVirtualListView::MakeRowCurrent(int row)
{
    if (row < 0)
        return;
    TVirtItems* items = Collection();
    TSyncItemRef ref;
    const TVirtItem* previous = nullptr;
    {
        // Under the read lock no item can leave, so the remembered pointer
        // is either still listed or cleared again by ItemRemoved.
        TReadGuard lock(*items);
        ref = items->ItemRefForRow(row);
        if (!ref)
            return;
        previous = FRememberedItem.exchange(ref.As<TVirtItem>());
        FRememberedRow = row;
        FRememberedId = ref->Id();
    }
    if (ref.Get() != previous) {
        MakeVisible(row);
        CurrentItemChanged(ref.As<TVirtItem>());
    }
}

void TVirtualListView::CurrentItemChanged(TVirtItem* item)
{
    TReadGuard lock(*Collection());
    Q_EMIT ItemBecameCurrent(item);
}

void TVirtualListView::RefindCurrentItem()
{
    TVirtItems* items = Collection();
    const int count = items->Count();
    int position = 0;
    if (count > 1) {
        position = -1;
        if (const TVirtItem* item = FRememberedItem.load())
            position = items->IndexOf(item);
        if (position < 0 && FRememberedId)
            position = items->IndexOfId(*FRememberedId);
        if (position < 0)
            position = FRememberedRow;
        position = std::clamp(position, 0, count - 1);
    }
    SetItemIndex(position);
}

void TVirtualListView::SelectItem(const TSyncItem* item)
{
    if (const int row = item ? Collection()->IndexOf(item) : -1; row >= 0)
        SetItemIndex(row);
}

void TVirtualListView::ForgetCurrentItem()
{
    FRememberedItem = nullptr;
    FRememberedRow = -1;
    FRememberedId.reset();
}

void TVirtualListView::ItemRemoved(const TVirtItem* item)
{
    const TVirtItem* expected = item;
    FRememberedItem.compare_exchange_strong(expected, nullptr);
}

void TVirtualListView::SelectPendingName()
{
    if (FPendingName.isEmpty()) {
        RefindCurrentItem();
        return;
    }
    const int row = Collection()->IndexOfName(FPendingName);
    if (row >= 0)
        SetItemIndex(row);
    else
        RefindCurrentItem();
    FPendingName.clear();
}

void TVirtualListView::FocusChanged(int row)
{
    TIndexListView::FocusChanged(row);
    MakeRowCurrent(row);
}

void TVirtualListView::OpenRow(int row)
{
    Q_EMIT RowOpened(row);
}

void TVirtualListView::GoUp()
{
}

void TVirtualListView::ToggleCheck(int row)
{
    const TSyncItemRef ref = Collection()->ItemRefForRow(row);
    if (!ref)
        return;
    auto* item = ref.As<TVirtItem>();
    item->SetChecked(!item->Checked());
    RedrawRow(row);
}

// ------------------------------------------------------ update batching

void TVirtualListView::LockPainting()
{
    // The item's identity must be known before the collection changes.
    MakeRowCurrent(currentIndex().isValid() ? currentIndex().row() : -1);
    TIndexListView::LockPainting();
}

void TVirtualListView::UnlockPainting()
{
    FCountNow = true;
    Collection()->SendCount();
    Collection()->Recount();
    RefindCurrentItem();
    TIndexListView::UnlockPainting();
    ListChanged();
}

// -------------------------------------------- requests from any thread

bool TVirtualListView::OnOwnThread() const
{
    return QThread::currentThread() == thread();
}

void TVirtualListView::SendItemCount(int count)
{
    FRequests.RequestCount(count);
    ScheduleRequests();
}

void TVirtualListView::PostItemCount(int count)
{
    FRequests.RequestCount(count);
    FRequests.PostWakeUp();
}

void TVirtualListView::SendRowUpdate(int row)
{
    if (row < 0)
        return;
    FRequests.RequestRow(row);
    ScheduleRequests();
}

void TVirtualListView::SendClear()
{
    FRequests.RequestClear();
    ScheduleRequests();
}

void TVirtualListView::ScheduleRequests()
{
    if (OnOwnThread() && !Painting())
        TakeRequests();
    else
        FRequests.PostWakeUp();
}

void TVirtualListView::TakeRequests()
{
    TListRequestQueue::TRequests requests = FRequests.Take();
    if (requests.Clear) {
        FDeferredCount.reset();
        SetItemCount(0);
    }
    if (!requests.Count)
        requests.Count = std::exchange(FDeferredCount, std::nullopt);
    if (requests.Count)
        ApplyCount(*requests.Count);
    if (requests.FirstRow >= 0) {
        const int top = std::max(requests.FirstRow, TopRow());
        const int bottom = std::min(requests.LastRow, TopRow() + RowsPerPage());
        if (top <= bottom)
            viewport()->update(RowRect(top).united(RowRect(bottom)));
    }
}

// A list that grows while its page is full changes only its scroll bar,
// and a loading folder grows it many times a second: a longer count then
// shows at most this often, the last one at the end of the interval. The
// first page fills at once, a shorter count shows at once (its rows are
// gone), and so does the count at the end of an update (a load's end).
constexpr qint64 kGrowthIntervalMs = 100;

void TVirtualListView::ApplyCount(int count)
{
    const bool paced = count > ItemCount() && ItemCount() > RowsPerPage() && !FCountNow;
    if (paced && FCountShown.isValid() && FCountShown.elapsed() < kGrowthIntervalMs) {
        FDeferredCount = count;
        if (!FCountTimer.isActive())
            FCountTimer.start(static_cast<int>(kGrowthIntervalMs - FCountShown.elapsed()));
        return;
    }
    FDeferredCount.reset();
    FCountTimer.stop();
    FCountNow = false;
    if (count > ItemCount())
        FCountShown.start();
    SetItemCount(count);
}

void TVirtualListView::BeginUpdateFromAnyThread()
{
    if (OnOwnThread())
        BeginUpdate();
    else
        Post(this, pmListBeginUpdate);
}

void TVirtualListView::EndUpdateFromAnyThread()
{
    if (OnOwnThread())
        EndUpdate();
    else
        Post(this, pmListEndUpdate);
}

void TVirtualListView::ListChanged()
{
    if (!OnOwnThread()) {
        Post(this, pmListChanged);
        return;
    }
    if (UpdateCount() > 0)
        return;
    RedrawVisibleRows();
    Q_EMIT ListUpdated();
}

void TVirtualListView::PostToControl(int message)
{
    Post(this, message);
}

void TVirtualListView::PostToWindow(int message)
{
    // The window is looked up on the main thread, where the widget tree lives.
    PostAcrossThreads(this, new TWindowMessageEvent(message));
}

void TVirtualListView::Post(QObject* receiver, int message)
{
    PostAcrossThreads(receiver, new QEvent(EventType(message)));
}

void TVirtualListView::customEvent(QEvent* event)
{
    AnnotateTakeOver(event);
    const int type = event->type();
    if (TListRequestQueue::IsWakeUp(event))
        TakeRequests();
    else if (type == kForwardToWindow)
        Post(window(), static_cast<TWindowMessageEvent*>(event)->Message);
    else if (type == pmListBeginUpdate)
        BeginUpdate();
    else if (type == pmListEndUpdate)
        EndUpdate();
    else if (type == pmListTakeFocused)
        MakeRowCurrent(currentIndex().isValid() ? currentIndex().row() : -1);
    else if (type == pmListSelectPending)
        SelectPendingName();
    else if (type == pmListChanged)
        ListChanged();
    else
        TIndexListView::customEvent(event);
}

std::vector<int> TVirtualListView::SelectedRows() const
{
    std::vector<int> rows;
    for (const auto& [first, last] : SelectedRanges()) {
        for (int row = first; row <= last; ++row)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TVirtualListView::FocusControl()
{
    QWidget* form = window();
    if (isEnabled() && focusPolicy() != Qt::NoFocus && form->isVisible() && form->isEnabled())
        setFocus();
}
