#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class TSpellChecker;
class TSpellText;

// One interactive check of a text, from the caret to the end: each word is
// tested for a repeat of the word before it and for its spelling, each
// word end for doubled spaces; the checker's events decide, and the text
// is edited as they answer.
class TSpellPass
{
public:
    TSpellPass(TSpellChecker& checker, TSpellText& text);
    // True when the check reached the end of the text.
    bool Run();

private:
    struct TWord
    {
        qsizetype Start;
        qsizetype End; // after the last character
        QString Text;
    };
    struct TRange
    {
        qsizetype Start;
        qsizetype Count;
    };
    enum class TOutcome { Continue, Restart, Stop };

    // Characters are read in chunks of at most this many.
    static constexpr qsizetype kChunk = 32;

    [[nodiscard]] qsizetype ScanForward(qsizetype position, const std::function<bool(QChar)>& test) const;
    [[nodiscard]] qsizetype ScanBack(qsizetype position, const std::function<bool(QChar)>& test) const;
    [[nodiscard]] TWord WordAt(qsizetype position) const;

    TOutcome CheckRepeat(const TWord& word, qsizetype& restart);
    TOutcome CheckSpelling(const TWord& word, qsizetype& scan);
    TOutcome CheckSpaces(qsizetype scan);
    // Deletes the repeated word with the blanks after it (at the end of a
    // line, those before it); returns where the deletion was.
    qsizetype DeleteRepeat(const TWord& word);
    // Carries out the answer to a misspelled word; returns where the check goes on.
    qsizetype Answer(int answer, const TWord& word, const QString& key, const QString& replacement);
    [[nodiscard]] TRange KeyRangeInWord(const TWord& word, const QString& key) const;
    [[nodiscard]] std::vector<TRange> WholeWordOccurrences(const QString& key, const TRange& skip) const;
    // Replaces the ranges (sorted, disjoint) by the replacement, the last
    // first; returns `position` moved by the replacements before it.
    qsizetype ReplaceRanges(const std::vector<TRange>& ranges, const QString& replacement, qsizetype position);
    void Replace(qsizetype start, qsizetype count, const QString& replacement);

    TSpellChecker& FChecker;
    TSpellText& FText;
    std::optional<TWord> FPrevious;
};
