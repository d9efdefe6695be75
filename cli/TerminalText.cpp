#include "cli/TerminalText.h"

#include "content/MesgUtils.h"

namespace {

constexpr QChar kReplacement = QChar(0xFFFD);

} // namespace

QString TerminalText(const QString& text, bool multiline)
{
    QString result;
    result.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (multiline && (c == U'\n' || c == U'\t'))
            result += QChar(c);
        else if (c == U'\t')
            result += QLatin1Char(' ');
        else if (IsControlOrBidi(c))
            result += kReplacement;
        else
            result += QString::fromUcs4(&c, 1);
    }
    return result;
}

QString WithLineFeeds(const QString& text)
{
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}
