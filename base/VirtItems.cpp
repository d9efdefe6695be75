#include "base/VirtItems.h"

#include "base/ThreadManager.h"

TVirtItem::TVirtItem(TSyncItems* owner)
    : TSyncItem(owner)
{
}

void TVirtItem::Assign(const TSyncItem& source)
{
    TSyncItem::Assign(source);
    if (const auto* other = dynamic_cast<const TVirtItem*>(&source)) {
        FIndent = other->FIndent;
        FStateImageIndex = other->FStateImageIndex;
        FChecked = other->FChecked;
        FCaption = other->FCaption;
    }
}

QString TVirtItem::Text(int column) const
{
    return column == 0 ? Caption() : QString();
}

int TVirtItem::Image(int column) const
{
    return column == 0 ? FImageIndex : -1;
}

void TVirtItem::SetChecked(bool checked)
{
    TSyncItems* owner = Owner();
    owner->WriteLock();
    FChecked = checked;
    owner->SetModified(true);
    owner->WriteUnlock();
}

void TVirtItem::Redraw()
{
    auto* owner = static_cast<TVirtItems*>(Owner());
    TReadGuard<TSyncItems> guard(*owner);   // the control detaches under the write lock
    IVirtualListControl* control = owner->Control();
    if (!control)
        return;
    const int row = owner->IndexOf(this);
    if (row >= 0)
        control->SendRowUpdate(row);
}

TVirtItems::TVirtItems(QObject* owner)
    : TSyncItems(owner)
{
}

TVirtItems::~TVirtItems()
{
    // The control is told nothing more; the items go while this class's
    // Notify can still see them.
    FControl = nullptr;
    TSyncItems::Clear();
}

void TVirtItems::SetControl(IVirtualListControl* control)
{
    TWriteGuard<TSyncItems> guard(*this);
    FControl = control;
}

template <class TUse>
void TVirtItems::WithControl(TUse&& use) const
{
    if (TThreadManager::Instance().IsMainThread()) {
        if (IVirtualListControl* control = FControl.load())
            use(control);
        return;
    }
    TReadGuard<const TSyncItems> guard(*this);
    if (IVirtualListControl* control = FControl.load())
        use(control);
}

std::unique_ptr<TSyncItem> TVirtItems::CreateItem()
{
    return std::make_unique<TVirtItem>(this);
}

TVirtItem* TVirtItems::ItemForRow(int row) const
{
    return static_cast<TVirtItem*>(Item(row));
}

TSyncItemRef TVirtItems::ItemRefForRow(int row)
{
    TSyncItemRef ref = ItemRef(row);
    if (!ref && (row < 0 || row >= Count()))
        WithControl([this](IVirtualListControl* control) { control->PostItemCount(Count()); });
    return ref;
}

void TVirtItems::SendCount()
{
    WithControl([this](IVirtualListControl* control) { control->SendItemCount(Count()); });
}

void TVirtItems::Clear()
{
    WithControl([](IVirtualListControl* control) { control->SendClear(); });
    TSyncItems::Clear();
}

void TVirtItems::BeginDisplayUpdate()
{
    WithControl([](IVirtualListControl* control) { control->BeginUpdateFromAnyThread(); });
}

void TVirtItems::EndDisplayUpdate()
{
    WithControl([](IVirtualListControl* control) { control->EndUpdateFromAnyThread(); });
}

void TVirtItems::SetCheckedRange(int first, int last, bool checked)
{
    WriteLock();
    for (int row = std::max(first, 0); row <= last && row < Count(); ++row)
        ItemForRow(row)->SetChecked(checked);
    WriteUnlock();
}

int TVirtItems::CheckedCount() const
{
    bool checkBoxes = false;
    WithControl([&checkBoxes](IVirtualListControl* control) { checkBoxes = control->ShowsCheckBoxes(); });
    if (!checkBoxes)
        return 0;
    int count = 0;
    ForEachItem([&count](const TSyncItem* item) { count += static_cast<const TVirtItem*>(item)->Checked() ? 1 : 0; });
    return count;
}

int TVirtItems::IndexOfName(const QString&) const
{
    return -1;
}

void TVirtItems::Notify(TSyncItem* item, TNotification action)
{
    if (action == TNotification::Removed) {
        if (IVirtualListControl* control = FControl.load())
            control->ItemRemoved(static_cast<const TVirtItem*>(item));
    }
    TSyncItems::Notify(item, action);
}

void TVirtItems::BatchStateChanged(TBatchState state)
{
    if (state == TBatchState::Ended) {
        Recount();
        SendCount();
        WithControl([](IVirtualListControl* control) { control->ListChanged(); });
    }
    TSyncItems::BatchStateChanged(state);
}
