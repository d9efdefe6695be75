// What the user waits for in the reading pane: from choosing a list item
// to its text painted in the pane (parsing, decoding, filters, filling the
// text control or laying out the HTML, one synchronous paint). Messages:
// 10 KB of plain list mail, 200 KB of HTML alone and behind a plain-text
// alternative, and a short text with a 20 MB attachment, which must stay
// undecoded. A long HTML document paints its head first: the whole
// document replaces it untimed after each paint, so every message is shown
// over a whole one, as a reader going through a folder has it; the Whole
// runs time that replacement too, which the pane does right after the
// first paint.

#include "base/FastMemoryStream.h"
#include "bench/support/PaneMessages.h"
#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "settings/SystemCodePage.h"
#include "ui/mesg/CommonForm.h"
#include "ui/mesg/MesgBrowser.h"
#include "ui/mesg/QuickMesgEditor.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

enum class TUntil { FirstPaint, WholeDocument };

void ShowInPane(benchmark::State& state, const QByteArray& bytes, TUntil until = TUntil::FirstPaint)
{
    SetSystemCodePage(1252);
    TMesgItems items;
    auto source = std::make_shared<TFastMemoryStream>(TFastMemoryStream::BlockSizeFor(bytes.size()));
    source->WriteBuffer(bytes.constData(), bytes.size());
    auto owned = std::make_unique<TMesgItem>(&items);
    owned->SetSource(std::move(source));
    auto& item = *static_cast<TMesgItem*>(items.Insert(0, std::move(owned)));
    TQuickMesgEditor pane;
    pane.resize(900, 700);
    pane.show();
    QApplication::processEvents();
    const auto showWhole = [&pane] {
        pane.Browser()->ShowWholeDocument();
        pane.repaint();
    };
    for (auto _ : state) {
        TCommonForm::ShowItem(item, pane);
        pane.repaint();
        if (until == TUntil::WholeDocument) {
            showWhole();
        } else {
            state.PauseTiming();
            showWhole();
            state.ResumeTiming();
        }
        for (int i = 0; i < pane.Model().AttachmentCount(); ++i)
            if (pane.Model().Attachment(i).IsDecoded())
                state.SkipWithError("an attachment was decoded to show the message");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_PaneShowPlain10K(benchmark::State& state)
{
    ShowInPane(state, PlainListMessage(10 * 1024));
}

void BM_PaneShowHtml200K(benchmark::State& state)
{
    ShowInPane(state, HtmlNewsletterMessage());
}

void BM_PaneShowHtml400K(benchmark::State& state)
{
    ShowInPane(state, HtmlNewsletterMessage(400 * 1024));
}

void BM_PaneShowHtml200KWhole(benchmark::State& state)
{
    ShowInPane(state, HtmlNewsletterMessage(), TUntil::WholeDocument);
}

void BM_PaneShowHtml400KWhole(benchmark::State& state)
{
    ShowInPane(state, HtmlNewsletterMessage(400 * 1024), TUntil::WholeDocument);
}

// Opens on its Body page: the HTML waits until its page is shown.
void BM_PaneShowAlternative200K(benchmark::State& state)
{
    ShowInPane(state, AlternativeNewsletterMessage());
}

void BM_PaneShowWith20MAttachment(benchmark::State& state)
{
    ShowInPane(state, LargeAttachmentMessage());
}

BENCHMARK(BM_PaneShowPlain10K)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaneShowHtml200K)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaneShowHtml400K)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaneShowHtml200KWhole)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaneShowHtml400KWhole)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaneShowAlternative200K)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaneShowWith20MAttachment)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
