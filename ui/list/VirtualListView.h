#pragma once

#include "base/VirtItems.h"
#include "ui/list/IndexListView.h"
#include "ui/list/ListControlLink.h"
#include "ui/list/ListRequests.h"

#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>

// A virtual list bound to a thread-safe item collection. The collection may
// be filled, sorted and changed from any thread; the control only reads it,
// one counted item reference per painted cell, under the collection's read
// lock. Other threads reach the control only through requests that never
// wait (row count, row redraw) and the posted notifications 0x49F, 0x4A0
// and 0x4A3. The row the user is on is remembered by identity and id, so
// it is found again after reloads and re-sorts.
class TVirtualListView : public TIndexListView
{
    Q_OBJECT
public:
    explicit TVirtualListView(QWidget* parent = nullptr);
    ~TVirtualListView() override;

    // The collection shown; created on first use by CreateCollection.
    [[nodiscard]] TVirtItems* Collection();
    // Drops every row, frees the previous collection and shows this one.
    void SetCollection(std::unique_ptr<TVirtItems> collection);

    // The item at the item index, with a counted reference; empty when none.
    [[nodiscard]] TSyncItemRef CurrentItem();
    // Makes the item's row the current one; nothing when it is no longer listed.
    void SelectItem(const TSyncItem* item);
    // What the control remembers of the item last made current.
    [[nodiscard]] const TVirtItem* RememberedItem() const { return FRememberedItem.load(); }
    [[nodiscard]] int RememberedRow() const { return FRememberedRow; }
    [[nodiscard]] std::optional<qintptr> RememberedId() const { return FRememberedId; }

    // A name to select after the next reload (see 0x4A2).
    void SetPendingName(const QString& name) { FPendingName = name; }
    [[nodiscard]] const QString& PendingName() const { return FPendingName; }

    // Removes every selected row from the collection and from the control.
    virtual void DeleteSelected();
    // Appends copies of the selected items to the other list's collection;
    // nothing when the other control is not a virtual list.
    void CopySelectionTo(QWidget* other);

    void SetItemCount(int count) override;
    TCellData FetchDisplayData(int row, int column) override;
    QString CellText(int row, int column) override;
    int CellImage(int row, int column) override;
    void SetCheckBoxes(bool on) override;

    // ---- What the collection asks of its control (IVirtualListControl,
    // through TListControlLink): callable from any thread, never waits.
    void SendItemCount(int count);
    void PostItemCount(int count);
    void SendRowUpdate(int row);
    void SendClear();
    void BeginUpdateFromAnyThread();
    void EndUpdateFromAnyThread();
    void ListChanged();
    void PostToControl(int message);
    void PostToWindow(int message);
    void ItemRemoved(const TVirtItem* item);
    [[nodiscard]] bool ShowsCheckBoxes() const { return FShowsCheckBoxes.load(); }
    // Main thread only.
    [[nodiscard]] virtual std::vector<int> SelectedRows() const;
    void FocusControl();

Q_SIGNALS:
    // Enter or a double click on a row.
    void RowOpened(int row);
    // Another item became the current one; emitted under the collection's read lock.
    void ItemBecameCurrent(TVirtItem* item);
    // The list changed and its visible rows were redrawn (main thread).
    void ListUpdated();

protected:
    // Emits RowOpened.
    void OpenRow(int row) override;
    void GoUp() override;
    // The item's own text and image for the column.
    virtual QString ItemText(TVirtItem* item, int column);
    virtual int ItemImage(TVirtItem* item, int column);
    // Emits ItemBecameCurrent under the collection's read lock.
    virtual void CurrentItemChanged(TVirtItem* item);
    // Remembers the row's item, its row and its id; a new item is scrolled
    // into view and announced.
    virtual void MakeRowCurrent(int row);
    virtual std::unique_ptr<TVirtItems> CreateCollection();

    // Selects the remembered item again: the same object, else the first
    // item with its id, else its row, clamped to the rows there are.
    void RefindCurrentItem();

    void FocusChanged(int row) override;
    void ToggleCheck(int row) override;
    void LockPainting() override;
    void UnlockPainting() override;
    void customEvent(QEvent* event) override;

private:
    [[nodiscard]] bool OnOwnThread() const;
    // Takes the merged requests when the control may act on them now, else
    // has them taken from its event loop.
    void ScheduleRequests();
    void TakeRequests();
    // Shows the row count; see kGrowthIntervalMs.
    void ApplyCount(int count);
    void SelectPendingName();
    void ForgetCurrentItem();
    void Post(QObject* receiver, int message);

    std::unique_ptr<TVirtItems> FCollection;
    std::atomic<const TVirtItem*> FRememberedItem{nullptr};
    int FRememberedRow = -1;
    std::optional<qintptr> FRememberedId;
    QString FPendingName;
    std::atomic<bool> FShowsCheckBoxes{false};
    TListRequestQueue FRequests{this};
    std::optional<int> FDeferredCount;   // a longer count waiting for its turn
    QElapsedTimer FCountShown;           // since a longer count was last shown
    QTimer FCountTimer;
    bool FCountNow = false;              // the next count shows at once
    TListControlLink FLink{*this};
};
