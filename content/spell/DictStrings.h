#pragma once

#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

// The main dictionary: a list of words kept in the order of its file, which
// must already be sorted by CompareWords (one word a line, in capitals).
// The list never sorts itself; lookups are binary searches. While words are
// added, each word whose first character differs from that of the word
// before adds that character and the word's index to a first-letter index,
// which tells where the words of one letter lie.
//
// All words live in one text buffer and are addressed by offset, so that
// loading a large dictionary allocates almost nothing per word (the buffer
// holds up to 4 G characters). The first four characters of each word, in
// capitals, are also kept packed in one number: most steps of a search
// compare those numbers alone.
class TDictStrings
{
public:
    // The number of words for which room is made before loading.
    void SetCapacity(qsizetype words);
    void Clear();

    // Appends one word (blanks around it are dropped; an empty word is not added).
    void Add(QStringView word);
    // Appends every line of the text as a word.
    void AddLines(QString text);
    // Replaces the words with the lines of the file: UTF-16 or UTF-8 with a
    // byte-order mark, else 8-bit text in the system code page. False, and
    // the list left empty, when the file cannot be read.
    bool LoadFromFile(const QString& path);

    [[nodiscard]] qsizetype Count() const { return static_cast<qsizetype>(FEntries.size()); }
    [[nodiscard]] QStringView Word(qsizetype index) const;
    // Binary search by CompareWords.
    [[nodiscard]] bool Contains(QStringView word) const;
    // The indexes [first, end) of the words that begin with `letter` by the
    // first-letter index; an empty range for a letter it does not hold.
    [[nodiscard]] std::pair<qsizetype, qsizetype> LetterRange(QChar letter) const;

private:
    // A word: its first characters packed, and where it lies in the
    // buffer. Kept together, so that a search step reads one place.
    struct TEntry
    {
        quint64 Prefix;
        quint32 Offset;
        quint32 Length;
    };
    struct TLetter
    {
        char16_t Letter;
        qsizetype Index;
    };

    void AddEntry(qsizetype offset, qsizetype length);

    QString FBuffer;
    std::vector<TEntry> FEntries;
    std::vector<TLetter> FLetters; // sorted by letter, one entry a letter
    qsizetype FCapacity = 0;
};
