#pragma once

#include "base/VirtItems.h"

class TVirtualListView;

// The face that a collection sees of the list control showing it. It is an
// object of its own, not the view itself, so that a worker thread that
// reaches the control never makes a virtual call on a view that is being
// destroyed (a destructor rewrites the object's virtual table pointer
// before its body runs): the view detaches its collection, under the
// collection's write lock, before this link goes, and the link calls only
// members of the view that are not virtual.
class TListControlLink : public IVirtualListControl
{
public:
    explicit TListControlLink(TVirtualListView& view) : FView(view) {}

    void SendItemCount(int count) override;
    void PostItemCount(int count) override;
    void SendRowUpdate(int row) override;
    void SendClear() override;
    void BeginUpdateFromAnyThread() override;
    void EndUpdateFromAnyThread() override;
    void ListChanged() override;
    void PostToControl(int message) override;
    void PostToWindow(int message) override;
    void ItemRemoved(const TVirtItem* item) override;
    [[nodiscard]] bool ShowsCheckBoxes() const override;
    [[nodiscard]] std::vector<int> SelectedRows() const override;
    void FocusControl() override;

private:
    TVirtualListView& FView;
};
