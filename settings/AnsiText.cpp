#include "settings/AnsiText.h"

#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

// The UTF-16 form that matches QString's storage on this machine.
constexpr const char* kHostUtf16 = (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) ? "UTF-16LE" : "UTF-16BE";

QByteArray IconvName(int codePage)
{
    switch (codePage) {
    case 65001: return QByteArrayLiteral("UTF-8");
    case 65000: return QByteArrayLiteral("UTF-7");
    case 1200: return QByteArrayLiteral("UTF-16LE");
    case 1201: return QByteArrayLiteral("UTF-16BE");
    case 20127: return QByteArrayLiteral("ASCII");
    case 20866: return QByteArrayLiteral("KOI8-R");
    case 21866: return QByteArrayLiteral("KOI8-U");
    case 20932:
    case 51932: return QByteArrayLiteral("EUC-JP");
    case 50220:
    case 50221:
    case 50222: return QByteArrayLiteral("ISO-2022-JP");
    case 50225: return QByteArrayLiteral("ISO-2022-KR");
    case 51949: return QByteArrayLiteral("EUC-KR");
    case 54936: return QByteArrayLiteral("GB18030");
    case 10000: return QByteArrayLiteral("MACINTOSH");
    case 10007: return QByteArrayLiteral("MACCYRILLIC");
    default: break;
    }
    if (codePage >= 28591 && codePage <= 28606)
        return "ISO-8859-" + QByteArray::number(codePage - 28590);
    return "CP" + QByteArray::number(codePage);
}

// An iconv descriptor that closes itself.
class TIconv
{
public:
    TIconv(const char* to, const char* from) : FHandle(iconv_open(to, from)) {}
    ~TIconv()
    {
        if (Valid())
            iconv_close(FHandle);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    [[nodiscard]] bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
    [[nodiscard]] iconv_t Handle() const { return FHandle; }

private:
    iconv_t FHandle;
};

// How many input bytes one unconvertible character takes: one byte of
// 8-bit input, or one UTF-16 unit (two for a surrogate pair).
size_t SkipLength(const char* in, size_t inLeft, qsizetype unit)
{
    if (unit == 1 || inLeft < 4)
        return std::min(inLeft, static_cast<size_t>(unit));
    char16_t first;
    std::memcpy(&first, in, sizeof first);
    return QChar::isHighSurrogate(first) ? 4 : 2;
}

// Runs the conversion over the whole input. At a sequence that does not
// convert, `replacement` is appended and `skipUnit` input bytes are skipped,
// so that one bad byte never loses the rest of the text.
QByteArray Convert(TIconv& converter, QByteArrayView input, QByteArrayView replacement, qsizetype skipUnit)
{
    QByteArray output;
    output.reserve(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = static_cast<size_t>(input.size());
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter.Handle(), &in, &inLeft, &out, &outLeft);
        const int error = errno;
        output.append(buffer, static_cast<qsizetype>(out - buffer));
        if (result != static_cast<size_t>(-1) || error == E2BIG)
            continue;
        // EILSEQ or EINVAL (a truncated sequence at the end): replace and go on.
        output.append(replacement);
        const size_t skip = SkipLength(in, inLeft, skipUnit);
        in += skip;
        inLeft -= skip;
        iconv(converter.Handle(), nullptr, nullptr, nullptr, nullptr);
    }
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    iconv(converter.Handle(), nullptr, nullptr, &out, &outLeft);
    output.append(buffer, static_cast<qsizetype>(out - buffer));
    return output;
}

int ComputeAnsiCodePage()
{
    bool ok = false;
    const int forced = qEnvironmentVariableIntValue("VELLUMO_CODEPAGE", &ok);
    if (ok && forced > 0)
        return forced;
    return CodePageForLocale(QLocale::system().name());
}

} // namespace

int CodePageForLocale(const QString& localeName)
{
    const QLocale locale(localeName);
    switch (locale.language()) {
    case QLocale::Russian:
    case QLocale::Ukrainian:
    case QLocale::Belarusian:
    case QLocale::Bulgarian:
    case QLocale::Macedonian:
    case QLocale::Kazakh:
    case QLocale::Kyrgyz:
    case QLocale::Mongolian:
    case QLocale::Tatar:
        return 1251;
    case QLocale::Serbian:
        return locale.script() == QLocale::LatinScript ? 1250 : 1251;
    case QLocale::Greek: return 1253;
    case QLocale::Turkish:
    case QLocale::Azerbaijani: return 1254;
    case QLocale::Hebrew:
    case QLocale::Yiddish: return 1255;
    case QLocale::Arabic:
    case QLocale::Persian:
    case QLocale::Urdu: return 1256;
    case QLocale::Estonian:
    case QLocale::Latvian:
    case QLocale::Lithuanian: return 1257;
    case QLocale::Vietnamese: return 1258;
    case QLocale::Polish:
    case QLocale::Czech:
    case QLocale::Slovak:
    case QLocale::Hungarian:
    case QLocale::Slovenian:
    case QLocale::Croatian:
    case QLocale::Romanian:
    case QLocale::Albanian:
    case QLocale::Bosnian: return 1250;
    case QLocale::Japanese: return 932;
    case QLocale::Korean: return 949;
    case QLocale::Thai: return 874;
    case QLocale::Chinese:
        return (locale.script() == QLocale::TraditionalChineseScript) ? 950 : 936;
    default: return 1252;
    }
}

int AnsiCodePage()
{
    static const int codePage = ComputeAnsiCodePage();
    return codePage;
}

QString DecodeAnsiText(QByteArrayView bytes, int codePage)
{
    if (bytes.isEmpty())
        return {};
    for (const int candidate : {codePage == 0 ? AnsiCodePage() : codePage, AnsiCodePage()}) {
        TIconv converter(kHostUtf16, IconvName(candidate).constData());
        if (!converter.Valid())
            continue;
        const char16_t replacement = 0xFFFD;
        const QByteArray utf16 = Convert(converter, bytes, QByteArrayView(reinterpret_cast<const char*>(&replacement), 2), 1);
        return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
    }
    return QString::fromLatin1(bytes.data(), bytes.size());
}

QByteArray EncodeAnsiText(QStringView text, int codePage)
{
    if (text.isEmpty())
        return {};
    const QByteArrayView input(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    for (const int candidate : {codePage == 0 ? AnsiCodePage() : codePage, AnsiCodePage()}) {
        TIconv converter(IconvName(candidate).constData(), kHostUtf16);
        if (converter.Valid())
            return Convert(converter, input, "?", 2);
    }
    return text.toLatin1();
}

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
    return DecodeAnsiText(bytes, codePage);
}
