#pragma once

#include <QByteArray>

#include <vector>

// The reference that the load benchmarks measure against: GMime's own parse
// of the same messages, in memory, on one thread. Every charset of the
// synthetic corpus keeps one converter open for the whole run; without
// that, the C library would load and unload its converter modules for each
// message, and the reference would measure that instead of parsing.
class TGMimeReference
{
public:
    TGMimeReference();
    ~TGMimeReference();
    TGMimeReference(const TGMimeReference&) = delete;
    TGMimeReference& operator=(const TGMimeReference&) = delete;

    // Parses every message with g_mime_parser_construct_message and frees
    // it again; returns how many messages GMime built.
    int ParseAll(const std::vector<QByteArray>& messages) const;

private:
    std::vector<void*> FConverters;   // iconv_t
};
