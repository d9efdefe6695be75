// A virtual list of 1,000,000 rows: setting the count and painting one
// page, scrolling a page, and the memory the control adds to the
// collection's own (it should add nothing that grows with the rows).

#include "ui/list/VirtualListView.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>
#include <unistd.h>

namespace {

constexpr int kRows = 1000000;

// Resident memory of the process, in bytes.
double ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) : 0;
}

std::unique_ptr<TVirtItems> MillionItems()
{
    auto items = std::make_unique<TVirtItems>();
    items->BeginBatch();
    for (int n = 0; n < kRows; ++n) {
        auto item = items->CreateItem();
        static_cast<TVirtItem*>(item.get())->SetCaption(QStringLiteral("Message number %1").arg(n));
        item->SetId(n);
        items->Add(std::move(item));
    }
    items->EndBatch();
    return items;
}

// The subject and the number of an item.
class TTwoColumnList : public TVirtualListView
{
protected:
    QString ItemText(TVirtItem* item, int column) override
    {
        return column == 0 ? item->Caption() : QString::number(item->Id());
    }
};

// One list with two columns over the million items, shown.
struct TBenchList
{
    TBenchList()
    {
        List.AddColumn(QStringLiteral("Subject"));
        List.AddColumn(QStringLiteral("Number"), Qt::AlignRight);
        List.resize(800, 600);
        List.show();
        QApplication::processEvents();
        const double before = ResidentBytes();
        auto items = MillionItems();
        CollectionBytes = ResidentBytes() - before;
        List.SetCollection(std::move(items));
        List.SetItemCount(0);
    }

    TTwoColumnList List;
    double CollectionBytes = 0;
};

TBenchList& Shared()
{
    static TBenchList list;
    return list;
}

void BM_SetCountAndPaintPage(benchmark::State& state)
{
    TVirtualListView& list = Shared().List;
    for (auto _ : state) {
        state.PauseTiming();
        list.SetItemCount(0);
        state.ResumeTiming();
        list.SetItemCount(kRows);
        list.viewport()->repaint();
    }
    state.counters["rows"] = kRows;
}
BENCHMARK(BM_SetCountAndPaintPage)->Unit(benchmark::kMillisecond);

void BM_ScrollPage(benchmark::State& state)
{
    TVirtualListView& list = Shared().List;
    list.SetItemCount(kRows);
    QScrollBar* bar = list.verticalScrollBar();
    bar->setValue(kRows / 2);
    for (auto _ : state) {
        bar->triggerAction(bar->value() + bar->pageStep() >= bar->maximum() ? QAbstractSlider::SliderToMinimum
                                                                               : QAbstractSlider::SliderPageStepAdd);
        list.viewport()->repaint();
    }
    state.counters["rows_per_page"] = list.RowsPerPage();
}
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMicrosecond);

// Memory: what the collection of a million items takes, and what the
// control adds when it is told the count, paints, selects all and scrolls.
void BM_Memory(benchmark::State& state)
{
    TBenchList& shared = Shared();
    TVirtualListView& list = shared.List;
    list.SetItemCount(0);
    QApplication::processEvents();
    double added = 0;
    for (auto _ : state) {
        const double before = ResidentBytes();
        list.SetItemCount(kRows);
        list.SelectAll();
        list.SetItemIndex(kRows - 1);
        list.viewport()->repaint();
        QApplication::processEvents();
        added = ResidentBytes() - before;
    }
    state.counters["collection_MiB"] = shared.CollectionBytes / (1 << 20);
    state.counters["control_added_KiB"] = added / 1024;
    state.counters["control_bytes_per_row"] = added / kRows;
}
BENCHMARK(BM_Memory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
