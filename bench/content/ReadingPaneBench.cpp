// From a message source in memory (as a list item holds it) to the text a
// reading pane shows: parsing, decoding the header fields and the body in
// its charset, the filters, the attachment list. Messages: 10 KB of plain
// text (and 1 MB, for the filters' scaling), 200 KB of HTML, and a short
// text with a 20 MB attachment, which must stay undecoded.

#include "base/FastMemoryStream.h"
#include "bench/support/PaneMessages.h"
#include "content/view/MesgViewModel.h"
#include "settings/SystemCodePage.h"

#include <benchmark/benchmark.h>

namespace {

TSharedSource Shared(const QByteArray& bytes)
{
    auto stream = TFastMemoryStream::ForSize(bytes.size());
    stream->WriteBuffer(bytes.constData(), bytes.size());
    return TSharedSource(std::move(stream));
}

TViewOptions BenchOptions()
{
    TViewOptions options;
    options.AdSamples = {QStringLiteral("GET YOUR FREE MAILBOX AT WWW.EXAMPLEMAIL.INVALID TODAY"),
                         QStringLiteral("THIS MESSAGE WAS SENT THROUGH THE FREELIST MAILING SERVICE"),
                         QStringLiteral("TO UNSUBSCRIBE FROM THIS LIST SEND A BLANK MESSAGE")};
    return options;
}

void ShowMessage(benchmark::State& state, const QByteArray& bytes)
{
    SetSystemCodePage(1252);
    const TSharedSource source = Shared(bytes);
    const TViewOptions options = BenchOptions();
    TMesgViewModel model;
    for (auto _ : state) {
        model.LoadSource(source);
        model.DisplayMessage(options);
        benchmark::DoNotOptimize(model.Shown().Lines.size() + model.HtmlText().size());
        for (int i = 0; i < model.AttachmentCount(); ++i) {
            benchmark::DoNotOptimize(model.AttachmentName(i));
            benchmark::DoNotOptimize(model.AttachmentSize(i));
            if (model.Attachment(i).IsDecoded())
                state.SkipWithError("an attachment was decoded to show the message");
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ShowPlain10K(benchmark::State& state)
{
    ShowMessage(state, PlainListMessage(10 * 1024));
}

// Every line of a long text goes through the advertisement filter's
// similarity pass: it must stay linear in the text.
void BM_ShowPlain1M(benchmark::State& state)
{
    ShowMessage(state, PlainListMessage(1024 * 1024));
}

void BM_ShowHtml200K(benchmark::State& state)
{
    ShowMessage(state, HtmlNewsletterMessage());
}

void BM_ShowWith20MAttachment(benchmark::State& state)
{
    ShowMessage(state, LargeAttachmentMessage());
}

BENCHMARK(BM_ShowPlain10K)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ShowPlain1M)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ShowHtml200K)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ShowWith20MAttachment)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
