#include "bench/support/GMimeReference.h"

#include <gmime/gmime.h>

#include <iconv.h>

#include <mutex>

namespace {

// The charsets the synthetic corpus labels its text and header words with.
const char* const kCorpusCharsets[] = {"us-ascii", "utf-8", "windows-1251", "KOI8-R", "ISO-2022-JP"};

} // namespace

TGMimeReference::TGMimeReference()
{
    static std::once_flag initialized;
    std::call_once(initialized, [] { g_mime_init(); });
    for (const char* charset : kCorpusCharsets) {
        const iconv_t converter = iconv_open("UTF-8", charset);
        if (converter != reinterpret_cast<iconv_t>(-1))
            FConverters.push_back(converter);
    }
}

TGMimeReference::~TGMimeReference()
{
    for (void* converter : FConverters)
        iconv_close(static_cast<iconv_t>(converter));
}

int TGMimeReference::ParseAll(const std::vector<QByteArray>& messages) const
{
    int built = 0;
    for (const QByteArray& source : messages) {
        GMimeStream* stream = g_mime_stream_mem_new_with_buffer(source.constData(), static_cast<size_t>(source.size()));
        GMimeParser* parser = g_mime_parser_new_with_stream(stream);
        GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
        if (message) {
            ++built;
            g_object_unref(message);
        }
        g_object_unref(parser);
        g_object_unref(stream);
    }
    return built;
}
