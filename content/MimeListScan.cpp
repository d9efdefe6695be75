#include "content/MimeListScan.h"

#include "content/GMimeHandle.h"
#include "content/MimeCoders.h"
#include "content/MimeMessage.h"

#include <optional>
#include <vector>

namespace {

// Shallower than TMimeParser's limits, so that a message the scan reads is
// never one those limits cut short.
constexpr int kMaxDepth = 16;
constexpr int kMaxLeaves = 500;

// One line of the source: its bytes without the line end, and where the
// next line starts.
struct TLine
{
    QByteArrayView Text;
    qsizetype Next = 0;
};

// Lines end at LF; a CR right before it belongs to the line end.
TLine LineAt(QByteArrayView source, qsizetype at, qsizetype end)
{
    const qsizetype lf = source.sliced(at, end - at).indexOf('\n');
    const qsizetype stop = lf < 0 ? end : at + lf;
    qsizetype textEnd = stop;
    if (textEnd > at && source[textEnd - 1] == '\r')
        --textEnd;
    return {source.sliced(at, textEnd - at), lf < 0 ? end : stop + 1};
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A header field name as both readers agree on it: visible ASCII without a colon.
bool IsFieldName(QByteArrayView name)
{
    if (name.isEmpty())
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 32 || u >= 127 || c == ':')
            return false;
    }
    return true;
}

// Reads a header block from `at`: fields up to the empty line (which is
// consumed) or, unless `needEmptyLine`, the end of the range. Fails on a
// line that is not a field, a continuation without a field, and a CR
// inside a line.
bool ReadHeaderBlock(QByteArrayView source, qsizetype& at, qsizetype end, TMimeHeaders& headers, bool needEmptyLine)
{
    QByteArrayView name;
    qsizetype valueStart = -1;
    qsizetype valueEnd = -1;
    const auto flush = [&] {
        if (valueStart >= 0)
            headers.Add(name.toByteArray(), TMimeHeaders::Unfold(source.sliced(valueStart, valueEnd - valueStart)));
        valueStart = -1;
    };
    while (at < end) {
        const TLine line = LineAt(source, at, end);
        if (line.Text.contains('\r'))
            return false;
        if (line.Text.isEmpty()) {
            at = line.Next;
            flush();
            return true;
        }
        if (IsBlank(line.Text.front())) {
            if (valueStart < 0)
                return false;
            valueEnd = line.Text.data() + line.Text.size() - source.data();
        } else {
            flush();
            const qsizetype colon = line.Text.indexOf(':');
            if (colon < 0 || !IsFieldName(line.Text.first(colon)))
                return false;
            name = line.Text.first(colon);
            valueStart = at + colon + 1;
            valueEnd = line.Text.data() + line.Text.size() - source.data();
        }
        at = line.Next;
    }
    flush();
    return !needEmptyLine;
}

bool IsTokenChar(char c)
{
    // RFC 2045: any visible ASCII but the tspecials.
    const auto u = static_cast<unsigned char>(c);
    return u > 32 && u < 127 && !QByteArrayView("()<>@,;:\\\"/[]?=").contains(c);
}

// A content type as "type/subtype" with its parameters.
struct TContentType
{
    QByteArray Type = "text/plain";
    QByteArray Charset;
    QByteArray Boundary;
};

class TValueReader
{
public:
    explicit TValueReader(QByteArrayView text) : FText(text) {}

    void SkipBlanks()
    {
        while (FAt < FText.size() && IsBlank(FText[FAt]))
            ++FAt;
    }
    [[nodiscard]] bool AtEnd() const { return FAt >= FText.size(); }
    bool Take(char c)
    {
        if (AtEnd() || FText[FAt] != c)
            return false;
        ++FAt;
        return true;
    }
    QByteArrayView Token()
    {
        const qsizetype start = FAt;
        while (FAt < FText.size() && IsTokenChar(FText[FAt]))
            ++FAt;
        return FText.sliced(start, FAt - start);
    }
    // A quoted string without escapes; nullopt on anything else.
    std::optional<QByteArrayView> Quoted()
    {
        if (!Take('"'))
            return std::nullopt;
        const qsizetype start = FAt;
        while (FAt < FText.size() && FText[FAt] != '"') {
            const auto u = static_cast<unsigned char>(FText[FAt]);
            if (FText[FAt] == '\\' || u < 32 || u >= 127)
                return std::nullopt;
            ++FAt;
        }
        const QByteArrayView text = FText.sliced(start, FAt - start);
        if (!Take('"'))
            return std::nullopt;
        return text;
    }

private:
    QByteArrayView FText;
    qsizetype FAt = 0;
};

// Reads "type/subtype" and parameters of plain tokens or quoted strings;
// nullopt for any other form (comments, RFC 2231 names, encoded words in
// the values read, parameters named twice).
std::optional<TContentType> ReadContentType(const QByteArray& value)
{
    TValueReader reader(value);
    reader.SkipBlanks();
    const QByteArrayView type = reader.Token();
    if (type.isEmpty() || !reader.Take('/'))
        return std::nullopt;
    const QByteArrayView subtype = reader.Token();
    if (subtype.isEmpty())
        return std::nullopt;
    TContentType result;
    result.Type = (type.toByteArray() + '/' + subtype.toByteArray()).toLower();
    std::vector<QByteArray> names;
    for (;;) {
        reader.SkipBlanks();
        if (reader.AtEnd())
            return result;
        if (!reader.Take(';'))
            return std::nullopt;
        reader.SkipBlanks();
        if (reader.AtEnd())
            return result;
        const QByteArray name = reader.Token().toByteArray().toLower();
        if (name.isEmpty() || name.endsWith('*') || std::find(names.begin(), names.end(), name) != names.end())
            return std::nullopt;
        names.push_back(name);
        reader.SkipBlanks();
        if (!reader.Take('='))
            return std::nullopt;
        reader.SkipBlanks();
        QByteArrayView text = reader.Token();
        if (text.isEmpty()) {
            const std::optional<QByteArrayView> quoted = reader.Quoted();
            if (!quoted)
                return std::nullopt;
            text = *quoted;
        }
        if (name == "charset" || name == "boundary") {
            // Blanks at the ends of a boundary would have to match exactly.
            if (text.contains("=?") || (name == "boundary" && text.trimmed().size() != text.size()))
                return std::nullopt;
            (name == "charset" ? result.Charset : result.Boundary) = text.toByteArray().trimmed();
        }
    }
}

// The transfer encodings the scan decodes (or takes as they are), by the
// GMime number; nullopt for the others (x-uuencode, XXencode, BinHex and
// unknown names, which the full parser treats in ways of its own).
std::optional<GMimeContentEncoding> ReadTransferEncoding(const TMimeHeaders& headers)
{
    const QByteArray name = headers.Value("Content-Transfer-Encoding").trimmed().toLower();
    if (name.isEmpty() || name == "7bit" || name == "8bit" || name == "binary")
        return GMIME_CONTENT_ENCODING_DEFAULT;
    if (name == "quoted-printable")
        return GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE;
    if (name == "base64")
        return GMIME_CONTENT_ENCODING_BASE64;
    return std::nullopt;
}

// The content with its transfer encoding removed, by GMime's own decoder.
QByteArray Decoded(QByteArrayView content, GMimeContentEncoding encoding)
{
    GMimeEncoding state;
    g_mime_encoding_init_decode(&state, encoding);
    QByteArray out(static_cast<qsizetype>(g_mime_encoding_outlen(&state, static_cast<size_t>(content.size()))),
                   Qt::Uninitialized);
    const size_t length =
        g_mime_encoding_flush(&state, content.data(), static_cast<size_t>(content.size()), out.data());
    out.truncate(static_cast<qsizetype>(length));
    return out;
}

// True when decoded plain text may hold a uuencoded, XXencoded or BinHex
// file, which the full parser turns into attachments.
bool MayHoldEmbeddedFile(QByteArrayView content, GMimeContentEncoding encoding)
{
    if (encoding == GMIME_CONTENT_ENCODING_DEFAULT)
        return !ExtractEmbeddedFiles(QByteArray::fromRawData(content.data(), content.size())).Files.empty();
    return !ExtractEmbeddedFiles(Decoded(content, encoding)).Files.empty();
}

bool HeaderOnce(const TMimeHeaders& headers, QByteArrayView name)
{
    return headers.Values(name).size() <= 1;
}

class TScanner
{
public:
    TScanner(QByteArrayView source, TMimeMessage& message) : FSource(source), FMessage(message) {}

    bool Root()
    {
        qsizetype at = 0;
        TMimeHeaders& headers = FMessage.Headers();
        if (!ReadHeaderBlock(FSource, at, FSource.size(), headers, false))
            return false;
        const std::optional<TContentType> type = TypeOf(headers);
        if (!type)
            return false;
        FMessage.SetContentType(type->Type);
        FMessage.SetCharset(type->Charset);
        if (type->Type.startsWith("multipart/"))
            return Multipart(*type, at, FSource.size(), 1);
        return Leaf(headers, *type, at, FSource.size(), true);
    }

private:
    static std::optional<TContentType> TypeOf(const TMimeHeaders& headers)
    {
        for (const char* name : {"Content-Type", "Content-Transfer-Encoding", "Content-Disposition"})
            if (!HeaderOnce(headers, name))
                return std::nullopt;
        const int index = headers.IndexOf("Content-Type");
        if (index < 0)
            return TContentType{};
        std::optional<TContentType> type = ReadContentType(headers.At(index).Value);
        // Nested messages and digests (whose parts default to messages) are
        // parsed by GMime in ways the scan does not follow.
        if (type && (type->Type.startsWith("message/") || type->Type == "multipart/digest"))
            return std::nullopt;
        return type;
    }

    // A leaf as TMimeParser's Structure parse records it.
    bool Leaf(const TMimeHeaders& headers, const TContentType& type, qsizetype start, qsizetype end, bool isRoot)
    {
        if (++FLeaves >= kMaxLeaves)
            return false;
        auto text = std::make_unique<TMimeTextPart>();
        text->Headers() = headers;
        text->SetContentType(type.Type);
        text->SetCharset(type.Charset);
        if (text->Disposition() == "attachment" || !text->FileName().isEmpty() || !type.Type.startsWith("text/")) {
            std::unique_ptr<TMimeAttachment> attachment = FMessage.CreateAttachment();
            attachment->SetContentType(type.Type);
            attachment->SetCharset(type.Charset);
            FMessage.AddPart(std::move(attachment));
            return true;
        }
        // The full parser decodes plain text (looking for embedded files) and
        // the body of a single-part message (where XXencode or BinHex may
        // name a file); other text parts it leaves alone.
        if (isRoot || type.Type == "text/plain") {
            const std::optional<GMimeContentEncoding> encoding = ReadTransferEncoding(headers);
            if (!encoding)
                return false;
            if (type.Type == "text/plain" && MayHoldEmbeddedFile(FSource.sliced(start, end - start), *encoding))
                return false;
        }
        if (!isRoot)
            FMessage.AddPart(std::move(text));
        return true;
    }

    // Whether a line is this boundary's delimiter (false, with `last` set
    // for the closing one); nullopt for a line that only looks like one.
    static std::optional<bool> Delimiter(QByteArrayView line, const QByteArray& dashed, bool& last)
    {
        if (!line.startsWith(dashed))
            return false;
        const QByteArrayView rest = line.sliced(dashed.size());
        last = rest == "--";
        if (rest.isEmpty() || last)
            return true;
        return std::nullopt;
    }

    // The parts of a multipart body in [start, end): each between two
    // delimiter lines, the last one closing.
    bool Multipart(const TContentType& type, qsizetype start, qsizetype end, int depth)
    {
        if (type.Boundary.isEmpty() || depth >= kMaxDepth)
            return false;
        const QByteArray dashed = "--" + type.Boundary;
        qsizetype partStart = -1;
        for (qsizetype at = start; at < end;) {
            const TLine line = LineAt(FSource, at, end);
            bool last = false;
            const std::optional<bool> delimiter = Delimiter(line.Text, dashed, last);
            if (!delimiter)
                return false;
            if (*delimiter) {
                if (partStart >= 0 && !Part(partStart, at, depth))
                    return false;
                if (last)
                    return Epilogue(line.Next, end, dashed);
                partStart = line.Next;
            }
            at = line.Next;
        }
        // No closing delimiter: the full parser decides where the parts end.
        return false;
    }

    // After the closing delimiter nothing may look like this boundary again.
    bool Epilogue(qsizetype at, qsizetype end, const QByteArray& dashed) const
    {
        while (at < end) {
            const TLine line = LineAt(FSource, at, end);
            if (line.Text.startsWith(dashed))
                return false;
            at = line.Next;
        }
        return true;
    }

    // One part, from after its delimiter line to the start of the next one.
    bool Part(qsizetype start, qsizetype end, int depth)
    {
        TMimeHeaders headers;
        qsizetype at = start;
        // A part cut short by the next delimiter (even an empty one) is
        // one the full parser may drop.
        if (!ReadHeaderBlock(FSource, at, end, headers, true))
            return false;
        const std::optional<TContentType> type = TypeOf(headers);
        if (!type)
            return false;
        if (type->Type.startsWith("multipart/"))
            return Multipart(*type, at, end, depth + 1);
        return Leaf(headers, *type, at, end, false);
    }

    QByteArrayView FSource;
    TMimeMessage& FMessage;
    int FLeaves = 0;
};

} // namespace

bool ScanListStructure(QByteArrayView source, TMimeMessage& message, const TMimeParser::TLimits& limits)
{
    message.Clear();
    // NUL bytes, and limits lower than the scan's own, are left to the full parser.
    const bool scanned = !source.contains('\0') && limits.MaxDepth > kMaxDepth && limits.MaxParts > kMaxLeaves
                         && TScanner(source, message).Root();
    if (!scanned)
        message.Clear();
    return scanned;
}
