#include "content/view/BodyLines.h"

#include "content/filters/AdvertismentFilters.h"
#include "content/view/ViewOptions.h"

#include <QRegularExpression>

#include <algorithm>

QStringList SplitLines(const QString& text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    return text.split(lineEnd);
}

void DeleteDoubleReturns(QStringList& lines)
{
    // One pass, so that a body of many empty lines costs no more than others.
    const auto bothEmpty = [](const QString& a, const QString& b) { return a.isEmpty() && b.isEmpty(); };
    lines.erase(std::unique(lines.begin(), lines.end(), bothEmpty), lines.end());
}

bool IsQuoteLine(const QString& line)
{
    const qsizetype first = line.indexOf(QLatin1Char('>'));
    return first >= 0 && first + 1 <= line.size() / 3;
}

void ApplyFilters(QStringList& lines, const TViewOptions& options)
{
    if (options.GreetingFilter)
        ApplyGreetingFilter(lines);
    if (options.AdvertismentFilter)
        ApplyAdvertismentFilter(lines, options.AdSamples, options.AdvertismentLevel);
}

TShownBody ShownBody(const QString& text, const TViewOptions& options, bool editable)
{
    TShownBody shown;
    if (text.isEmpty())
        return shown;
    shown.Lines = SplitLines(text);
    if (editable)
        return shown;
    if (options.DeleteDoubleReturn)
        DeleteDoubleReturns(shown.Lines);
    ApplyFilters(shown.Lines, options);
    if (options.MarkQuote) {
        shown.Italic.reserve(shown.Lines.size());
        for (const QString& line : std::as_const(shown.Lines))
            shown.Italic.append(!line.isEmpty() && IsQuoteLine(line));
    }
    return shown;
}
