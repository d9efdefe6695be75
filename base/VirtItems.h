#pragma once

#include "base/SyncItems.h"

#include <QString>

#include <vector>

class TVirtItem;

// What a collection needs of the list control that shows it. The control's
// side (in the ui module) implements it; every call may come from any
// thread and none of them waits for the main thread.
class IVirtualListControl
{
public:
    virtual ~IVirtualListControl() = default;

    // Tells the control how many rows exist, without invalidating every row.
    virtual void SendItemCount(int count) = 0;
    // The same, taken later from the control's event loop: for readers of
    // cells, under whom the rows must not change. A control whose rows are
    // never read while they change may take the count at once.
    virtual void PostItemCount(int count) { SendItemCount(count); }
    // Asks the control to redraw one row.
    virtual void SendRowUpdate(int row) = 0;
    // Tells the control to drop all rows.
    virtual void SendClear() = 0;
    // Begin / end of a display update: called directly on the main thread,
    // posted (0x49F / 0x4A0) from any other.
    virtual void BeginUpdateFromAnyThread() = 0;
    virtual void EndUpdateFromAnyThread() = 0;
    // The list changed: handled at once on the main thread, posted (0x4A3) otherwise.
    virtual void ListChanged() = 0;
    // Posts a private message to the control (0x4A1-0x4A4).
    virtual void PostToControl(int message) = 0;
    // Posts a private message to the window that holds the control.
    virtual void PostToWindow(int message) = 0;
    // The item left the collection: forget it when it is the current item.
    virtual void ItemRemoved(const TVirtItem* item) = 0;
    [[nodiscard]] virtual bool ShowsCheckBoxes() const = 0;
    // The selected rows, in ascending order (main thread only).
    [[nodiscard]] virtual std::vector<int> SelectedRows() const { return {}; }
    // Takes the keyboard focus when the control and its window can have it (main thread only).
    virtual void FocusControl() {}
};

// One row's item of a virtual list.
class TVirtItem : public TSyncItem
{
public:
    explicit TVirtItem(TSyncItems* owner);

    // Copies the id, and from an item of this class the caption, indent,
    // state image and check mark (not the image).
    void Assign(const TSyncItem& source) override;

    // Text of the first column unless a descendant supplies its own texts.
    [[nodiscard]] virtual QString Caption() const { return FCaption; }
    void SetCaption(const QString& caption) { FCaption = caption; }
    // Text and image of a column; the caption and image index for column 0.
    [[nodiscard]] virtual QString Text(int column) const;
    [[nodiscard]] virtual int Image(int column) const;

    [[nodiscard]] int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index) { FImageIndex = index; }
    [[nodiscard]] int Indent() const { return FIndent; }
    void SetIndent(int indent) { FIndent = indent; }
    [[nodiscard]] int StateImageIndex() const { return FStateImageIndex; }
    void SetStateImageIndex(int index) { FStateImageIndex = index; }
    [[nodiscard]] bool Checked() const { return FChecked; }
    // Under the collection's write lock; marks the collection modified.
    void SetChecked(bool checked);

    // Asks the control to redraw this item's row; any thread.
    void Redraw();

private:
    QString FCaption;
    int FImageIndex = -1;
    int FIndent = 0;
    int FStateImageIndex = -1;
    bool FChecked = false;
};

// The collection behind a virtual list control.
class TVirtItems : public TSyncItems
{
    Q_OBJECT
public:
    explicit TVirtItems(QObject* owner = nullptr);
    ~TVirtItems() override;

    [[nodiscard]] IVirtualListControl* Control() const { return FControl.load(); }
    // Set by the control when it takes the collection, cleared when it goes;
    // under the write lock, so that a worker thread that reaches the control
    // under the read lock never finds it half gone.
    void SetControl(IVirtualListControl* control);

    [[nodiscard]] std::unique_ptr<TSyncItem> CreateItem() override;

    // The item of a row, under the read lock; none when out of range.
    [[nodiscard]] TVirtItem* ItemForRow(int row) const;
    // The item of a row with a counted reference. An out-of-range row makes
    // the collection post its count, so the control catches up once the
    // caller, who is reading cells, is done.
    [[nodiscard]] TSyncItemRef ItemRefForRow(int row);

    // Tells the control the count, without waiting.
    void SendCount();
    // Tells the control to drop all rows, then clears the collection.
    void Clear() override;
    void BeginDisplayUpdate();
    void EndDisplayUpdate();

    void SetCheckedRange(int first, int last, bool checked);
    [[nodiscard]] int CheckedCount() const;
    // Row of the item with the given name; -1 here, descendants know names.
    [[nodiscard]] virtual int IndexOfName(const QString& name) const;
    // Descendants keep per-flag counts of their items and count them anew here.
    virtual void Recount() {}

protected:
    void Notify(TSyncItem* item, TNotification action) override;
    // When the outermost batch ends: recount, send the count, and tell the
    // control the list changed, before the change handler runs.
    void BatchStateChanged(TBatchState state) override;

private:
    // Calls `use` with the control, if there is one. The control lives on the
    // main thread; other threads hold the read lock meanwhile.
    template <class TUse>
    void WithControl(TUse&& use) const;

    std::atomic<IVirtualListControl*> FControl{nullptr};
};
