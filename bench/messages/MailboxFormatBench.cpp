// The mailbox format alone, without the store: 20,000 synthetic messages
// (about 120 MB) written into a mailbox in memory and read back, in MB/s;
// and in the same run one copy of the same bytes, the floor below which
// neither direction can go.

#include "base/FastMemoryStream.h"
#include "bench/support/SyntheticMail.h"
#include "messages/MboxFormat.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

const std::vector<QByteArray>& Corpus()
{
    static const std::vector<QByteArray> corpus = SyntheticMessages({20000, 6000, 20261209});
    return corpus;
}

const QByteArray& MailboxFile()
{
    static const QByteArray file = [] {
        TFastMemoryStream stream;
        TMboxWriter writer(stream);
        for (const QByteArray& source : Corpus())
            writer.Append("sender@example.org", 46000.5, source);
        writer.Flush();
        return stream.ToByteArray();
    }();
    return file;
}

void Report(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Corpus().size()));
    state.SetBytesProcessed(state.iterations() * MailboxFile().size());
}

void BM_WriteMailbox(benchmark::State& state)
{
    for (auto _ : state) {
        TFastMemoryStream stream;
        TMboxWriter writer(stream);
        for (const QByteArray& source : Corpus())
            writer.Append("sender@example.org", 46000.5, source);
        writer.Flush();
        benchmark::DoNotOptimize(stream.Size());
    }
    Report(state);
}

void BM_ReadMailbox(benchmark::State& state)
{
    TFastMemoryStream stream;
    stream.WriteBuffer(MailboxFile().constData(), MailboxFile().size());
    for (auto _ : state) {
        stream.SetPosition(0);
        TMboxReader reader(stream);
        QByteArray source;
        int count = 0;
        while (reader.Next(source))
            ++count;
        if (count != static_cast<int>(Corpus().size()))
            state.SkipWithError("the mailbox did not read back whole");
    }
    Report(state);
}

void BM_CopyFloor(benchmark::State& state)
{
    for (auto _ : state) {
        QByteArray copy(MailboxFile().constData(), MailboxFile().size());
        benchmark::DoNotOptimize(copy.data());
    }
    Report(state);
}

} // namespace

// One pass over the whole corpus per repetition; the medians are the figures.
BENCHMARK(BM_WriteMailbox)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadMailbox)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CopyFloor)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
