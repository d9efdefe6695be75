#include "tests/content/ContentTestSupport.h"

#include "settings/SystemCodePage.h"
#include "settings/CharsetSwitches.h"

#include <cstdio>

void TContentTest::SetUp()
{
    SetSystemCodePage(1252);
    SetAutoRusEnabled(false);
    SetAutoRusHeaderEnabled(false);
}

void TContentTest::TearDown()
{
    SetSystemCodePage(0);
    SetAutoRusEnabled(false);
    SetAutoRusHeaderEnabled(false);
}

QString U(std::u16string_view units)
{
    return QString(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(units.size()));
}

CharsetId Id(const char* name)
{
    return CharsetFromName(QString::fromLatin1(name));
}

QByteArray Hex(const char* pairs)
{
    return QByteArray::fromHex(QByteArray(pairs));
}

std::string Units(const QString& text)
{
    std::string out;
    for (QChar c : text) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%04X ", c.unicode());
        out += buffer;
    }
    return out;
}

void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << "\" [" << Units(text) << ']';
}

void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << '[' << bytes.toHex(' ').toStdString() << ']';
}
