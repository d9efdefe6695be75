#pragma once

#include "content/MimeHeaders.h"
#include "content/MimeSource.h"

#include <QByteArray>

#include <memory>
#include <optional>

class TStream;

// One leaf part of a parsed message: a text part or an attachment. What
// both share comes from the part's own header fields.
class TMimePart
{
public:
    enum class TKind { Text, Attachment };

    virtual ~TMimePart() = default;
    TMimePart(const TMimePart&) = delete;
    TMimePart& operator=(const TMimePart&) = delete;

    [[nodiscard]] virtual TKind Kind() const = 0;

    // The part's own header fields, raw, in order.
    [[nodiscard]] TMimeHeaders& Headers() { return FHeaders; }
    [[nodiscard]] const TMimeHeaders& Headers() const { return FHeaders; }

    // "type/subtype" of the content type ("text/plain" when the part names none).
    [[nodiscard]] const QByteArray& ContentType() const { return FContentType; }
    void SetContentType(const QByteArray& type) { FContentType = type; }
    // The charset label of the content type; empty when none.
    [[nodiscard]] const QByteArray& Charset() const { return FCharset; }
    void SetCharset(const QByteArray& charset) { FCharset = charset; }
    // The raw Content-ID value (angle brackets kept).
    [[nodiscard]] QByteArray ContentId() const { return FHeaders.Value("Content-ID"); }
    // The disposition ("inline", "attachment"), lower-cased; empty when none.
    [[nodiscard]] QByteArray Disposition() const;
    // The file name as the headers give it, 8-bit and undecoded: the
    // "filename" parameter of the disposition, else the "name" parameter of
    // the content type; empty when neither.
    [[nodiscard]] QByteArray FileName() const;
    void SetFileName(const QByteArray& name) { FFileName = name; }
    // The transfer encoding the part is written with, lower-cased.
    [[nodiscard]] QByteArray TransferEncoding() const;

    // Where the part sits in the message's multipart tree: the index of its
    // container (-1: directly in the message) and its place among all parts
    // and containers in source order.
    [[nodiscard]] int Parent() const { return FParent; }
    [[nodiscard]] int Order() const { return FOrder; }
    void SetPlace(int parent, int order)
    {
        FParent = parent;
        FOrder = order;
    }

protected:
    TMimePart() = default;

private:
    TMimeHeaders FHeaders;
    QByteArray FContentType = "text/plain";
    QByteArray FCharset;
    QByteArray FFileName;   // a name that did not come from the headers (an embedded block's)
    int FParent = -1;
    int FOrder = 0;
};

// A multipart container of the message ("multipart/alternative" inside
// "multipart/mixed", say), kept so that the message can be written back
// with its structure. Container 0 is the message itself when it is multipart.
struct TMimeContainer
{
    QByteArray ContentType;
    TMimeHeaders Headers;
    int Parent = -1;
    int Order = 0;
};

// A part shown as text: its body is the content with the transfer encoding
// removed, still in its charset.
class TMimeTextPart : public TMimePart
{
public:
    TMimeTextPart() = default;
    [[nodiscard]] TKind Kind() const override { return TKind::Text; }

    [[nodiscard]] const QByteArray& Body() const { return FBody; }
    void SetBody(const QByteArray& body) { FBody = body; }

private:
    QByteArray FBody;
};

// An attachment: its decoded data goes into a data stream that descendants
// choose (in memory here; a preview keeps nothing). The parser either
// writes the data into Data() and rewinds it, or, for a message parsed to be
// shown, leaves the content where it lies in the source (SetDeferredContent)
// to be decoded when the data is first asked for.
class TMimeAttachment : public TMimePart
{
public:
    TMimeAttachment();
    ~TMimeAttachment() override;
    [[nodiscard]] TKind Kind() const override { return TKind::Attachment; }

    // The data stream, created on first use by CreateDataStream; deferred
    // content is decoded into it then.
    [[nodiscard]] TStream& Data();
    // The whole data, read from the stream's beginning.
    [[nodiscard]] QByteArray DataBytes();
    // Replaces the data.
    void SetDataBytes(const QByteArray& data);

    // Content still encoded in the message source, decoded on first use.
    void SetDeferredContent(TDeferredContent content);
    // False while the content waits undecoded in the source.
    [[nodiscard]] bool IsDecoded() const { return !FDeferred.has_value(); }
    // The data's size: exact once decoded, before that estimated from the
    // encoded content without decoding it (TDeferredContent::EstimatedSize).
    [[nodiscard]] qint64 Size();

protected:
    // The stream that receives the data; an in-memory stream by default.
    [[nodiscard]] virtual std::unique_ptr<TStream> CreateDataStream();

private:
    std::unique_ptr<TStream> FData;
    std::optional<TDeferredContent> FDeferred;
};
