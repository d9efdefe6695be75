#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// A reproducible corpus of made-up mail for the benchmarks: a realistic mix
// of plain and multipart/alternative messages, messages with base64
// attachments, and headers in ASCII, KOI8-R and windows-1251 encoded words,
// raw 8-bit windows-1251, ISO-2022-JP and UTF-8 with emoji. CRLF line ends.
struct TSyntheticMailOptions {
    int Count = 20000;
    int AverageSize = 6000;      // bytes, roughly
    uint32_t Seed = 20261209;
};

[[nodiscard]] std::vector<QByteArray> SyntheticMessages(const TSyntheticMailOptions& options);

// One message of the corpus, by its number.
[[nodiscard]] QByteArray SyntheticMessage(int number, int averageSize, uint32_t seed);
