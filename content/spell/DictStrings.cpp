#include "content/spell/DictStrings.h"

#include "content/spell/SpellWords.h"
#include "settings/AnsiText.h"

#include <QFile>

#include <algorithm>

namespace {

// The first four characters in capitals, the first one in the highest
// bits; missing characters count as 0. Two words whose prefixes differ are
// in the order of their prefixes.
quint64 PrefixOf(QStringView word)
{
    quint64 prefix = 0;
    for (qsizetype i = 0; i < 4; ++i)
        prefix = (prefix << 16) | (i < word.size() ? UpperUnit(word[i].unicode()) : 0);
    return prefix;
}

} // namespace

void TDictStrings::SetCapacity(qsizetype words)
{
    FCapacity = std::max<qsizetype>(words, 0);
    FEntries.reserve(static_cast<size_t>(FCapacity));
}

void TDictStrings::Clear()
{
    FBuffer.clear();
    FEntries.clear();
    FEntries.shrink_to_fit();
    SetCapacity(FCapacity);
    FLetters.clear();
}

void TDictStrings::AddEntry(qsizetype offset, qsizetype length)
{
    const QStringView all(FBuffer);
    while (length > 0 && all[offset].isSpace()) {
        ++offset;
        --length;
    }
    while (length > 0 && all[offset + length - 1].isSpace())
        --length;
    if (length == 0)
        return;
    const char16_t letter = all[offset].unicode();
    if (FEntries.empty() || Word(Count() - 1).front() != QChar(letter)) {
        const auto place = std::lower_bound(FLetters.begin(), FLetters.end(), letter,
                                            [](const TLetter& entry, char16_t key) { return entry.Letter < key; });
        if (place == FLetters.end() || place->Letter != letter)
            FLetters.insert(place, TLetter{letter, Count()});
    }
    FEntries.push_back(TEntry{PrefixOf(all.sliced(offset, length)), static_cast<quint32>(offset),
                              static_cast<quint32>(length)});
}

void TDictStrings::Add(QStringView word)
{
    const qsizetype offset = FBuffer.size();
    FBuffer += word;
    FBuffer += QLatin1Char('\n');
    AddEntry(offset, word.size());
}

void TDictStrings::AddLines(QString text)
{
    const qsizetype base = FBuffer.size();
    if (FBuffer.isEmpty())
        FBuffer = std::move(text);
    else
        FBuffer += text;
    const qsizetype end = FBuffer.size();
    qsizetype start = base;
    while (start < end) {
        qsizetype stop = FBuffer.indexOf(QLatin1Char('\n'), start);
        if (stop < 0)
            stop = end;
        AddEntry(start, stop - start);
        start = stop + 1;
    }
}

bool TDictStrings::LoadFromFile(const QString& path)
{
    Clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    AddLines(DecodeTextFile(file.readAll()));
    return true;
}

QStringView TDictStrings::Word(qsizetype index) const
{
    const TEntry& entry = FEntries[static_cast<size_t>(index)];
    return QStringView(FBuffer).sliced(entry.Offset, entry.Length);
}

bool TDictStrings::Contains(QStringView word) const
{
    const quint64 prefix = PrefixOf(word);
    qsizetype low = 0;
    qsizetype high = Count();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        const quint64 held = FEntries[static_cast<size_t>(middle)].Prefix;
        const int order = held != prefix ? (held < prefix ? -1 : 1) : CompareWords(Word(middle), word);
        if (order == 0)
            return true;
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return false;
}

std::pair<qsizetype, qsizetype> TDictStrings::LetterRange(QChar letter) const
{
    const auto place = std::lower_bound(FLetters.begin(), FLetters.end(), letter.unicode(),
                                        [](const TLetter& entry, char16_t key) { return entry.Letter < key; });
    if (place == FLetters.end() || place->Letter != letter.unicode())
        return {0, 0};
    const qsizetype end = std::next(place) == FLetters.end() ? Count() : std::next(place)->Index;
    return {place->Index, std::max(end, place->Index)};
}
