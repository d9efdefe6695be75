#include "content/spell/SpellBackground.h"

#include "content/spell/SpellChecker.h"
#include "content/spell/SpellWords.h"

std::vector<TSpellRange> FindMisspelledWords(const TSpellChecker& checker, QStringView text,
                                             const std::atomic<bool>* cancelled)
{
    std::vector<TSpellRange> misspelled;
    qsizetype position = 0;
    while (position < text.size()) {
        if (cancelled && cancelled->load(std::memory_order_relaxed))
            break;
        while (position < text.size() && !IsWordChar(text[position]))
            ++position;
        const qsizetype start = position;
        while (position < text.size() && IsWordChar(text[position]))
            ++position;
        const QStringView word = text.sliced(start, position - start);
        if (word.isEmpty() || checker.IsWordCorrect(word))
            continue;
        const QStringView core = WordCore(word);
        misspelled.push_back(TSpellRange{start + (core.data() - word.data()), core.size()});
    }
    return misspelled;
}
