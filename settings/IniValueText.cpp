#include "settings/IniValueText.h"

#include <optional>

namespace {

const QChar kQuote = QLatin1Char('"');
const QChar kBackslash = QLatin1Char('\\');

bool IsQuoted(QStringView text)
{
    return text.size() >= 2 && text.front() == kQuote && text.back() == kQuote;
}

bool NeedsQuotes(const QString& value)
{
    for (const QChar c : value)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.isNull())
            return true;
    return IsQuoted(value);
}

// The character an escape stands for; none for a backslash before anything else.
std::optional<QChar> Escaped(QChar next)
{
    switch (next.unicode()) {
    case '\\':
        return kBackslash;
    case 'n':
        return QLatin1Char('\n');
    case 'r':
        return QLatin1Char('\r');
    case '0':
        return QChar(0);
    default:
        return std::nullopt;
    }
}

} // namespace

QString EncodeIniValue(const QString& value)
{
    if (!NeedsQuotes(value))
        return value;
    QString text(kQuote);
    text.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == kBackslash)
            text += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            text += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            text += QLatin1String("\\r");
        else if (c.isNull())
            text += QLatin1String("\\0");
        else
            text += c;
    }
    return text + kQuote;
}

QString DecodeIniValue(QStringView text)
{
    if (!IsQuoted(text))
        return text.toString();
    const QStringView inside = text.mid(1, text.size() - 2);
    QString value;
    value.reserve(inside.size());
    for (qsizetype i = 0; i < inside.size(); ++i) {
        const std::optional<QChar> escaped =
            inside[i] == kBackslash && i + 1 < inside.size() ? Escaped(inside[i + 1]) : std::nullopt;
        if (!escaped) {
            value += inside[i];
            continue;
        }
        value += *escaped;
        ++i;
    }
    return value;
}
