// Parsing a message list's sources: 20,000 synthetic messages (plain,
// alternative, attachments; Cyrillic and Japanese headers) parsed and their
// list fields derived, as the parser thread does for a folder, in messages/s
// and MB/s; and in the same run GMime's parser alone over the same corpus,
// the floor below which our layer cannot go.

#include "base/SyncItems.h"
#include "bench/support/SyntheticMail.h"
#include "content/GMimeHandle.h"
#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "messages/MesgFields.h"
#include "messages/MesgItem.h"
#include "settings/SystemCodePage.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

const std::vector<QByteArray>& Corpus()
{
    static const std::vector<QByteArray> corpus = SyntheticMessages({20000, 6000, 20261209});
    return corpus;
}

std::int64_t CorpusBytes()
{
    std::int64_t bytes = 0;
    for (const QByteArray& message : Corpus())
        bytes += message.size();
    return bytes;
}

void Report(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Corpus().size()));
    state.SetBytesProcessed(state.iterations() * CorpusBytes());
}

void BM_ParseAndDeriveFields(benchmark::State& state)
{
    SetSystemCodePage(1251);
    const TMimeParser parser;
    TSyncItems owner;
    TMimeMessage message;
    for (auto _ : state) {
        for (const QByteArray& source : Corpus()) {
            parser.Parse(source, message);
            TMesgItem item(&owner);
            item.DeriveFields(message, DecodeListHeader(message));
            benchmark::DoNotOptimize(item.Subject());
        }
    }
    Report(state);
}

void BM_GMimeParserAlone(benchmark::State& state)
{
    EnsureGMimeInitialized();
    for (auto _ : state) {
        for (const QByteArray& source : Corpus()) {
            auto stream = TGObjectHandle<GMimeStream>::Adopt(
                g_mime_stream_mem_new_with_buffer(source.constData(), static_cast<size_t>(source.size())));
            auto parser = TGObjectHandle<GMimeParser>::Adopt(g_mime_parser_new_with_stream(stream.Get()));
            auto root = TGObjectHandle<GMimeObject>::Adopt(g_mime_parser_construct_part(parser.Get(), nullptr));
            benchmark::DoNotOptimize(root.Get());
        }
    }
    Report(state);
}

} // namespace

// One pass over the whole corpus per repetition; the medians are the figures.
BENCHMARK(BM_ParseAndDeriveFields)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_GMimeParserAlone)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
