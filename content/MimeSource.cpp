#include "content/MimeSource.h"

#include "base/FastMemoryStream.h"
#include "content/GMimeHandle.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr qint64 kChunk = 64 * 1024;

// The first line's length and its line-end length, for estimating how many
// line ends a base64 or uuencoded text holds; no line end: the whole text.
struct TLineLayout
{
    qint64 Length = 0;
    qint64 EndLength = 0;
};

TLineLayout FirstLine(TSourceView& view)
{
    char head[1024];
    const qint64 count = view.Read(head, sizeof head);
    const char* newline = static_cast<const char*>(std::memchr(head, '\n', static_cast<size_t>(count)));
    if (!newline)
        return {count, 0};
    const qint64 length = newline - head + 1;
    return {length, length >= 2 && head[length - 2] == '\r' ? 2 : 1};
}

// The "=" padding at the end of base64 text (line ends and blanks skipped).
int Padding(TSourceView& view)
{
    const qint64 size = view.Size();
    char tail[16];
    view.SetPosition(std::max<qint64>(0, size - static_cast<qint64>(sizeof tail)));
    const qint64 count = view.Read(tail, sizeof tail);
    int padding = 0;
    for (qint64 i = count - 1; i >= 0 && padding < 2; --i) {
        if (tail[i] == '=')
            ++padding;
        else if (tail[i] != '\r' && tail[i] != '\n' && tail[i] != ' ' && tail[i] != '\t')
            break;
    }
    return padding;
}

} // namespace

TSourceView::TSourceView(TSharedSource source, qint64 start, qint64 end)
    : FSource(std::move(source))
{
    const qint64 size = FSource ? const_cast<TFastMemoryStream&>(*FSource).Size() : 0;
    FEnd = end < 0 || end > size ? size : end;
    FStart = std::clamp<qint64>(start, 0, FEnd);
}

qint64 TSourceView::Read(void* buffer, qint64 count)
{
    const qint64 wanted = std::min(count, Size() - FPosition);
    if (wanted <= 0)
        return 0;
    // Block by block, through the source's constant accessors: the
    // source's own position stays untouched.
    const qint64 blockSize = FSource->BlockSize();
    auto* out = static_cast<char*>(buffer);
    for (qint64 done = 0; done < wanted;) {
        const qint64 at = FStart + FPosition + done;
        const qint64 offset = at % blockSize;
        const qint64 piece = std::min(wanted - done, blockSize - offset);
        std::memcpy(out + done, FSource->Block(static_cast<int>(at / blockSize)) + offset, static_cast<size_t>(piece));
        done += piece;
    }
    FPosition += wanted;
    return wanted;
}

qint64 TSourceView::Write(const void*, qint64)
{
    throw EWriteError(QStringLiteral("Stream write error"));
}

qint64 TSourceView::Seek(qint64 offset, TSeekOrigin origin)
{
    FPosition = std::max<qint64>(0, SeekTarget(FPosition, Size(), offset, origin));
    return FPosition;
}

void TSourceView::SetSize(qint64)
{
    throw EWriteError(QStringLiteral("Stream write error"));
}

TDeferredContent::TDeferredContent(TSharedSource source, qint64 start, qint64 end, const QByteArray& encoding)
    : FSource(std::move(source))
    , FStart(start)
    , FEnd(std::max(start, end))
{
    EnsureGMimeInitialized();
    FEncoding = g_mime_content_encoding_from_string(encoding.trimmed().constData());
}

void TDeferredContent::DecodeInto(TStream& target) const
{
    TSourceView view(FSource, FStart, FEnd);
    const bool coded = FEncoding == GMIME_CONTENT_ENCODING_BASE64 || FEncoding == GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE ||
                       FEncoding == GMIME_CONTENT_ENCODING_UUENCODE;
    std::vector<char> buffer(static_cast<std::size_t>(kChunk));
    if (!coded) {
        for (qint64 read; (read = view.Read(buffer.data(), kChunk)) > 0;)
            target.WriteBuffer(buffer.data(), read);
        return;
    }
    const auto filter = TGObjectHandle<GMimeFilter>::Adopt(
        g_mime_filter_basic_new(static_cast<GMimeContentEncoding>(FEncoding), FALSE));
    char* out = nullptr;
    size_t outLength = 0;
    size_t outPrespace = 0;
    for (qint64 read; (read = view.Read(buffer.data(), kChunk)) > 0;) {
        g_mime_filter_filter(filter.Get(), buffer.data(), static_cast<size_t>(read), 0, &out, &outLength, &outPrespace);
        target.WriteBuffer(out, static_cast<qint64>(outLength));
    }
    g_mime_filter_complete(filter.Get(), buffer.data(), 0, 0, &out, &outLength, &outPrespace);
    target.WriteBuffer(out, static_cast<qint64>(outLength));
}

qint64 TDeferredContent::EstimatedSize() const
{
    const qint64 encoded = EncodedSize();
    if (encoded == 0 || (FEncoding != GMIME_CONTENT_ENCODING_BASE64 && FEncoding != GMIME_CONTENT_ENCODING_UUENCODE))
        return encoded;
    TSourceView view(FSource, FStart, FEnd);
    const TLineLayout line = FirstLine(view);
    const qint64 lines = line.Length > 0 ? (encoded + line.Length - 1) / line.Length : 1;
    const qint64 characters = std::max<qint64>(0, encoded - lines * line.EndLength);
    if (FEncoding == GMIME_CONTENT_ENCODING_UUENCODE)
        return std::max<qint64>(0, (characters - lines) * 3 / 4);   // each line also spends a length character
    return std::max<qint64>(0, characters / 4 * 3 - Padding(view));
}
