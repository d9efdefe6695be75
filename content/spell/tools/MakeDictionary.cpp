// Builds the main spelling dictionary from a word list: every word in
// capitals, sorted in the order in which the checker searches its lists,
// each word once, one a line, as UTF-8 with a byte-order mark.
//
//     vellumo_makedict <word list> <dictionary>

#include "content/spell/SpellWords.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "vellumo_makedict: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return Fail(QStringLiteral("usage: vellumo_makedict <word list> <dictionary>"));
    const QString source = QFile::decodeName(argv[1]);
    const QString target = QFile::decodeName(argv[2]);
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read the word list %1 (%2); on Debian it comes with the package "
                                   "wamerican")
                        .arg(source, input.errorString()));
    QStringList words;
    for (const QByteArray& line : input.readAll().split('\n'))
        if (const QString word = UpperWord(QString::fromUtf8(line).trimmed()); !word.isEmpty())
            words.append(word);
    std::sort(words.begin(), words.end(), [](const QString& a, const QString& b) { return CompareWords(a, b) < 0; });
    words.erase(std::unique(words.begin(), words.end(), [](const QString& a, const QString& b) { return SameWord(a, b); }),
                words.end());
    if (words.isEmpty())
        return Fail(QStringLiteral("the word list %1 holds no words").arg(source));

    QSaveFile output(target);
    const QByteArray text = "\xEF\xBB\xBF" + words.join(QLatin1Char('\n')).toUtf8() + '\n';
    if (!output.open(QIODevice::WriteOnly) || output.write(text) != text.size() || !output.commit())
        return Fail(QStringLiteral("cannot write %1 (%2)").arg(target, output.errorString()));
    return 0;
}
