#include "ui/list/ListControlLink.h"

#include "ui/list/VirtualListView.h"

void TListControlLink::SendItemCount(int count)
{
    FView.SendItemCount(count);
}

void TListControlLink::PostItemCount(int count)
{
    FView.PostItemCount(count);
}

void TListControlLink::SendRowUpdate(int row)
{
    FView.SendRowUpdate(row);
}

void TListControlLink::SendClear()
{
    FView.SendClear();
}

void TListControlLink::BeginUpdateFromAnyThread()
{
    FView.BeginUpdateFromAnyThread();
}

void TListControlLink::EndUpdateFromAnyThread()
{
    FView.EndUpdateFromAnyThread();
}

void TListControlLink::ListChanged()
{
    FView.ListChanged();
}

void TListControlLink::PostToControl(int message)
{
    FView.PostToControl(message);
}

void TListControlLink::PostToWindow(int message)
{
    FView.PostToWindow(message);
}

void TListControlLink::ItemRemoved(const TVirtItem* item)
{
    FView.ItemRemoved(item);
}

bool TListControlLink::ShowsCheckBoxes() const
{
    return FView.ShowsCheckBoxes();
}

std::vector<int> TListControlLink::SelectedRows() const
{
    return FView.SelectedRows();
}

void TListControlLink::FocusControl()
{
    FView.FocusControl();
}
