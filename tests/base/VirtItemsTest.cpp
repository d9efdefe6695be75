#include "base/ThreadManager.h"
#include "base/VirtItems.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace {

// Records what the collection tells its control.
class TFakeControl : public IVirtualListControl
{
public:
    void SendItemCount(int count) override { Calls.push_back("count " + std::to_string(count)); }
    void PostItemCount(int count) override { Calls.push_back("posted count " + std::to_string(count)); }
    void SendRowUpdate(int row) override { Calls.push_back("row " + std::to_string(row)); }
    void SendClear() override { Calls.push_back("clear"); }
    void BeginUpdateFromAnyThread() override { Calls.push_back("begin"); }
    void EndUpdateFromAnyThread() override { Calls.push_back("end"); }
    void ListChanged() override { Calls.push_back("changed"); }
    void PostToControl(int message) override { Calls.push_back("post " + std::to_string(message)); }
    void PostToWindow(int message) override { Calls.push_back("window " + std::to_string(message)); }
    void ItemRemoved(const TVirtItem* item) override { Removed.push_back(item); }
    bool ShowsCheckBoxes() const override { return CheckBoxes; }

    std::vector<std::string> Calls;
    std::vector<const TVirtItem*> Removed;
    bool CheckBoxes = false;
};

class VirtItemsTest : public ::testing::Test
{
protected:
    void SetUp() override { FItems.SetControl(&FControl); }

    TVirtItem* AddItem(const char* caption)
    {
        auto item = FItems.CreateItem();
        static_cast<TVirtItem*>(item.get())->SetCaption(QString::fromLatin1(caption));
        return FItems.ItemForRow(FItems.Add(std::move(item)));
    }

    TFakeControl FControl;
    TVirtItems FItems;
};

TEST_F(VirtItemsTest, TheEndOfTheOutermostBatchSendsTheCountAndTheChange)
{
    FItems.BeginBatch();
    AddItem("a");
    FItems.BeginBatch();
    AddItem("b");
    FItems.EndBatch();
    EXPECT_TRUE(FControl.Calls.empty());
    FItems.EndBatch();
    EXPECT_EQ(FControl.Calls, (std::vector<std::string>{"count 2", "changed"}));
}

TEST_F(VirtItemsTest, ARowOutOfRangeGivesNothingAndPostsTheCount)
{
    AddItem("a");
    EXPECT_TRUE(FItems.ItemRefForRow(0));
    EXPECT_TRUE(FControl.Calls.empty());
    EXPECT_FALSE(FItems.ItemRefForRow(5));
    EXPECT_FALSE(FItems.ItemRefForRow(-1));
    EXPECT_EQ(FControl.Calls, (std::vector<std::string>{"posted count 1", "posted count 1"}));
    EXPECT_EQ(FItems.ItemForRow(7), nullptr);
}

TEST_F(VirtItemsTest, RemovedItemsAreReportedAndClearTellsTheControlFirst)
{
    TVirtItem* a = AddItem("a");
    TVirtItem* b = AddItem("b");
    FItems.Delete(0);
    EXPECT_EQ(FControl.Removed, std::vector<const TVirtItem*>{a});
    FItems.Clear();
    EXPECT_EQ(FControl.Removed, (std::vector<const TVirtItem*>{a, b}));
    EXPECT_EQ(FControl.Calls, std::vector<std::string>{"clear"});
}

TEST_F(VirtItemsTest, RedrawAsksForTheItemsOwnRow)
{
    AddItem("a");
    TVirtItem* b = AddItem("b");
    b->Redraw();
    EXPECT_EQ(FControl.Calls, std::vector<std::string>{"row 1"});
}

TEST_F(VirtItemsTest, CheckMarksCountOnlyWithCheckBoxes)
{
    AddItem("a");
    AddItem("b");
    AddItem("c");
    FItems.SetCheckedRange(1, 5, true);
    EXPECT_TRUE(FItems.Modified());
    EXPECT_EQ(FItems.CheckedCount(), 0);
    FControl.CheckBoxes = true;
    EXPECT_EQ(FItems.CheckedCount(), 2);
}

TEST_F(VirtItemsTest, CopyingTakesEverythingButTheImage)
{
    TVirtItem* a = AddItem("caption");
    a->SetImageIndex(3);
    a->SetIndent(2);
    a->SetStateImageIndex(4);
    a->SetChecked(true);
    TVirtItem copy(&FItems);
    copy.Assign(*a);
    EXPECT_EQ(copy.Id(), a->Id());
    EXPECT_EQ(copy.Caption(), QStringLiteral("caption"));
    EXPECT_EQ(copy.Indent(), 2);
    EXPECT_EQ(copy.StateImageIndex(), 4);
    EXPECT_TRUE(copy.Checked());
    EXPECT_EQ(copy.ImageIndex(), -1);
    EXPECT_EQ(copy.Text(0), QStringLiteral("caption"));
    EXPECT_EQ(copy.Text(1), QString());
}

} // namespace

namespace {

// A control that, when a worker reaches it, lets the main thread detach it
// and notes whether the detaching finished while the worker was still inside.
class TDetachingControl : public TFakeControl
{
public:
    void ListChanged() override { Reached(); }
    bool ShowsCheckBoxes() const override
    {
        Reached();
        return true;
    }

    // Main thread: waits for a worker inside the control, then detaches it from `items`.
    void DetachWhenReached(TVirtItems& items)
    {
        {
            std::unique_lock lock(FMutex);
            FChanged.wait_for(lock, std::chrono::seconds(5), [this] { return FInside; });
        }
        items.SetControl(nullptr);
        std::lock_guard lock(FMutex);
        FDetached = true;
        FChanged.notify_all();
    }

    bool UsedAfterDetach = false;

private:
    void Reached() const
    {
        std::unique_lock lock(FMutex);
        if (FInside)
            return;
        FInside = true;
        FChanged.notify_all();
        // Bounded: a detach that waits for the worker cannot finish before this ends.
        FChanged.wait_for(lock, std::chrono::milliseconds(300), [this] { return FDetached; });
        const_cast<TDetachingControl*>(this)->UsedAfterDetach = FDetached;
    }

    mutable std::mutex FMutex;
    mutable std::condition_variable FChanged;
    mutable bool FInside = false;
    bool FDetached = false;
};

struct TWorkerCallCase
{
    const char* Name;
    std::function<void(TVirtItems& items)> Call;
};

using ::PrintTo;

class WorkerCallsTheControl : public ::testing::TestWithParam<TWorkerCallCase>
{
};

// The control detaches under the collection's write lock (when its view is
// destroyed or shown another collection): a worker that is inside the
// control holds that lock off until it is out again.
TEST_P(WorkerCallsTheControl, NeverWhileItDetaches)
{
    (void)TThreadManager::Instance();   // made on the main thread, which it then knows
    TDetachingControl control;
    TVirtItems items;
    items.SetControl(&control);
    std::thread worker([&] { GetParam().Call(items); });
    control.DetachWhenReached(items);
    worker.join();
    EXPECT_FALSE(control.UsedAfterDetach);
}

INSTANTIATE_TEST_SUITE_P(Cases, WorkerCallsTheControl,
                         ::testing::Values(TWorkerCallCase{"EndingABatch",
                                                           [](TVirtItems& items) {
                                                               items.BeginBatch();
                                                               items.EndBatch();
                                                           }},
                                           TWorkerCallCase{"CountingCheckMarks",
                                                           [](TVirtItems& items) { (void)items.CheckedCount(); }}),
                         TCaseName());

} // namespace
