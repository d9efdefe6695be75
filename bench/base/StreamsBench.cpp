// Line reading through a 64 KiB buffer, as the mailbox import reads.

#include "base/BufStreams.h"
#include "base/FastMemoryStream.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ReadLines(benchmark::State& state)
{
    // 16 MiB of mail-like lines of 0 to 99 bytes, ending in CR LF.
    TFastMemoryStream content(65536);
    QByteArray line;
    for (int i = 0; content.Size() < (16 << 20); ++i) {
        line.fill('x', i % 100);
        line.append("\r\n");
        content.WriteBuffer(line.constData(), line.size());
    }
    for (auto _ : state) {
        TReadBufStream reader(content, 65536);
        qint64 lines = 0;
        while (reader.Position() < reader.Size()) {
            benchmark::DoNotOptimize(reader.ReadLine());
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(state.iterations() * content.Size());
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond);

} // namespace
