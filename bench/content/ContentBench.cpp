// Header decoding over realistic header values (values/s), and bulk text
// decoding by the single-byte tables, the system code page and UTF-8 (MB/s).

#include "content/IdCoderHeader.h"
#include "settings/SystemCodePage.h"
#include "content/UnicodeCoders.h"
#include "content/Utf16Funcs.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct THeaderSample
{
    QByteArray Value;
    const char* Charset;
};

// Subjects and address fields as they come in mail: plain ASCII, encoded
// words in several charsets and both letters, folded runs, raw 8-bit text.
std::vector<THeaderSample> HeaderCorpus()
{
    return {
        {"Re: Quarterly report for the board meeting", "us-ascii"},
        {"John Smith <john.smith@example.com>", ""},
        {"\"Doe, Jane\" <jane@example.com>, bob@example.org (Bob), carol@example.net", ""},
        {"=?UTF-8?B?0J/RgNC40LLQtdGCLCDQvNC40YAhINCa0LDQuiDQtNC10LvQsD8=?=", ""},
        {"=?utf-8?Q?Caf=C3=A9_cr=C3=A8me_br=C3=BBl=C3=A9e?= recipe", "utf-8"},
        {"=?koi8-r?B?8NLJ18XULCDNydI=?=", ""},
        {"=?windows-1251?Q?=CE=F2=F7=B8=F2_=E7=E0_=EC=E0=E9?=", ""},
        {"=?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTyQ1JCckShsoQg==?=", ""},
        {"=?UTF-8?B?UGFydHkg8J+OiQ==?=\r\n =?UTF-8?Q?_=F0=9F=8E=82_tonight?=", ""},
        {"=?iso-8859-1?Q?J=F6rg_M=FCller?= <joerg@example.de>", ""},
        {"Fwd: =?utf-8?B?W2Fubm91bmNlXSBuZXcgcmVsZWFzZQ==?= (v2.1)", ""},
        {"\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0", "windows-1251"},
        {"\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2", "koi8-r"},
        {"Meeting notes: agenda, minutes, action items and follow-ups", ""},
        {"=?gb2312?B?xOO6w6OsysC95w==?=", ""},
        {"Undisclosed recipients:;", ""},
    };
}

void BM_DecodeHeaderField(benchmark::State& state)
{
    SetSystemCodePage(1252);
    std::vector<std::pair<QByteArray, CharsetId>> corpus;
    for (const THeaderSample& sample : HeaderCorpus())
        corpus.emplace_back(sample.Value, CharsetFromName(QString::fromLatin1(sample.Charset)));
    for (auto _ : state) {
        for (const auto& [value, charset] : corpus)
            benchmark::DoNotOptimize(DecodeHeaderField(value, charset));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(corpus.size()));
}
BENCHMARK(BM_DecodeHeaderField);

constexpr qsizetype kTextBytes = 1 << 20;

// One megabyte of text in the given charset, made by repeating a sentence.
QByteArray Text(const QString& sentence, const char* charset)
{
    const QByteArray unit = EncodeCharsetText(sentence, CharsetFromName(QString::fromLatin1(charset)));
    QByteArray text;
    text.reserve(kTextBytes + unit.size());
    while (text.size() < kTextBytes)
        text += unit;
    return text;
}

const QString kRussian = QStringLiteral("\u0421\u044a\u0435\u0448\u044c \u0436\u0435 \u0435\u0449\u0451 "
                                        "\u044d\u0442\u0438\u0445 \u043c\u044f\u0433\u043a\u0438\u0445 "
                                        "\u0444\u0440\u0430\u043d\u0446\u0443\u0437\u0441\u043a\u0438\u0445 "
                                        "\u0431\u0443\u043b\u043e\u043a. ");
const QString kEnglish = QStringLiteral("The quick brown fox jumps over the lazy dog, again and again. ");
const QString kMixed = QStringLiteral("Price: 12\u20ac, caf\u00e9 cr\u00e8me, \u65e5\u672c\u8a9e, \U0001F389 ok. ");

const QString kGreek = QStringLiteral("\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1 \u03ba\u03cc\u03c3\u03bc\u03b5. ");

// Decodes a megabyte of `sentence` written in `charset`.
void BM_Decode(benchmark::State& state, const QString* sentence, const char* charset)
{
    SetSystemCodePage(1252);
    const QByteArray bytes = Text(*sentence, charset);
    const CharsetId id = CharsetFromName(QString::fromLatin1(charset));
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeCharsetText(bytes, id));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK_CAPTURE(BM_Decode, Koi8RTable, &kRussian, "KOI8-R");
BENCHMARK_CAPTURE(BM_Decode, Iso8859_7Coded, &kGreek, "ISO-8859-7");
BENCHMARK_CAPTURE(BM_Decode, Windows1251Page, &kRussian, "windows-1251");
BENCHMARK_CAPTURE(BM_Decode, Utf8Ascii, &kEnglish, "UTF-8");
BENCHMARK_CAPTURE(BM_Decode, Utf8Cyrillic, &kRussian, "UTF-8");
BENCHMARK_CAPTURE(BM_Decode, Utf8Mixed, &kMixed, "UTF-8");

void BM_EncodeUtf8Cyrillic(benchmark::State& state)
{
    const QString text = DecodeUtf8(Text(kRussian, "UTF-8"));
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeUtf8(text));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_EncodeUtf8Cyrillic);

} // namespace

BENCHMARK_MAIN();
