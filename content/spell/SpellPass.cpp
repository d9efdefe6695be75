#include "content/spell/SpellPass.h"

#include "content/spell/SpellChecker.h"
#include "content/spell/SpellText.h"
#include "content/spell/SpellWords.h"

#include <algorithm>

namespace {

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool IsWordBoundary(const QString& text, qsizetype position)
{
    return position < 0 || position >= text.size() || !text[position].isLetterOrNumber();
}

} // namespace

TSpellPass::TSpellPass(TSpellChecker& checker, TSpellText& text)
    : FChecker(checker)
    , FText(text)
{
}

bool TSpellPass::Run()
{
    qsizetype position = ScanForward(FText.CaretPosition(), [](QChar c) { return !IsWordChar(c); });
    while (position < FText.Length()) {
        const TWord word = WordAt(position);
        qsizetype scan = word.End;
        const TOutcome repeat = CheckRepeat(word, position);
        if (repeat == TOutcome::Stop)
            return false;
        if (repeat == TOutcome::Continue) {
            FPrevious = word;
            if (CheckSpelling(word, scan) == TOutcome::Stop || CheckSpaces(scan) == TOutcome::Stop)
                return false;
            position = scan;
        }
        position = ScanForward(position, [](QChar c) { return !IsWordChar(c); });
    }
    return true;
}

qsizetype TSpellPass::ScanForward(qsizetype position, const std::function<bool(QChar)>& test) const
{
    const qsizetype length = FText.Length();
    while (position < length) {
        const QString chunk = FText.TextRange(position, kChunk);
        if (chunk.isEmpty())
            break;
        for (const QChar c : chunk) {
            if (!test(c))
                return position;
            ++position;
        }
    }
    return std::min(position, length);
}

qsizetype TSpellPass::ScanBack(qsizetype position, const std::function<bool(QChar)>& test) const
{
    while (position > 0) {
        const qsizetype start = std::max<qsizetype>(0, position - kChunk);
        const QString chunk = FText.TextRange(start, position - start);
        for (qsizetype i = chunk.size(); i > 0; --i)
            if (!test(chunk[i - 1]))
                return start + i;
        position = start;
    }
    return 0;
}

TSpellPass::TWord TSpellPass::WordAt(qsizetype position) const
{
    const qsizetype start = ScanBack(position, IsWordChar);
    const qsizetype end = ScanForward(position, IsWordChar);
    return TWord{start, end, FText.TextRange(start, end - start)};
}

TSpellPass::TOutcome TSpellPass::CheckRepeat(const TWord& word, qsizetype& restart)
{
    if (!FChecker.DuplicateWords() || !FPrevious || !SameWord(FPrevious->Text, word.Text))
        return TOutcome::Continue;
    FText.Select(word.Start, word.End - word.Start);
    switch (FChecker.RepeatedWord(FText.TextRange(FPrevious->Start, word.End - FPrevious->Start))) {
    case TSpellAnswer::Stop:
        FText.Select(word.Start, 0);
        return TOutcome::Stop;
    case TSpellAnswer::Yes:
        restart = DeleteRepeat(word);
        return TOutcome::Restart;
    default:
        return TOutcome::Continue;
    }
}

qsizetype TSpellPass::DeleteRepeat(const TWord& word)
{
    qsizetype start = word.Start;
    const qsizetype end = ScanForward(word.End, IsBlank);
    if (end == word.End)
        start = std::max(ScanBack(word.Start, IsBlank), FPrevious->End);
    Replace(start, end - start, QString());
    return start;
}

TSpellPass::TOutcome TSpellPass::CheckSpelling(const TWord& word, qsizetype& scan)
{
    QString key;
    if (FChecker.IsWordCorrect(word.Text, key))
        return TOutcome::Continue;
    FText.Select(word.Start, word.End - word.Start);
    QString replacement;
    const int answer = FChecker.MisspelledWord(word.Text, replacement);
    if (answer == TSpellAnswer::Stop) {
        FText.Select(word.Start, 0);
        return TOutcome::Stop;
    }
    scan = Answer(answer, word, key, replacement);
    FText.Select(scan, 0);
    FPrevious.reset();
    return TOutcome::Continue;
}

qsizetype TSpellPass::Answer(int answer, const TWord& word, const QString& key, const QString& replacement)
{
    switch (answer) {
    case TSpellAnswer::IgnoreAll:
        FChecker.AddToIgnored(key);
        return word.End;
    case TSpellAnswer::Change:
        return ReplaceRanges({KeyRangeInWord(word, key)}, replacement, word.End);
    case TSpellAnswer::ChangeAll: {
        const TRange inWord = KeyRangeInWord(word, key);
        std::vector<TRange> ranges = WholeWordOccurrences(key, inWord);
        ranges.insert(std::upper_bound(ranges.begin(), ranges.end(), inWord,
                                       [](const TRange& a, const TRange& b) { return a.Start < b.Start; }),
                      inWord);
        return ReplaceRanges(ranges, replacement, word.End);
    }
    case TSpellAnswer::Add:
        FChecker.AddToCustom(key);
        return word.End;
    default: // Ignore, and answers that name no action
        return word.End;
    }
}

TSpellPass::TRange TSpellPass::KeyRangeInWord(const TWord& word, const QString& key) const
{
    const QString upper = UpperWord(word.Text);
    const qsizetype at = upper.size() == word.Text.size() ? upper.indexOf(key) : -1;
    if (at >= 0)
        return TRange{word.Start + at, key.size()};
    // The key lost characters inside the word (full stops, brackets): the
    // word without the punctuation around it is replaced.
    const QStringView core = WordCore(word.Text);
    return TRange{word.Start + (core.data() - word.Text.data()), core.size()};
}

std::vector<TSpellPass::TRange> TSpellPass::WholeWordOccurrences(const QString& key, const TRange& skip) const
{
    const QString text = FText.TextRange(0, FText.Length());
    std::vector<TRange> found;
    for (qsizetype at = text.indexOf(key, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(key, at + 1, Qt::CaseInsensitive)) {
        const bool overlapsSkip = at < skip.Start + skip.Count && skip.Start < at + key.size();
        if (overlapsSkip || !IsWordBoundary(text, at - 1) || !IsWordBoundary(text, at + key.size()))
            continue;
        if (!found.empty() && at < found.back().Start + found.back().Count)
            continue;
        found.push_back(TRange{at, key.size()});
    }
    return found;
}

qsizetype TSpellPass::ReplaceRanges(const std::vector<TRange>& ranges, const QString& replacement, qsizetype position)
{
    qsizetype moved = position;
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
        Replace(range->Start, range->Count, replacement);
        if (range->Start < position)
            moved += replacement.size() - range->Count;
    }
    return moved;
}

void TSpellPass::Replace(qsizetype start, qsizetype count, const QString& replacement)
{
    FText.Select(start, count);
    FText.ReplaceSelection(replacement);
}

TSpellPass::TOutcome TSpellPass::CheckSpaces(qsizetype scan)
{
    if (!FChecker.DuplicateSpaces() || FText.Length() - scan <= 2
        || FText.TextRange(scan, 2) != QStringLiteral("  "))
        return TOutcome::Continue;
    FText.Select(scan, 0);
    switch (FChecker.DoubleSpaces(FText.LineText(scan))) {
    case TSpellAnswer::Stop:
        return TOutcome::Stop;
    case TSpellAnswer::Yes:
        Replace(scan + 1, ScanForward(scan + 1, [](QChar c) { return c == QLatin1Char(' '); }) - scan - 1, QString());
        return TOutcome::Continue;
    default:
        return TOutcome::Continue;
    }
}

bool TSpellChecker::CheckText(TSpellText& text)
{
    return TSpellPass(*this, text).Run();
}
