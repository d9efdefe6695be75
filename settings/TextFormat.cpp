#include "settings/TextFormat.h"

#include <QLocale>

#include <optional>

namespace {

struct TPlaceholder
{
    int Index = -1; // explicit argument index, -1 for the next one
    bool LeftAlign = false;
    int Width = -1;
    int Precision = -1;
    QChar Type;
    qsizetype End = 0; // position after the placeholder
};

// Reads a run of digits at `pos`; -1 when there is none.
int ReadNumber(const QString& text, qsizetype& pos)
{
    int value = -1;
    while (pos < text.size() && text[pos].isDigit() && value < 100000)
        value = (value < 0 ? 0 : value * 10) + text[pos++].digitValue();
    return value;
}

// Parses the placeholder that starts with the "%" at `start`.
std::optional<TPlaceholder> ParsePlaceholder(const QString& text, qsizetype start)
{
    TPlaceholder placeholder;
    qsizetype pos = start + 1;
    const qsizetype numberStart = pos;
    const int leading = ReadNumber(text, pos);
    if (leading >= 0 && pos < text.size() && text[pos] == QLatin1Char(':')) {
        placeholder.Index = leading;
        ++pos;
    } else {
        pos = numberStart;
    }
    if (pos < text.size() && text[pos] == QLatin1Char('-')) {
        placeholder.LeftAlign = true;
        ++pos;
    }
    placeholder.Width = ReadNumber(text, pos);
    if (pos < text.size() && text[pos] == QLatin1Char('.')) {
        ++pos;
        placeholder.Precision = ReadNumber(text, pos);
    }
    if (pos >= text.size())
        return std::nullopt;
    placeholder.Type = text[pos].toLower();
    placeholder.End = pos + 1;
    if (!QStringLiteral("duxefgnmsp").contains(placeholder.Type))
        return std::nullopt;
    return placeholder;
}

QString Integer(const QVariant& arg, const TPlaceholder& placeholder, bool upperHex)
{
    bool ok = false;
    const qlonglong value = arg.toLongLong(&ok);
    if (!ok)
        return arg.toString();
    QString digits;
    if (placeholder.Type == QLatin1Char('x') || placeholder.Type == QLatin1Char('p')) {
        // A negative number shows as its 32-bit two's complement.
        digits = QString::number(value < 0 ? static_cast<qulonglong>(static_cast<quint32>(value)) : static_cast<qulonglong>(value), 16);
        if (upperHex || placeholder.Type == QLatin1Char('p'))
            digits = digits.toUpper();
    } else if (placeholder.Type == QLatin1Char('u')) {
        digits = QString::number(static_cast<qulonglong>(static_cast<quint32>(value)));
    } else {
        digits = QString::number(value < 0 ? -value : value);
    }
    const int minimum = placeholder.Type == QLatin1Char('p') ? 8 : placeholder.Precision;
    if (minimum > digits.size())
        digits = QString(minimum - digits.size(), QLatin1Char('0')) + digits;
    return (value < 0 && placeholder.Type == QLatin1Char('d')) ? QLatin1Char('-') + digits : digits;
}

QString Number(const QVariant& arg, const TPlaceholder& placeholder)
{
    bool ok = false;
    const double value = arg.toDouble(&ok);
    if (!ok)
        return arg.toString();
    const int precision = placeholder.Precision >= 0 ? placeholder.Precision : 2;
    const QLocale locale;
    switch (placeholder.Type.unicode()) {
    case 'e': return QString::number(value, 'E', placeholder.Precision >= 0 ? placeholder.Precision : 15);
    case 'g': return locale.toString(value, 'g', placeholder.Precision >= 0 ? placeholder.Precision : 15);
    case 'n':
    case 'm': return locale.toString(value, 'f', precision);
    default: return QString::number(value, 'f', precision).replace(QLatin1Char('.'), locale.decimalPoint());
    }
}

QString Render(const QVariant& arg, const TPlaceholder& placeholder, bool upperHex)
{
    QString text;
    switch (placeholder.Type.unicode()) {
    case 'd':
    case 'u':
    case 'x':
    case 'p': text = Integer(arg, placeholder, upperHex); break;
    case 's':
        text = arg.toString();
        if (placeholder.Precision >= 0)
            text.truncate(placeholder.Precision);
        break;
    default: text = Number(arg, placeholder); break;
    }
    if (placeholder.Width > text.size()) {
        const QString padding(placeholder.Width - text.size(), QLatin1Char(' '));
        text = placeholder.LeftAlign ? text + padding : padding + text;
    }
    return text;
}

} // namespace

QString FormatArgs(const QString& format, const QVariantList& args)
{
    QString result;
    result.reserve(format.size());
    int next = 0;
    qsizetype pos = 0;
    while (pos < format.size()) {
        const qsizetype percent = format.indexOf(QLatin1Char('%'), pos);
        if (percent < 0) {
            result += QStringView(format).mid(pos);
            break;
        }
        result += QStringView(format).mid(pos, percent - pos);
        if (percent + 1 < format.size() && format[percent + 1] == QLatin1Char('%')) {
            result += QLatin1Char('%');
            pos = percent + 2;
            continue;
        }
        const std::optional<TPlaceholder> placeholder = ParsePlaceholder(format, percent);
        const int index = placeholder ? (placeholder->Index >= 0 ? placeholder->Index : next) : -1;
        if (!placeholder || index >= args.size()) {
            // Kept as written: a translator's slip must not lose the text.
            result += QLatin1Char('%');
            pos = percent + 1;
            continue;
        }
        const bool upperHex = format[placeholder->End - 1] == QLatin1Char('X');
        result += Render(args[index], *placeholder, upperHex);
        next = index + 1;
        pos = placeholder->End;
    }
    return result;
}
