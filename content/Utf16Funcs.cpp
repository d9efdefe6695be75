#include "content/Utf16Funcs.h"

#include "content/CharsetConvertors.h"
#include "settings/CodePages.h"
#include "content/RusCharSets.h"
#include "settings/SystemCodePage.h"
#include "content/UnicodeCoders.h"
#include "settings/CharsetSwitches.h"

#include <array>
#include <vector>

namespace {

enum class TConversionKind { System, SingleByte, Utf8, Utf16, CodePage };

struct TConversion
{
    TConversionKind Kind = TConversionKind::System;
    TSingleByteCharset SingleByte = TSingleByteCharset::Iso8859_2;
    unsigned CodePage = 0;
};

struct TConverterRow
{
    const char* Canonical;
    TConversion Conversion;
};

constexpr TConversion Single(TSingleByteCharset charset)
{
    return {TConversionKind::SingleByte, charset, 0};
}

constexpr TConversion Page(unsigned codePage)
{
    return {TConversionKind::CodePage, TSingleByteCharset::Iso8859_2, codePage};
}

// The groups that have a converter, by canonical name; every other group
// converts through the system code page.
const TConverterRow kConverterRows[] = {
    {"ISO-8859-2", Single(TSingleByteCharset::Iso8859_2)},
    {"ISO-8859-3", Single(TSingleByteCharset::Iso8859_3)},
    {"ISO-8859-4", Single(TSingleByteCharset::Iso8859_4)},
    {"ISO-8859-5", Single(TSingleByteCharset::Iso8859_5)},
    {"ISO-8859-6", Single(TSingleByteCharset::Iso8859_6)},
    {"ISO-8859-7", Single(TSingleByteCharset::Iso8859_7)},
    {"ISO-8859-8", Single(TSingleByteCharset::Iso8859_8)},
    {"ISO-8859-9", Single(TSingleByteCharset::Iso8859_9)},
    {"latin6", Single(TSingleByteCharset::Iso8859_10)},
    {"ISO-8859-13", Single(TSingleByteCharset::Iso8859_13)},
    {"ISO-8859-14", Single(TSingleByteCharset::Iso8859_14)},
    {"ISO-8859-15", Single(TSingleByteCharset::Iso8859_15)},
    {"csKOI8R", Single(TSingleByteCharset::Koi8R)},
    // KOI8-U is read with the KOI8-R table.
    {"KOI8-U", Single(TSingleByteCharset::Koi8R)},
    {"UTF-7", Page(65000)},
    {"UTF-16", {TConversionKind::Utf16, TSingleByteCharset::Iso8859_2, 0}},
    {"UTF-8", {TConversionKind::Utf8, TSingleByteCharset::Iso8859_2, 0}},
    {"windows-1250", Page(1250)},
    {"windows-1251", Page(1251)},
    {"windows-1252", Page(1252)},
    {"windows-1253", Page(1253)},
    {"windows-1254", Page(1254)},
    {"windows-1255", Page(1255)},
    {"windows-1256", Page(1256)},
    {"windows-1257", Page(1257)},
    {"windows-1258", Page(1258)},
    // Mail labelled "ks_c_5601-1987" carries 8-bit Korean text (the unified
    // Hangul code page), not the 7-bit ISO-2022-KR form.
    {"KS_C_5601-1987", Page(949)},
    {"csISO2022KR", Page(50225)},
    {"csEUCKR", Page(51949)},
    {"csISO2022JP", Page(50220)},
    {"csISO2022JP2", Page(50221)},
    {"JIS_C6220-1969-jp", Page(50930)},
    {"JIS_C6226-1983", Page(20932)},
    {"JIS_X0201", Page(50222)},
    {"csShiftJIS", Page(932)},
    {"Windows-31J", Page(932)},
    {"EUC-JP", Page(51932)},
};

// The conversion of every canonical identifier, built once.
const std::vector<TConversion>& Conversions()
{
    static const std::vector<TConversion> table = [] {
        std::vector<TConversion> all(static_cast<std::size_t>(CharsetNameCount()) + 1);
        for (const TConverterRow& row : kConverterRows)
            all[CharsetFromName(QString::fromLatin1(row.Canonical))] = row.Conversion;
        return all;
    }();
    return table;
}

TConversion ConversionOf(CharsetId id)
{
    const std::vector<TConversion>& all = Conversions();
    const CharsetId canonical = CanonicalCharset(id);
    TConversion conversion = canonical < all.size() ? all[canonical] : TConversion{};
    // A code page the platform lacks falls back to plain conversion.
    if (conversion.Kind == TConversionKind::CodePage && !CodePageAvailable(conversion.CodePage))
        conversion.Kind = TConversionKind::System;
    return conversion;
}

// The charset dialog's list, by the names it shows.
constexpr std::array<const char*, 37> kChoiceNames = {
    "US-ASCII",     "ISO-8859-1",   "ISO-8859-2",   "ISO-8859-3",   "ISO-8859-4",   "ISO-8859-5",
    "ISO-8859-6",   "ISO-8859-7",   "ISO-8859-8",   "ISO-8859-9",   "ISO-8859-10",  "ISO-8859-13",
    "ISO-8859-14",  "ISO-8859-15",  "windows-1250", "windows-1251", "windows-1252", "windows-1253",
    "windows-1254", "windows-1255", "windows-1256", "windows-1257", "windows-1258", "KOI8-R",
    "KOI8-U",       "UTF-7",        "UTF-8",        "csShiftJIS",   "csISO2022JP",  "csISO2022JP2",
    "JIS_X0201",    "katakana",     "EUC-JP",       "JIS_C6226-1983", "korean",     "csISO2022KR",
    "csEUCKR",
};

} // namespace

QString DecodeCharsetText(QByteArrayView bytes, CharsetId id)
{
    if (bytes.isEmpty())
        return {};
    const TConversion conversion = id == 0 ? TConversion{} : ConversionOf(id);
    switch (conversion.Kind) {
    case TConversionKind::SingleByte:
        return DecodeSingleByte(bytes, conversion.SingleByte);
    case TConversionKind::Utf8:
        return DecodeUtf8(bytes);
    case TConversionKind::Utf16:
        return DecodeUtf16Le(bytes);
    case TConversionKind::CodePage:
        return CodePageToUnicode(bytes, conversion.CodePage);
    case TConversionKind::System:
        break;
    }
    return DecodeSystemText(bytes);
}

QByteArray EncodeCharsetText(QStringView text, CharsetId id)
{
    if (text.isEmpty())
        return {};
    const TConversion conversion = id == 0 ? TConversion{} : ConversionOf(id);
    switch (conversion.Kind) {
    case TConversionKind::SingleByte:
        return EncodeSingleByte(text, conversion.SingleByte);
    case TConversionKind::Utf8:
        return EncodeUtf8(text);
    case TConversionKind::Utf16:
        return EncodeUtf16Le(text);
    case TConversionKind::CodePage:
        return UnicodeToCodePage(text, conversion.CodePage);
    case TConversionKind::System:
        break;
    }
    return EncodeSystemText(text);
}

QString DecodeTextByName(QByteArrayView bytes, const QString& label)
{
    if (bytes.isEmpty() || label.isEmpty())
        return DecodeSystemText(bytes);
    return DecodeCharsetText(bytes, CharsetFromName(NormalizeCharsetName(label)));
}

QString DecodeBodyText(QByteArrayView bytes, CharsetId id)
{
    QString text = DecodeCharsetText(bytes, id);
    if (AutoRusEnabled() && !text.isEmpty())
        text = RussianRedetect(text);
    return text;
}

CharsetId DefaultCharsetForLocale(const QLocale& locale)
{
    const char* name = "ISO-8859-1";
    switch (locale.language()) {
    case QLocale::Arabic: name = "ISO-8859-6"; break;
    case QLocale::Greek: name = "ISO-8859-7"; break;
    case QLocale::Hebrew: name = "ISO-8859-8"; break;
    case QLocale::Chinese:
        name = locale.script() == QLocale::TraditionalHanScript ? "Big5" : "GB2312";
        break;
    case QLocale::Japanese: name = "ISO-2022-JP"; break;
    case QLocale::Korean: name = "EUC-KR"; break;
    case QLocale::Russian: name = "KOI8-R"; break;
    case QLocale::Ukrainian: name = "windows-1251"; break;
    default: break;
    }
    return CharsetFromName(QString::fromLatin1(name));
}

CharsetId DefaultMessageCharset()
{
    return DefaultCharsetForLocale(QLocale());
}

void FillCharsetChoices(QStringList& list)
{
    list.clear();
    for (const char* name : kChoiceNames)
        list.append(QString::fromLatin1(name));
}

int CharsetChoiceIndex(CharsetId id)
{
    const CharsetId canonical = CanonicalCharset(id);
    if (canonical == 0)
        return -1;
    for (std::size_t i = 0; i < kChoiceNames.size(); ++i) {
        if (CanonicalCharset(CharsetFromName(QString::fromLatin1(kChoiceNames[i]))) == canonical)
            return static_cast<int>(i);
    }
    return -1;
}

CharsetId CharsetChoiceAt(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= kChoiceNames.size())
        return 0;
    return CharsetFromName(QString::fromLatin1(kChoiceNames[static_cast<std::size_t>(index)]));
}
