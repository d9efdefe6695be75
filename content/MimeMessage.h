#pragma once

#include "content/CharsetNames.h"
#include "content/IdCoderHeader.h"
#include "content/MimeHeaders.h"
#include "content/MimeParts.h"

#include <QByteArray>
#include <QDateTime>

#include <functional>
#include <memory>
#include <vector>

class TWideIdEMailAddressList;

// A parsed mail message: its header fields (raw 8-bit values in order), its
// body, and its leaf parts (text parts and attachments) in the order the
// source holds them. A message without MIME parts keeps its text in Body();
// a single-part message that is an attachment (a lone PDF, say) has that
// attachment as its only part.
//
// Header values stay raw; the callers decode them with their charset
// (DecodeHeaderField), never through the MIME library's decoders.
class TMimeMessage
{
public:
    // Makes the object that receives an attachment's data; the default makes
    // a TMimeAttachment, which keeps the data in memory.
    using TCreateAttachmentHook = std::function<std::unique_ptr<TMimeAttachment>()>;
    // How header text is encoded when the message is written.
    using THeaderEncodingHook = std::function<THeaderEncoding()>;

    TMimeMessage();
    ~TMimeMessage();
    TMimeMessage(const TMimeMessage&) = delete;
    TMimeMessage& operator=(const TMimeMessage&) = delete;

    // Empties headers, body, parts, extra and generated headers; the hooks stay.
    void Clear();

    [[nodiscard]] TMimeHeaders& Headers() { return FHeaders; }
    [[nodiscard]] const TMimeHeaders& Headers() const { return FHeaders; }
    // Header fields beyond the standard ones the message reads itself
    // ("Unsent", "X-Mailer", "Received" ...); also written with the message.
    [[nodiscard]] TMimeHeaders& ExtraHeaders() { return FExtraHeaders; }
    [[nodiscard]] const TMimeHeaders& ExtraHeaders() const { return FExtraHeaders; }
    // Fields the program records for the next write; they replace a field
    // of the same name and are written in any case.
    [[nodiscard]] TMimeHeaders& GeneratedHeaders() { return FGeneratedHeaders; }
    [[nodiscard]] const TMimeHeaders& GeneratedHeaders() const { return FGeneratedHeaders; }
    // True for the names the message reads itself, which never count as extra.
    [[nodiscard]] static bool IsStandardHeader(QByteArrayView name);

    // The body of a message without parts (transfer encoding removed); the
    // preamble of a multipart message.
    [[nodiscard]] const QByteArray& Body() const { return FBody; }
    void SetBody(const QByteArray& body) { FBody = body; }

    // "type/subtype" of the message's own content type ("text/plain" by default).
    [[nodiscard]] const QByteArray& ContentType() const { return FContentType; }
    void SetContentType(const QByteArray& type) { FContentType = type; }
    // The charset label of the message's content type; empty when none.
    [[nodiscard]] const QByteArray& Charset() const { return FCharset; }
    void SetCharset(const QByteArray& charset) { FCharset = charset; }
    // The message's Content-Transfer-Encoding, lower-cased.
    [[nodiscard]] QByteArray TransferEncoding() const;

    [[nodiscard]] int PartCount() const { return static_cast<int>(FParts.size()); }
    [[nodiscard]] TMimePart& Part(int index) { return *FParts.at(static_cast<std::size_t>(index)); }
    [[nodiscard]] const TMimePart& Part(int index) const { return *FParts.at(static_cast<std::size_t>(index)); }
    void AddPart(std::unique_ptr<TMimePart> part) { FParts.push_back(std::move(part)); }
    void RemovePart(int index);
    [[nodiscard]] int AttachmentCount() const;
    // The index of the first text part (not an attachment) whose type
    // begins with `type` ("text/plain", "text/"); -1 when there is none.
    [[nodiscard]] int FirstTextPart(QByteArrayView type) const;
    [[nodiscard]] bool HasAttachments() const { return AttachmentCount() > 0; }

    // The multipart containers, in source order; empty for a single-part message.
    [[nodiscard]] const std::vector<TMimeContainer>& Containers() const { return FContainers; }
    // Adds a container; returns its index.
    int AddContainer(TMimeContainer container);

    // A new attachment through the creation hook.
    [[nodiscard]] std::unique_ptr<TMimeAttachment> CreateAttachment() const;
    TCreateAttachmentHook OnCreateAttachment;
    // The header encoding: the hook's answer, else DefaultHeaderEncoding().
    [[nodiscard]] THeaderEncoding HeaderEncoding() const;
    THeaderEncodingHook OnHeaderEncoding;

    // The Date field; invalid when there is none or it cannot be read.
    [[nodiscard]] QDateTime Date() const;
    // 0 highest, 1 high, 2 normal, 3 low, 4 lowest; read from X-Priority,
    // else Importance, else Priority, else X-MSMail-Priority.
    [[nodiscard]] int Priority() const;
    // The raw value of a field, decoded in `charset` and parsed as an address list.
    void AddressList(QByteArrayView name, CharsetId charset, TWideIdEMailAddressList& list) const;

private:
    TMimeHeaders FHeaders;
    TMimeHeaders FExtraHeaders;
    TMimeHeaders FGeneratedHeaders;
    QByteArray FBody;
    QByteArray FContentType = "text/plain";
    QByteArray FCharset;
    std::vector<std::unique_ptr<TMimePart>> FParts;
    std::vector<TMimeContainer> FContainers;
};
