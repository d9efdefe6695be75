#include "messages/MboxFormat.h"

#include "content/MesgUtils.h"

#include <string_view>

namespace {

const QByteArray kFrom = QByteArrayLiteral("From ");

bool EndsLine(char c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

// True when a line starting at `pos` reads ">" * n + "From " with n >= minQuotes.
bool IsFromLine(const QByteArray& text, qsizetype pos, int minQuotes)
{
    qsizetype p = pos;
    while (p < text.size() && text[p] == '>')
        ++p;
    return p - pos >= minQuotes && QByteArrayView(text).sliced(p).startsWith(kFrom);
}

// Where the line that starts at `pos` ends, its terminator included.
qsizetype LineEnd(const QByteArray& text, qsizetype pos)
{
    while (pos < text.size() && !EndsLine(text[pos]))
        ++pos;
    return pos < text.size() ? pos + 1 : pos;
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
    return kFrom + sender + ' ' + MailboxDate(sentDays).toLatin1();
}

TMboxWriter::TMboxWriter(TStream& file)
    : FStream(file, kMailboxBufferSize)
{
}

void TMboxWriter::Append(const QByteArray& sender, double sentDays, const QByteArray& source)
{
    if (FCount > 0)
        FStream.WriteBuffer("\r\n\r\n", 4);
    const QByteArray separator = MailboxSeparator(sender, sentDays) + "\r\n";
    FStream.WriteBuffer(separator.constData(), separator.size());
    const QByteArray quoted = QuoteFromLines(source);
    FStream.WriteBuffer(quoted.constData(), quoted.size());
    ++FCount;
}

void TMboxWriter::Flush()
{
    FStream.Flush();
}

TMboxReader::TMboxReader(TStream& file)
    : FStream(file, kMailboxBufferSize)
    , FSize(file.Size())
{
}

bool TMboxReader::Next(QByteArray& source)
{
    if (!FStarted) {
        FStarted = true;
        if (FSize == 0)
            return false;
        FStream.ReadLine();   // the first separator, whatever it says
    }
    // Another message follows while more than one byte is left after its separator.
    while (FStream.Position() < FSize - 1) {
        const qint64 start = FStream.Position();
        const qint64 end = ScanMessage(start);
        FPosition = FStream.Position();
        if (end > start) {
            source = UnquoteFromLines(ReadRange(start, end));
            return true;
        }
    }
    FPosition = FSize;
    return false;
}

qint64 TMboxReader::ScanMessage(qint64 start)
{
    // Text ends of the last two lines read, and whether the last one was empty.
    qint64 beforeLast = start;
    qint64 last = start;
    bool lastEmpty = false;
    while (FStream.Position() < FSize) {
        const qint64 lineStart = FStream.Position();
        const QByteArray line = FStream.ReadLine();
        if (lastEmpty && line.startsWith(kFrom))
            return beforeLast;
        beforeLast = last;
        last = lineStart + line.size();
        lastEmpty = line.isEmpty();
    }
    return FSize;
}

QByteArray TMboxReader::ReadRange(qint64 start, qint64 end)
{
    const qint64 resume = FStream.Position();
    QByteArray bytes(end - start, Qt::Uninitialized);
    FStream.Seek(start, TSeekOrigin::Begin);
    FStream.ReadBuffer(bytes.data(), bytes.size());
    FStream.Seek(resume, TSeekOrigin::Begin);
    return bytes;
}
