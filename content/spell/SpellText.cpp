#include "content/spell/SpellText.h"

#include <algorithm>

TStringSpellText::TStringSpellText(QString text, qsizetype caret)
    : FText(std::move(text))
{
    Select(caret, 0);
}

QString TStringSpellText::TextRange(qsizetype start, qsizetype count) const
{
    start = std::clamp<qsizetype>(start, 0, FText.size());
    return FText.mid(start, std::clamp<qsizetype>(count, 0, FText.size() - start));
}

void TStringSpellText::Select(qsizetype start, qsizetype count)
{
    FSelectionStart = std::clamp<qsizetype>(start, 0, FText.size());
    FSelectionLength = std::clamp<qsizetype>(count, 0, FText.size() - FSelectionStart);
}

void TStringSpellText::ReplaceSelection(const QString& text)
{
    FText.replace(FSelectionStart, FSelectionLength, text);
    FSelectionStart += text.size();
    FSelectionLength = 0;
}

QString TStringSpellText::LineText(qsizetype position) const
{
    position = std::clamp<qsizetype>(position, 0, FText.size());
    const qsizetype start = position == 0 ? 0 : FText.lastIndexOf(QLatin1Char('\n'), position - 1) + 1;
    qsizetype end = FText.indexOf(QLatin1Char('\n'), position);
    if (end < 0)
        end = FText.size();
    return FText.mid(start, end - start);
}
