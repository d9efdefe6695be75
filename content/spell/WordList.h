#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// A list of words kept sorted by CompareWords, letter case ignored and
// duplicates refused: the custom dictionary and the ignore list.
class TWordList
{
public:
    // Adds the word (blanks around it dropped); false when it is empty or
    // already held in any letter case.
    bool Add(QStringView word);
    // Replaces the list with these words, sorted, without duplicates.
    void Assign(const QStringList& words);
    void Clear() { FWords.clear(); }

    [[nodiscard]] bool Contains(QStringView word) const;
    [[nodiscard]] const QStringList& Words() const { return FWords; }
    [[nodiscard]] qsizetype Count() const { return FWords.size(); }

private:
    [[nodiscard]] QStringList::const_iterator LowerBound(QStringView word) const;

    QStringList FWords;
};

// The words of a word file, one a line (UTF-16 or UTF-8 with a byte-order
// mark, else 8-bit text in the system code page); empty when the file is
// missing or cannot be read.
[[nodiscard]] QStringList ReadWordFile(const QString& path);
// Writes the words one a line as UTF-16 with a byte-order mark, through a
// temporary file beside the target that is flushed to the disk and then
// renamed over it, so that the old file stays whole when writing fails.
// Raises EFCreateError or EWriteError.
void WriteWordFile(const QString& path, const QStringList& words);
