#pragma once

#include "content/MimeSource.h"

#include <QByteArray>

#include <memory>

class TMimeMessage;
class TStream;

// Parses message sources into message objects with GMime. One parser serves
// one thread at a time; a collection keeps one for its main thread and one
// for its parser thread.
//
// Hostile input is bounded: multipart nesting deeper than MaxDepth and parts
// beyond MaxParts are left out (their bytes are not lost: the source stays
// with its owner), so that no source can exhaust the stack or the memory.
class TMimeParser
{
public:
    // Full: every part's content is decoded. Structure: attachments keep
    // their headers, type and name but not their data, and text parts other
    // than plain text have no body (enough for the list fields: charsets and
    // whether there are attachments, and far cheaper). Deferred: text parts
    // are decoded as in Full, but attachments in a transfer encoding GMime
    // knows keep only where their content lies in the source and decode it
    // when their data is first asked for (showing a message with a large
    // attachment costs nothing for the attachment). Deferred needs a shared
    // source; from a plain stream it parses as Full.
    enum class TMode { Full, Structure, Deferred };

    struct TLimits
    {
        int MaxDepth = 40;
        int MaxParts = 4000;
    };

    TMimeParser();
    explicit TMimeParser(TLimits limits);
    ~TMimeParser();
    TMimeParser(const TMimeParser&) = delete;
    TMimeParser& operator=(const TMimeParser&) = delete;

    // Clears the message and fills it from the stream, read from its
    // position to its end. A source that is not mail at all gives a
    // message with what could be read (at worst nothing); parsing never
    // raises for malformed input.
    void Parse(TStream& source, TMimeMessage& message, TMode mode = TMode::Full) const;
    void Parse(const QByteArray& source, TMimeMessage& message, TMode mode = TMode::Full) const;
    // Parses the whole source through a view of its own (the source's
    // position is not used); deferred attachments share the source.
    void Parse(const TSharedSource& source, TMimeMessage& message, TMode mode = TMode::Full) const;

    [[nodiscard]] const TLimits& Limits() const { return FLimits; }

private:
    // Parses `source` from its position; with `shared`, deferred
    // attachments keep their content in it (the stream reads `shared` from
    // its beginning).
    void Build(TStream& source, TMimeMessage& message, TMode mode, const TSharedSource* shared) const;

    struct TOptionsDeleter
    {
        void operator()(void* options) const;
    };

    TLimits FLimits;
    std::unique_ptr<void, TOptionsDeleter> FOptions;   // GMimeParserOptions
};
