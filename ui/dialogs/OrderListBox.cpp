#include "ui/dialogs/OrderListBox.h"

// ------------------------------------------------------------ TOrderListBox

TOrderListBox::TOrderListBox(QWidget* parent)
    : TVarListBox(parent)
{
}

void TOrderListBox::SetDataObject(IOrderInterface* data)
{
    FData = data;
    Refill();
}

void TOrderListBox::Refill()
{
    const int selected = currentRow();
    setUpdatesEnabled(false);
    clear();
    const int count = Count();
    for (int i = 0; i < count; ++i)
        addItem(Text(i));
    if (count > 0)
        setCurrentRow(std::clamp(selected, 0, count - 1));
    setUpdatesEnabled(true);
}

bool TOrderListBox::CanDo(int kind) const
{
    return FData && FData->Supports(kind);
}

bool TOrderListBox::CanAdd() const
{
    return FData && FData->CanAdd();
}

void TOrderListBox::Add()
{
    if (!CanDo(okAdd) || !CanAdd())
        return;
    FData->Add();
    Refill();
}

bool TOrderListBox::CanDelete(int index) const
{
    return FData && FData->CanDelete(index);
}

void TOrderListBox::Delete(int index)
{
    if (!CanDo(okDelete) || !CanDelete(index))
        return;
    FData->Delete(index);
    Refill();
}

void TOrderListBox::Move(int from, int to)
{
    if (!CanDo(okMoveUp) && !CanDo(okMoveDown))
        return;
    if (from < 0 || to < 0 || from >= count() || to >= count())
        return;
    FData->Move(from, to);
    MoveRow(from, to);
}

void TOrderListBox::MoveRow(int from, int to)
{
    insertItem(to, takeItem(from));
    setCurrentRow(to);
}

int TOrderListBox::Count() const
{
    return FData ? FData->Count() : 0;
}

QString TOrderListBox::Text(int index) const
{
    return FData ? FData->Text(index) : QString();
}

void TOrderListBox::RunAndRefill(TOrderKind kind, int index)
{
    if (!CanDo(kind))
        return;
    switch (kind) {
    case okLoad:
        FData->Load(index);
        break;
    case okSave:
        FData->Save(index);
        break;
    case okProperty:
        FData->Properties(index);
        break;
    case okMakeDefault:
        FData->SetDefault(index);
        break;
    default:
        return;
    }
    Refill();
}

// ---------------------------------------------------------- TListBoxForList

TListBoxForList::TListBoxForList(QWidget* parent)
    : TOrderListBox(parent)
{
}

void TListBoxForList::SetListOperations(std::function<int()> count, std::function<void(int from, int to)> move)
{
    FListCount = std::move(count);
    FListMove = std::move(move);
    Refill();
}

bool TListBoxForList::CanDo(int kind) const
{
    return kind == okDelete || kind == okMoveDown || kind == okMoveUp;
}

bool TListBoxForList::CanDelete(int) const
{
    return Count() > 0;
}

void TListBoxForList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    if (OnDelete)
        OnDelete(index);
    Refill();
}

void TListBoxForList::Move(int from, int to)
{
    if (!FListMove || from < 0 || to < 0 || from >= Count() || to >= Count())
        return;
    FListMove(from, to);
    MoveRow(from, to);
}

int TListBoxForList::Count() const
{
    return FListCount ? FListCount() : 0;
}

QString TListBoxForList::Text(int index) const
{
    return OnText ? OnText(index) : QString();
}
