// What the user waits for in the reading pane: from choosing a list item
// to its text painted in the pane (parsing, decoding, filters, filling the
// text control or laying out the HTML, one synchronous paint). Messages:
// 10 KB of plain list mail, 200 KB of HTML alone and behind a plain-text
// alternative, and a short text with a 20 MB attachment, which must stay
// undecoded.

#include "base/FastMemoryStream.h"
#include "bench/support/PaneMessages.h"
#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "settings/SystemCodePage.h"
#include "ui/mesg/CommonForm.h"
#include "ui/mesg/QuickMesgEditor.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

void ShowInPane(benchmark::State& state, const QByteArray& bytes)
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
    for (auto _ : state) {
        TCommonForm::ShowItem(item, pane);
        pane.repaint();
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
BENCHMARK(BM_PaneShowAlternative200K)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaneShowWith20MAttachment)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
