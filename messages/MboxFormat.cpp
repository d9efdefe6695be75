#include "messages/MboxFormat.h"

#include "content/MesgUtils.h"

#include <cstring>
#include <string_view>

namespace {

const QByteArray kFrom = QByteArrayLiteral("From ");

// True when a line starting at `pos` reads ">" * n + "From " with n >= minQuotes.
bool IsFromLine(const QByteArray& text, qsizetype pos, int minQuotes)
{
    qsizetype p = pos;
    while (p < text.size() && text[p] == '>')
        ++p;
    return p - pos >= minQuotes && QByteArrayView(text).sliced(p).startsWith(kFrom);
}

// Where the line that starts at `pos` ends, its LF included.
qsizetype LineEnd(const QByteArray& text, qsizetype pos)
{
    const qsizetype lf = text.indexOf('\n', pos);
    return lf < 0 ? text.size() : lf + 1;
}

// Copies `source` line by line; a line that reads ">" * n + "From " with
// n >= minQuotes gets one ">" more (quote) or one less (unquote).
QByteArray RewriteFromLines(const QByteArray& source, int minQuotes, bool quote)
{
    // Most sources hold no "From " at all: nothing to do then. The standard
    // search skips to each "F" with memchr, several times faster than
    // QByteArray's on whole messages.
    if (std::string_view(source.constData(), static_cast<size_t>(source.size())).find("From ") == std::string_view::npos)
        return source;
    QByteArray result;
    result.reserve(source.size() + 16);
    for (qsizetype lineStart = 0; lineStart < source.size();) {
        const qsizetype end = LineEnd(source, lineStart);
        qsizetype from = lineStart;
        if (IsFromLine(source, lineStart, minQuotes)) {
            if (quote)
                result += '>';
            else
                ++from;
        }
        result.append(source.constData() + from, end - from);
        lineStart = end;
    }
    return result;
}

// Reads `count` bytes, however few each read of the stream hands out.
void ReadFully(TStream& stream, char* data, qint64 count)
{
    while (count > 0) {
        const qint64 n = stream.Read(data, count);
        if (n <= 0)
            throw EReadError(QStringLiteral("Stream read error"));
        data += n;
        count -= n;
    }
}

} // namespace

QByteArray QuoteFromLines(const QByteArray& source)
{
    return RewriteFromLines(source, 0, true);
}

QByteArray UnquoteFromLines(const QByteArray& source)
{
    return RewriteFromLines(source, 1, false);
}

QByteArray MailboxSeparator(const QByteArray& sender, double sentDays)
{
    // An address comes from a message: a line break in it would end the
    // separator early and forge the start of another message.
    QByteArray address = sender;
    for (char& c : address)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '_';
    return kFrom + address + ' ' + MailboxDate(sentDays).toLatin1();
}

QByteArray SourceLineBreak(const QByteArray& source)
{
    const qsizetype lf = source.indexOf('\n');
    return lf > 0 && source[lf - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

TMboxWriter::TMboxWriter(TStream& file)
    : FStream(file, kMailboxBufferSize)
{
}

void TMboxWriter::Append(const QByteArray& sender, double sentDays, const QByteArray& source)
{
    const QByteArray lineBreak = SourceLineBreak(source);
    const QByteArray separator = MailboxSeparator(sender, sentDays) + lineBreak;
    FStream.WriteBuffer(separator.constData(), separator.size());
    const QByteArray quoted = QuoteFromLines(source);
    FStream.WriteBuffer(quoted.constData(), quoted.size());
    // The source's last line ends in a line break; then the empty line that
    // closes the message. An empty source reads back as nothing either way.
    const bool ended = source.isEmpty() || source.endsWith('\n');
    const QByteArray closing = ended ? lineBreak : lineBreak + lineBreak;
    FStream.WriteBuffer(closing.constData(), closing.size());
    ++FCount;
}

void TMboxWriter::Flush()
{
    FStream.Flush();
}

TMboxReader::TMboxReader(TStream& file)
    : FFile(file)
    , FSize(file.Size())
{
}

bool TMboxReader::Next(QByteArray& source)
{
    if (!FStarted) {
        FStarted = true;
        TLine first;
        if (!ReadLine(0, first)) {
            FPosition = FSize;
            return false;
        }
        if (!first.Separator) {
            FIsMailbox = false;
            source = ReadRange(0, FSize);
            FPosition = FSize;
            return true;
        }
        FPosition = first.End;
    }
    while (FPosition < FSize) {
        const qint64 start = FPosition;
        qint64 next = FSize;
        const qint64 end = ScanMessage(start, next);
        FPosition = next;
        if (end > start) {
            source = UnquoteFromLines(ReadRange(start, end));
            return true;
        }
    }
    return false;
}

qint64 TMboxReader::ScanMessage(qint64 start, qint64& next)
{
    // The start of the line before the current one when that line was empty.
    qint64 emptyStart = -1;
    TLine line;
    for (qint64 position = start; ReadLine(position, line); position = line.End) {
        if (line.Separator && emptyStart >= 0) {
            next = line.End;
            return emptyStart;
        }
        emptyStart = line.Empty ? line.Start : -1;
    }
    next = FSize;
    return emptyStart >= 0 ? emptyStart : FSize;
}

bool TMboxReader::ReadLine(qint64 start, TLine& line)
{
    if (start >= FSize)
        return false;
    Load(start, kFrom.size());
    const char* text = FBuffer.constData() + (start - FBufferStart);
    const qint64 held = FBufferStart + FBuffer.size() - start;
    line.Start = start;
    line.Separator = held >= kFrom.size() && std::memcmp(text, kFrom.constData(), kFrom.size()) == 0;
    line.Empty = text[0] == '\n' || (held >= 2 && text[0] == '\r' && text[1] == '\n');
    for (qint64 position = start;;) {
        Load(position, 1);
        const qint64 offset = position - FBufferStart;
        const char* from = FBuffer.constData() + offset;
        if (const void* lf = std::memchr(from, '\n', static_cast<size_t>(FBuffer.size() - offset))) {
            line.End = position + (static_cast<const char*>(lf) - from) + 1;
            return true;
        }
        position = FBufferStart + FBuffer.size();
        if (position >= FSize) {
            line.End = FSize;
            return true;
        }
    }
}

void TMboxReader::Load(qint64 position, qint64 count)
{
    const qint64 bufferEnd = FBufferStart + FBuffer.size();
    if (position >= FBufferStart && position < bufferEnd && (position + count <= bufferEnd || bufferEnd == FSize))
        return;
    const qint64 size = std::min(std::max(count, kMailboxBufferSize), FSize - position);
    FBuffer.resize(size);
    FFile.SetPosition(position);
    ReadFully(FFile, FBuffer.data(), size);
    FBufferStart = position;
}

QByteArray TMboxReader::ReadRange(qint64 start, qint64 end)
{
    QByteArray bytes(end - start, Qt::Uninitialized);
    FFile.SetPosition(start);
    ReadFully(FFile, bytes.data(), bytes.size());
    return bytes;
}
