#include "settings/AnsiText.h"

#include "settings/CodePages.h"
#include "settings/SystemCodePage.h"

namespace {

QString Utf16Text(const QByteArray& bytes, bool bigEndian)
{
    const qsizetype units = (bytes.size() - 2) / 2;
    QString text(units, Qt::Uninitialized);
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData()) + 2;
    for (qsizetype i = 0; i < units; ++i) {
        const uchar first = data[2 * i];
        const uchar second = data[2 * i + 1];
        text[i] = QChar(bigEndian ? char16_t((first << 8) | second) : char16_t((second << 8) | first));
    }
    return text;
}

} // namespace

std::optional<QString> DecodeByteOrderMarked(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return Utf16Text(bytes, false);
    if (bytes.startsWith("\xFE\xFF"))
        return Utf16Text(bytes, true);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    return std::nullopt;
}

QString DecodeTextFile(const QByteArray& bytes, int codePage)
{
    if (std::optional<QString> text = DecodeByteOrderMarked(bytes))
        return *std::move(text);
    if (codePage > 0 && CodePageAvailable(static_cast<unsigned>(codePage)))
        return CodePageToUnicode(bytes, static_cast<unsigned>(codePage));
    return DecodeSystemText(bytes);
}
