#include "content/spell/SpellWords.h"

#include <algorithm>

namespace {

// The Soundex digit of a character: 0 for vowels, Y and every character
// that is not an English consonant; -1 for H and W, which neither add a
// digit nor separate two equal ones.
int SoundexScore(QChar c)
{
    switch (UpperUnit(c.unicode())) {
    case u'B': case u'F': case u'P': case u'V':
        return 1;
    case u'C': case u'G': case u'J': case u'K': case u'Q': case u'S': case u'X': case u'Z':
        return 2;
    case u'D': case u'T':
        return 3;
    case u'L':
        return 4;
    case u'M': case u'N':
        return 5;
    case u'R':
        return 6;
    case u'H': case u'W':
        return -1;
    default:
        return 0;
    }
}

bool IsAllLower(QStringView text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.toLower() != c; });
}

bool IsAllUpper(QStringView text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.toUpper() != c; });
}

} // namespace

bool IsWordChar(QChar c)
{
    return c.unicode() > 32 && !c.isSpace();
}

int CompareWords(QStringView a, QStringView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    const char16_t* x = a.utf16();
    const char16_t* y = b.utf16();
    for (qsizetype i = 0; i < common; ++i) {
        if (x[i] == y[i])
            continue;
        const char16_t ux = UpperUnit(x[i]);
        const char16_t uy = UpperUnit(y[i]);
        if (ux != uy)
            return ux < uy ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

QString UpperWord(QStringView word)
{
    return word.toString().toUpper();
}

bool IsEdgePunctuation(QChar c)
{
    switch (c.unicode()) {
    case u':': case u';': case u'(': case u')': case u'-': case u'_': case u'=': case u'+':
    case u'\\': case u'|': case u'/': case u'.': case u',': case u'~': case u'`': case u'[':
    case u']': case u'{': case u'}': case u'!': case u'?': case u'\'': case u'"': case u'<':
    case u'>':
    // The same marks as word processors type them.
    case u'\u2018': case u'\u2019': case u'\u201C': case u'\u201D': case u'\u00AB': case u'\u00BB':
    case u'\u2013': case u'\u2014': case u'\u2026':
        return true;
    default:
        return c.unicode() < 33;
    }
}

QStringView WordCore(QStringView word)
{
    qsizetype end = word.size();
    while (end > 0 && IsEdgePunctuation(word[end - 1]))
        --end;
    qsizetype start = 0;
    while (start < end && IsEdgePunctuation(word[start]))
        ++start;
    return word.sliced(start, end - start);
}

QString Soundex(QStringView word, int length)
{
    if (word.isEmpty() || length <= 0)
        return {};
    QString code(1, QChar(UpperUnit(word[0].unicode())));
    int previous = std::max(SoundexScore(word[0]), 0);
    for (qsizetype i = 1; i < word.size() && code.size() < length; ++i) {
        const int score = SoundexScore(word[i]);
        if (score > 0 && score != previous)
            code += QChar(u'0' + score);
        if (score >= 0)
            previous = score;
    }
    return code.leftJustified(length, QLatin1Char('0'));
}

QString MatchCase(QStringView suggestion, QStringView word)
{
    if (IsAllLower(word))
        return suggestion.toString().toLower();
    if (IsAllUpper(word))
        return suggestion.toString().toUpper();
    QString result = suggestion.toString().toLower();
    for (qsizetype i = 0; i < result.size(); ++i)
        if (i == 0 || result[i - 1] == QLatin1Char(' '))
            result[i] = result[i].toUpper();
    return result;
}
