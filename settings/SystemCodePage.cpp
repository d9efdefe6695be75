#include "settings/SystemCodePage.h"

#include "settings/CodePages.h"

#include <atomic>

namespace {

constexpr unsigned kFallbackCodePage = 1252;

std::atomic<unsigned> gSystemCodePage{0};

unsigned Usable(unsigned codePage)
{
    return CodePageAvailable(codePage) ? codePage : kFallbackCodePage;
}

// $VELLUMO_CODEPAGE as a number, 0 when unset or not a number.
unsigned CodePageFromEnvironment()
{
    bool ok = false;
    const unsigned value = qEnvironmentVariable("VELLUMO_CODEPAGE").trimmed().toUInt(&ok);
    return ok ? value : 0;
}

} // namespace

unsigned CodePageForLocale(const QLocale& locale)
{
    const bool cyrillic = locale.script() == QLocale::CyrillicScript;
    switch (locale.language()) {
    case QLocale::Czech:
    case QLocale::Slovak:
    case QLocale::Polish:
    case QLocale::Hungarian:
    case QLocale::Slovenian:
    case QLocale::Croatian:
    case QLocale::Romanian:
    case QLocale::Albanian:
    case QLocale::LowerSorbian:
    case QLocale::UpperSorbian:
        return 1250;
    case QLocale::Bosnian:
    case QLocale::Serbian:
        return cyrillic ? 1251 : 1250;
    case QLocale::Russian:
    case QLocale::Ukrainian:
    case QLocale::Belarusian:
    case QLocale::Bulgarian:
    case QLocale::Macedonian:
    case QLocale::Kazakh:
    case QLocale::Kyrgyz:
    case QLocale::Tatar:
    case QLocale::Mongolian:
    case QLocale::Bashkir:
    case QLocale::Sakha:
    case QLocale::Tajik:
        return 1251;
    case QLocale::Greek:
        return 1253;
    case QLocale::Turkish:
        return 1254;
    case QLocale::Azerbaijani:
    case QLocale::Uzbek:
        return cyrillic ? 1251 : 1254;
    case QLocale::Hebrew:
    case QLocale::Yiddish:
        return 1255;
    case QLocale::Arabic:
    case QLocale::Persian:
    case QLocale::Urdu:
    case QLocale::Uyghur:
        return 1256;
    case QLocale::Lithuanian:
    case QLocale::Latvian:
    case QLocale::Estonian:
        return 1257;
    case QLocale::Vietnamese:
        return 1258;
    case QLocale::Thai:
        return 874;
    case QLocale::Japanese:
        return 932;
    case QLocale::Chinese:
        return locale.script() == QLocale::TraditionalHanScript ? 950 : 936;
    case QLocale::Korean:
        return 949;
    default:
        return kFallbackCodePage;
    }
}

unsigned SystemCodePage()
{
    unsigned codePage = gSystemCodePage.load(std::memory_order_relaxed);
    if (codePage != 0)
        return codePage;
    codePage = CodePageFromEnvironment();
    if (codePage == 0 || !CodePageAvailable(codePage))
        codePage = Usable(CodePageForLocale(QLocale()));
    gSystemCodePage.store(codePage, std::memory_order_relaxed);
    return codePage;
}

void SetSystemCodePage(unsigned codePage)
{
    gSystemCodePage.store(codePage == 0 ? 0 : Usable(codePage), std::memory_order_relaxed);
}

QString DecodeSystemText(QByteArrayView bytes)
{
    return CodePageToUnicode(bytes, SystemCodePage());
}

QByteArray EncodeSystemText(QStringView text)
{
    return UnicodeToCodePage(text, SystemCodePage());
}
