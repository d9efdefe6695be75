#include "content/spell/WordList.h"

#include "content/spell/SpellWords.h"

#include "base/Stream.h"
#include "settings/AnsiText.h"

#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>

#include <algorithm>

QStringList::const_iterator TWordList::LowerBound(QStringView word) const
{
    return std::lower_bound(FWords.cbegin(), FWords.cend(), word,
                            [](const QString& held, QStringView key) { return CompareWords(held, key) < 0; });
}

bool TWordList::Contains(QStringView word) const
{
    const auto place = LowerBound(word);
    return place != FWords.cend() && SameWord(*place, word);
}

bool TWordList::Add(QStringView word)
{
    word = word.trimmed();
    if (word.isEmpty())
        return false;
    const auto place = LowerBound(word);
    if (place != FWords.cend() && SameWord(*place, word))
        return false;
    FWords.insert(place - FWords.cbegin(), word.toString());
    return true;
}

void TWordList::Assign(const QStringList& words)
{
    QStringList sorted;
    sorted.reserve(words.size());
    for (const QString& word : words)
        if (const QString trimmed = word.trimmed(); !trimmed.isEmpty())
            sorted.append(trimmed);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QString& a, const QString& b) { return CompareWords(a, b) < 0; });
    sorted.erase(std::unique(sorted.begin(), sorted.end(),
                             [](const QString& a, const QString& b) { return SameWord(a, b); }),
                 sorted.end());
    FWords = std::move(sorted);
}

QStringList ReadWordFile(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const QString text = DecodeTextFile(file.readAll());
    QStringList words;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n')))
        if (const QStringView word = line.trimmed(); !word.isEmpty())
            words.append(word.toString());
    return words;
}

void WriteWordFile(const QString& path, const QStringList& words)
{
    QString text(1, QChar::ByteOrderMark);
    for (const QString& word : words)
        text += word + QLatin1Char('\n');
    const QByteArray bytes = QStringEncoder(QStringConverter::Utf16LE).encode(text);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(QStringLiteral("Cannot create %1: %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw EWriteError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
}
