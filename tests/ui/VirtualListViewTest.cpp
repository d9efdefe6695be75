#include "ui/list/VirtualListView.h"

#include "base/PrivateMessages.h"
#include "base/ThreadManager.h"
#include "tests/support/TestEnvironment.h"
#include "tests/ui/UiTestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

// Table cases print as their names.
using ::PrintTo;

class VirtualListViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FList.AddColumn(QStringLiteral("Name"));
        FList.show();
        Settle();
    }

    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&FList, &press);
    }

    // A reload as a loader thread does it: painting locked, the collection changed, unlocked.
    void Reload(const std::function<void(TVirtItems&)>& change)
    {
        FList.BeginUpdate();
        change(*FList.Collection());
        FList.EndUpdate();
    }

    TTestList FList;
    TBeepCounter FBeeps;
};

TEST_F(VirtualListViewTest, RowsComeFromTheCollectionOnDemand)
{
    FList.Fill(5000);
    EXPECT_EQ(FList.ItemCount(), 5000);
    EXPECT_EQ(FList.CellText(4321, 0), QStringLiteral("item 4321"));
    EXPECT_EQ(FList.CellText(4321, 1), QString());
    EXPECT_EQ(FList.model()->data(FList.model()->index(7, 0)).toString(), QStringLiteral("item 7"));
    Settle();
    EXPECT_GT(FList.Paints, 0);
}

struct TCellReaderCase
{
    std::string Name;
    std::function<void(TTestList& list)> Read;
};

class CellReaders : public VirtualListViewTest, public ::testing::WithParamInterface<TCellReaderCase>
{
};

// Another thread removed items without telling the control: whoever reads
// the cells finds the rows beyond the collection empty, and the row count
// catches up afterwards, never while the cells are being read.
TEST_P(CellReaders, NeverChangeTheRowCountWhileTheyRead)
{
    FList.AddColumn(QStringLiteral("Second"));
    FList.Fill(10);
    std::thread([&] {
        FList.Collection()->Delete(9);
        FList.Collection()->Delete(8);
    }).join();
    EXPECT_EQ(FList.CellText(9, 0), QString());
    GetParam().Read(FList);
    EXPECT_EQ(FList.ItemCount(), 10);
    EXPECT_TRUE(WaitUntil([&] { return FList.ItemCount() == 8; }));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CellReaders,
    ::testing::Values(TCellReaderCase{"ModelData",
                                      [](TTestList& list) {
                                          const QModelIndex cell = list.model()->index(9, 0);
                                          EXPECT_EQ(list.model()->data(cell).toString(), QString());
                                          EXPECT_EQ(list.model()->rowCount(), 10);
                                      }},
                      TCellReaderCase{"TypeAheadScan",
                                      [](TTestList& list) { EXPECT_EQ(list.FindRow(QStringLiteral("x"), true, 5), -1); }},
                      TCellReaderCase{"ColumnFitting", [](TTestList& list) { list.FitColumns(); }},
                      TCellReaderCase{"Painting", [](TTestList& list) { list.viewport()->repaint(); }}),
    TCaseName());

TEST_F(VirtualListViewTest, ASingleColumnIsExactlyAsWideAsTheClientArea)
{
    FList.Fill(50, QStringLiteral("a rather long caption that would need more room than there is "));
    for (int width : {320, 500, 180}) {
        FList.resize(width, 200);
        Settle();
        EXPECT_EQ(FList.Columns()[0].Width, FList.viewport()->width()) << width;
        EXPECT_EQ(FList.Header()->sectionSize(0), FList.viewport()->width()) << width;
        EXPECT_EQ(FList.horizontalScrollBar()->maximum(), 0) << width;
    }
}

TEST_F(VirtualListViewTest, ColumnsFitTheVisibleRowsAndFillTheClientArea)
{
    FList.AddColumn(QStringLiteral("Size"), Qt::AlignRight);
    FList.OtherColumnsText = QStringLiteral("12345");
    FList.Fill(100);
    FList.FitColumns();
    const int needed = FList.fontMetrics().horizontalAdvance(QStringLiteral("12345")) + 16;
    EXPECT_EQ(FList.Columns()[1].NeededWidth, needed);
    EXPECT_EQ(FList.Columns()[1].Width, needed + 16);
    EXPECT_EQ(FList.Columns()[0].Width + FList.Columns()[1].Width, FList.viewport()->width());
}

// Dark pixels of the viewport from column x = `from` on.
int InkFrom(TTestList& list, int from)
{
    const QImage image = list.viewport()->grab().toImage();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = from; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return ink;
}

// However narrow its column, a cell's text is cut short inside it and never
// runs into the next column; left and right aligned alike.
TEST(ListCellText, StaysInsideItsColumn)
{
    for (const Qt::Alignment alignment : {Qt::AlignLeft, Qt::AlignRight}) {
        for (const int wanted : {3, 30, 60}) {
            TTestList list;
            list.AddColumn(QStringLiteral("Name"), alignment);
            list.AddColumn(QStringLiteral("Empty"));
            list.SetFittingSuspended(true);
            list.resize(400, 200);
            list.show();
            list.Fill(5, QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW "));
            list.SetColumnWidth(0, wanted);
            list.SetColumnWidth(1, 300);
            Settle();
            // The narrowest a column gets may be wider than asked for.
            const int width = list.Header()->sectionSize(0);
            EXPECT_EQ(InkFrom(list, width), 0) << int(alignment) << " " << width;
            if (width > 40) {
                EXPECT_GT(InkFrom(list, 0), 0) << int(alignment);
            }
        }
    }
}

TEST_F(VirtualListViewTest, SuspendedFittingLeavesTheWidthsAlone)
{
    FList.Fill(10);
    FList.SetFittingSuspended(true);
    FList.resize(500, 200);
    Settle();
    EXPECT_NE(FList.Columns()[0].Width, FList.viewport()->width());
    FList.SetFittingSuspended(false);
    QCoreApplication::postEvent(&FList, new QEvent(EventType(pmListFitColumns)));
    Settle();
    EXPECT_EQ(FList.Columns()[0].Width, FList.viewport()->width());
}

struct TRefindCase
{
    std::string Name;
    std::function<void(TVirtItems&)> Change;
    int ExpectedRow;
};

class CurrentItemFallback : public VirtualListViewTest, public ::testing::WithParamInterface<TRefindCase>
{
};

TEST_P(CurrentItemFallback, ReloadFindsTheRememberedItemAgain)
{
    FList.Fill(10);
    FList.SetItemIndex(5);
    ASSERT_EQ(FList.RememberedId(), 5);
    Reload(GetParam().Change);
    EXPECT_EQ(FList.ItemIndex(), GetParam().ExpectedRow);
    EXPECT_EQ(FList.SelectedCount(), 1);
}

std::unique_ptr<TSyncItem> ItemWithId(TVirtItems& items, qintptr id)
{
    auto item = items.CreateItem();
    item->SetId(id);
    return item;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CurrentItemFallback,
    ::testing::Values(
        TRefindCase{"TheSameItemMoved", [](TVirtItems& items) { items.Move(5, 1); }, 1},
        TRefindCase{"ByIdWhenTheItemWasReplaced",
                    [](TVirtItems& items) {
                        items.Delete(5);
                        items.Insert(2, ItemWithId(items, 5));
                    },
                    2},
        TRefindCase{"ByRowWhenTheIdIsGone", [](TVirtItems& items) { items.Delete(5); }, 5},
        TRefindCase{"ClampedToTheLastRow",
                    [](TVirtItems& items) {
                        while (items.Count() > 3)
                            items.Delete(items.Count() - 1);
                    },
                    2},
        TRefindCase{"FirstRowWhenOneItemIsLeft",
                    [](TVirtItems& items) {
                        while (items.Count() > 1)
                            items.Delete(items.Count() - 1);
                    },
                    0}),
    TCaseName());

TEST_F(VirtualListViewTest, AReloadToAnEmptyListForgetsTheCurrentItem)
{
    FList.Fill(10);
    FList.SetItemIndex(4);
    Reload([](TVirtItems& items) { items.Clear(); });
    EXPECT_EQ(FList.ItemCount(), 0);
    EXPECT_EQ(FList.RememberedItem(), nullptr);
    EXPECT_EQ(FList.RememberedRow(), -1);
    EXPECT_FALSE(FList.RememberedId().has_value());

    // The next reload starts at the top rather than jumping back to row 4.
    FList.BeginUpdate();
    FList.Fill(10);
    FList.EndUpdate();
    EXPECT_EQ(FList.ItemIndex(), 0);
}

TEST_F(VirtualListViewTest, NestedUpdatesFromTwoThreadsRepaintOnceWhenTheLastEnds)
{
    FList.Fill(20);
    Settle();
    FList.Paints = 0;
    int changes = 0;
    QObject::connect(&FList, &TVirtualListView::ListUpdated, [&changes] { ++changes; });

    FList.BeginUpdate();
    std::thread loader([&] {
        TVirtItems* items = FList.Collection();
        items->BeginDisplayUpdate();
        for (int n = 0; n < 200; ++n) {
            items->BeginBatch();
            auto item = items->CreateItem();
            static_cast<TVirtItem*>(item.get())->SetCaption(QStringLiteral("new"));
            items->Add(std::move(item));
            items->EndBatch();
        }
        items->EndDisplayUpdate();
    });
    loader.join();
    Settle();
    EXPECT_EQ(FList.UpdateCount(), 1);
    EXPECT_EQ(FList.Paints, 0);
    EXPECT_EQ(changes, 0);

    FList.EndUpdate();
    Settle();
    EXPECT_EQ(FList.Paints, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(FList.ItemCount(), 220);
}

// A worker's count makes the rows outgrow the page while a repaint is
// pending: the scroll bar takes its room at once and the columns, which
// filled the old width, are fitted to the new one, so the first page is
// painted once, beside the bar, with no horizontal bar coming and going.
TEST_F(VirtualListViewTest, RowsThatOutgrowThePageArePaintedOnceBesideTheScrollBar)
{
    FList.AddColumn(QStringLiteral("Second"));
    FList.Fill(1);
    Settle();
    const int fullWidth = FList.viewport()->width();
    FList.Paints = 0;
    FList.viewport()->update();
    std::thread([&] { FList.Fill(499); }).join();
    QCoreApplication::processEvents();
    EXPECT_EQ(FList.ItemCount(), 500);
    EXPECT_TRUE(FList.verticalScrollBar()->isVisible());
    EXPECT_FALSE(FList.horizontalScrollBar()->isVisible());
    EXPECT_LT(FList.viewport()->width(), fullWidth);
    EXPECT_EQ(FList.Header()->length(), FList.viewport()->width());
    Settle();
    EXPECT_EQ(FList.Paints, 1);
}

// A loading folder grows the list many times a second: once the page is
// full, a longer count (only the scroll bar changes) shows at most every
// tenth of a second, the last one at the end of the interval. A shorter
// count shows at once, and so does the count at the end of an update.
TEST_F(VirtualListViewTest, AFullListShowsItsGrowthAtAPace)
{
    FList.Fill(500);
    QElapsedTimer shown;
    shown.start();
    ASSERT_EQ(FList.ItemCount(), 500) << "the first page fills at once";
    FList.Fill(500);
    if (shown.elapsed() < 90) {
        EXPECT_EQ(FList.ItemCount(), 500);
    }
    EXPECT_TRUE(WaitUntil([&] { return FList.ItemCount() == 1000; }));
    FList.Collection()->Delete(0);
    FList.Collection()->SendCount();
    EXPECT_EQ(FList.ItemCount(), 999);
    Reload([](TVirtItems& items) {
        auto item = items.CreateItem();
        items.Add(std::move(item));
    });
    EXPECT_EQ(FList.ItemCount(), 1000);
}

TEST_F(VirtualListViewTest, CountsAndRowRequestsFromAWorkerNeverWait)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        TVirtItems* items = FList.Collection();
        for (int n = 0; n < 3000; ++n) {
            auto item = items->CreateItem();
            static_cast<TVirtItem*>(item.get())->SetCaption(QStringLiteral("row %1").arg(n));
            items->Add(std::move(item));
            if (n % 100 == 0) {
                items->SendCount();
                items->ItemForRow(0)->Redraw();
            }
            if (n % 700 == 0 && n > 0)
                items->Delete(n / 2);
        }
        items->SendCount();
        done = true;
    });
    // The main thread keeps painting while the worker changes the collection.
    while (!done) {
        FList.viewport()->repaint();
        QCoreApplication::processEvents();
    }
    worker.join();
    EXPECT_TRUE(WaitUntil([&] { return FList.ItemCount() == FList.Collection()->Count(); }));
    EXPECT_EQ(FList.ItemCount(), 3000 - 4);
}

// A collection filled by a worker of its own, which it stops when it goes,
// as the store's collection does with its parser thread.
class TWorkerItems : public TVirtItems
{
public:
    TWorkerItems()
        : FWorker([this] {
            while (!FStop) {
                BeginBatch();
                auto item = CreateItem();
                Add(std::move(item));
                EndBatch();
                (void)CheckedCount();
            }
        })
    {
    }
    ~TWorkerItems() override
    {
        FStop = true;
        FWorker.join();
    }

private:
    std::atomic<bool> FStop{false};
    std::thread FWorker;
};

class TWorkerList : public TVirtualListView
{
protected:
    std::unique_ptr<TVirtItems> CreateCollection() override { return std::make_unique<TWorkerItems>(); }
};

TEST(VirtualListViewLifetime, AViewDestroyedOrGivenAnotherCollectionWhileAWorkerEndsBatches)
{
    (void)TThreadManager::Instance();   // made on the main thread, which it then knows
    for (int round = 0; round < 20; ++round) {
        auto list = std::make_unique<TWorkerList>();
        list->SetCheckBoxes(true);
        (void)list->Collection();
        QCoreApplication::processEvents();
        if (round % 2 == 1)
            list->SetCollection(std::make_unique<TVirtItems>());
        list.reset();
        QCoreApplication::processEvents();
    }
}

struct TKeyCase
{
    std::string Name;
    int Row;
    int Key;
    Qt::KeyboardModifiers Modifiers;
    int ExpectedBeeps;
};

class ListKeys : public VirtualListViewTest, public ::testing::WithParamInterface<TKeyCase>
{
};

TEST_P(ListKeys, BeepAtTheEnds)
{
    const TKeyCase& c = GetParam();
    FList.Fill(30);
    FList.SetItemIndex(c.Row);
    Press(c.Key, c.Modifiers);
    EXPECT_EQ(FBeeps.Count, c.ExpectedBeeps);
}

INSTANTIATE_TEST_SUITE_P(Cases, ListKeys,
                         ::testing::Values(TKeyCase{"UpOnTheFirstRow", 0, Qt::Key_Up, Qt::NoModifier, 1},
                                           TKeyCase{"ShiftHomeOnTheFirstRow", 0, Qt::Key_Home, Qt::ShiftModifier, 1},
                                           TKeyCase{"PageUpWithoutARow", -1, Qt::Key_PageUp, Qt::NoModifier, 1},
                                           TKeyCase{"UpOnTheSecondRow", 1, Qt::Key_Up, Qt::NoModifier, 0},
                                           TKeyCase{"DownOnTheLastRow", 29, Qt::Key_Down, Qt::NoModifier, 1},
                                           TKeyCase{"EndOnTheLastRow", 29, Qt::Key_End, Qt::NoModifier, 1},
                                           TKeyCase{"DownInTheMiddle", 10, Qt::Key_Down, Qt::NoModifier, 0},
                                           TKeyCase{"CtrlUpOnTheFirstRow", 0, Qt::Key_Up, Qt::ControlModifier, 0}),
                         TCaseName());

TEST_F(VirtualListViewTest, SpaceTogglesTheCheckMarkButBeepsOnTheParentRow)
{
    FList.SetCheckBoxes(true);
    FList.Fill(3);
    FList.Item(1)->SetCaption(QStringLiteral(".."));
    FList.SetItemIndex(0);
    Press(Qt::Key_Space);
    EXPECT_TRUE(FList.Item(0)->Checked());
    EXPECT_EQ(FList.Collection()->CheckedCount(), 1);
    FList.SetItemIndex(1);
    Press(Qt::Key_Space);
    EXPECT_FALSE(FList.Item(1)->Checked());
    EXPECT_EQ(FBeeps.Count, 1);
}

TEST_F(VirtualListViewTest, SpaceInAListWithoutCheckBoxesChangesNoItem)
{
    FList.Fill(3);
    FList.Collection()->SetModified(false);
    FList.SetItemIndex(1);
    Press(Qt::Key_Space);
    EXPECT_FALSE(FList.Item(1)->Checked());
    EXPECT_FALSE(FList.Collection()->Modified());
    EXPECT_EQ(FBeeps.Count, 0);
}

TEST_F(VirtualListViewTest, EnterOpensTheRowAndDownMovesTheCurrentItem)
{
    FList.Fill(10);
    std::vector<int> opened;
    std::vector<QString> current;
    QObject::connect(&FList, &TVirtualListView::RowOpened, [&opened](int row) { opened.push_back(row); });
    QObject::connect(&FList, &TVirtualListView::ItemBecameCurrent,
                     [&current](TVirtItem* item) { current.push_back(item->Caption()); });
    FList.SetItemIndex(2);
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    EXPECT_EQ(opened, std::vector<int>{3});
    EXPECT_EQ(current, (std::vector<QString>{QStringLiteral("item 2"), QStringLiteral("item 3")}));
    EXPECT_EQ(FList.CurrentItem()->Id(), 3);
}

TEST_F(VirtualListViewTest, OwnersLearnWhatHappenedFromSignals)
{
    FList.AddColumn(QStringLiteral("Second"));
    FList.SetMultiSelect(true);
    FList.Fill(10);
    QStringList seen;
    const auto note = [&seen](const QString& text) { seen.append(text); };
    QObject::connect(&FList, &TIndexListView::ColumnClicked, [&](int c) { note(QStringLiteral("column %1").arg(c)); });
    QObject::connect(&FList, &TIndexListView::RowDeleted, [&](int row) { note(QStringLiteral("deleted %1").arg(row)); });
    QObject::connect(&FList, &TIndexListView::FocusedRowChanged, [&](int row) { note(QStringLiteral("focus %1").arg(row)); });
    QObject::connect(&FList, &TIndexListView::RowSelectionChanged,
                     [&](int row, bool on) { note(QStringLiteral("row %1 %2").arg(row).arg(on)); });
    QObject::connect(&FList, &TIndexListView::RowRangeSelectionChanged,
                     [&](int first, int last, bool on) { note(QStringLiteral("rows %1-%2 %3").arg(first).arg(last).arg(on)); });
    Q_EMIT FList.Header()->sectionClicked(1);
    FList.SetItemIndex(2);
    FList.selectionModel()->select(QItemSelection(FList.model()->index(4, 0), FList.model()->index(6, 1)),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    FList.DeleteRow(9);
    EXPECT_EQ(seen.join(QStringLiteral(", ")),
              QStringLiteral("column 1, row 2 1, focus 2, rows 4-6 1, deleted 9"));
}

TEST_F(VirtualListViewTest, TypeAheadFindsTheNextRowStartingWithTheTextAndWraps)
{
    FList.Fill(3, QStringLiteral("Apple "));
    FList.Fill(3, QStringLiteral("\u00c9clair "));
    FList.SetItemIndex(4);
    // Letter case is ignored over the whole of Unicode.
    FList.keyboardSearch(QStringLiteral("\u00e9"));
    EXPECT_EQ(FList.ItemIndex(), 5);
    EXPECT_EQ(FList.FindRow(QStringLiteral("apple"), true, 4), 0);
    EXPECT_EQ(FList.FindRow(QStringLiteral("apple"), false, 4), -1);
    EXPECT_EQ(FList.FindRow(QStringLiteral("zebra"), true, 0), -1);
}

TEST_F(VirtualListViewTest, SelectThePendingNameAfterAReload)
{
    FList.Fill(10);
    FList.SetItemIndex(1);
    FList.SetPendingName(QStringLiteral("item 7"));
    QCoreApplication::postEvent(&FList, new QEvent(EventType(pmListSelectPending)));
    Settle();
    EXPECT_EQ(FList.ItemIndex(), 7);
    EXPECT_TRUE(FList.PendingName().isEmpty());

    // An unknown name falls back to the current item.
    FList.SetPendingName(QStringLiteral("missing"));
    QCoreApplication::postEvent(&FList, new QEvent(EventType(pmListSelectPending)));
    Settle();
    EXPECT_EQ(FList.ItemIndex(), 7);
}

TEST_F(VirtualListViewTest, DeleteSelectedRemovesTheRowsFromCollectionAndControl)
{
    FList.SetMultiSelect(true);
    FList.Fill(10);
    FList.SetItemIndex(2);
    FList.selectionModel()->select(FList.model()->index(3, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    FList.selectionModel()->select(FList.model()->index(8, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_EQ(FList.SelectedCount(), 3);
    FList.DeleteSelected();
    EXPECT_EQ(FList.ItemCount(), 7);
    EXPECT_EQ(FList.Collection()->Count(), 7);
    QStringList left;
    for (int row = 0; row < FList.ItemCount(); ++row)
        left << FList.CellText(row, 0);
    EXPECT_EQ(left.join(QLatin1Char(',')), QStringLiteral("item 0,item 1,item 4,item 5,item 6,item 7,item 9"));
    // The current item went; its row stays current.
    EXPECT_EQ(FList.ItemIndex(), 2);
}

TEST_F(VirtualListViewTest, CopySelectionAppendsCopiesToAnotherVirtualList)
{
    FList.SetMultiSelect(true);
    FList.Fill(5);
    FList.SelectAll();
    TTestList other;
    other.Fill(1, QStringLiteral("own "));
    FList.CopySelectionTo(&other);
    EXPECT_EQ(other.ItemCount(), 6);
    EXPECT_EQ(other.CellText(5, 0), QStringLiteral("item 4"));
    EXPECT_EQ(other.Item(5)->Id(), 4);

    QWidget plain;
    FList.CopySelectionTo(&plain);
    EXPECT_EQ(FList.ItemCount(), 5);
}

TEST_F(VirtualListViewTest, ANewCollectionReplacesTheOldOne)
{
    FList.Fill(10);
    auto fresh = std::make_unique<TVirtItems>();
    auto item = fresh->CreateItem();
    static_cast<TVirtItem*>(item.get())->SetCaption(QStringLiteral("only"));
    fresh->Add(std::move(item));
    FList.SetCollection(std::move(fresh));
    EXPECT_EQ(FList.ItemCount(), 1);
    EXPECT_EQ(FList.CellText(0, 0), QStringLiteral("only"));
    FList.SetItemCount(-5);
    EXPECT_EQ(FList.ItemCount(), 1);
}

} // namespace
