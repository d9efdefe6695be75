#pragma once

#include "base/Stream.h"

#include <QByteArray>

#include <memory>

class TFastMemoryStream;

// A message source that a parsed message shares with its attachments: they
// decode their content from it when it is first asked for, so showing a
// message never pays for decoding (or holding) attachments nobody opens.
// The source must not change while it is shared; a holder that wants other
// content replaces its source instead.
using TSharedSource = std::shared_ptr<const TFastMemoryStream>;

// A read-only stream over the bytes [start, end) of a shared source, with a
// position of its own. Readers on several threads (the list's parser, the
// reading pane) each use their own view and never move the source's
// position or one another's. Writing raises EWriteError.
class TSourceView : public TStream
{
public:
    // `end` < 0 means the source's end; both are clamped to the source.
    explicit TSourceView(TSharedSource source, qint64 start = 0, qint64 end = -1);

    qint64 Read(void* buffer, qint64 count) override;
    qint64 Write(const void* buffer, qint64 count) override;
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;
    [[nodiscard]] qint64 Size() override { return FEnd - FStart; }
    void SetSize(qint64 size) override;

private:
    TSharedSource FSource;
    qint64 FStart;
    qint64 FEnd;
    qint64 FPosition = 0;
};

// Where an attachment's still-encoded content lies in its message source,
// and the transfer encoding that turns it into the attachment's data.
class TDeferredContent
{
public:
    // The transfer encodings GMime decodes ("base64", "quoted-printable",
    // "x-uuencode"); any other name (7bit, 8bit, binary, none) takes the
    // bytes as they are.
    TDeferredContent(TSharedSource source, qint64 start, qint64 end, const QByteArray& encoding);

    // Decodes the whole content into `target` at its position, in pieces,
    // without a copy of the encoded bytes.
    void DecodeInto(TStream& target) const;
    // The size the decoded data will have, found without decoding: exact
    // for content taken as it is; for base64 and uuencode computed from the
    // length and the line layout (within a few bytes); for quoted-printable
    // the encoded length, an upper bound.
    [[nodiscard]] qint64 EstimatedSize() const;
    [[nodiscard]] qint64 EncodedSize() const { return FEnd - FStart; }

private:
    TSharedSource FSource;
    qint64 FStart;
    qint64 FEnd;
    int FEncoding;   // a GMimeContentEncoding
};
