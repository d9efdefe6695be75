#include "content/spell/WordKey.h"

#include "content/spell/SpellWords.h"

#include <QLocale>

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::pair<char16_t, char16_t>, 3> kBracketPairs{{{u'{', u'}'}, {u'(', u')'}, {u'[', u']'}}};

bool HoldsBracket(QStringView word)
{
    return std::any_of(word.begin(), word.end(), [](QChar c) {
        return std::any_of(kBracketPairs.begin(), kBracketPairs.end(),
                           [c](const auto& pair) { return c == QChar(pair.first) || c == QChar(pair.second); });
    });
}

// Deletes each bracket pair, pair kind by pair kind, as long as the first
// opening bracket comes before the first closing one; the text between
// the two stays.
QString WithoutBracketPairs(QStringView word)
{
    QString key = word.toString();
    for (const auto& [open, close] : kBracketPairs) {
        for (;;) {
            const qsizetype opening = key.indexOf(QChar(open));
            const qsizetype closing = key.indexOf(QChar(close));
            if (opening < 0 || closing < opening)
                break;
            key.remove(closing, 1);
            key.remove(opening, 1);
        }
    }
    return key;
}

bool IsNumberChar(QChar c, QChar dateSeparator)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('.')
           || c == dateSeparator;
}

// Numbers, dates, ordinals (1st, 22nd, and "st." as an abbreviation) and
// the roman numerals II to XI. Only the punctuation that cannot belong to a
// number is taken off the word first, so that "1st," and "(22nd)" count
// while the full stop of "VIII." still marks a numeral.
bool IsNumberLike(QStringView word, QChar dateSeparator)
{
    const auto trimmable = [dateSeparator](QChar c) {
        return IsEdgePunctuation(c) && !IsNumberChar(c, dateSeparator);
    };
    while (!word.isEmpty() && trimmable(word.back()))
        word.chop(1);
    while (!word.isEmpty() && trimmable(word.front()))
        word = word.sliced(1);
    // What is left without the number characters; only a rest of up to
    // four characters can still be an ordinal ending or a numeral.
    std::array<char16_t, 4> kept{};
    qsizetype keptCount = 0;
    for (const QChar c : word) {
        if (IsNumberChar(c, dateSeparator))
            continue;
        if (keptCount == qsizetype(kept.size()))
            return false;
        kept[keptCount++] = c.unicode();
    }
    if (keptCount == 0)
        return true;
    const QStringView rest(kept.data(), keptCount);
    static const std::array<QStringView, 4> kOrdinalEndings{u"st", u"nd", u"rd", u"th"};
    if (rest.size() < word.size()
        && std::any_of(kOrdinalEndings.begin(), kOrdinalEndings.end(),
                       [rest](QStringView ending) { return rest.compare(ending, Qt::CaseInsensitive) == 0; }))
        return true;
    static const std::array<QStringView, 10> kRomanNumerals{u"II", u"III", u"IV", u"V",  u"VI",
                                                            u"VII", u"VIII", u"IX", u"X", u"XI"};
    return std::any_of(kRomanNumerals.begin(), kRomanNumerals.end(),
                       [rest](QStringView numeral) { return rest.compare(numeral, Qt::CaseInsensitive) == 0; });
}

bool IsAllUpperCase(QStringView key)
{
    return std::none_of(key.begin(), key.end(), [](QChar c) { return c.toUpper() != c; });
}

bool IsInternetName(QStringView key)
{
    const bool hasDot = key.contains(QLatin1Char('.'));
    if (hasDot && key.contains(QLatin1Char('@')))
        return true;
    // Every mark below holds a full stop or a colon: most words hold
    // neither and need no search.
    if (!hasDot && !key.contains(QLatin1Char(':')))
        return false;
    static const std::array<QStringView, 5> kMarks{u"mailto:", u"www.", u"http://", u"ftp.", u"https://"};
    return std::any_of(kMarks.begin(), kMarks.end(),
                       [key](QStringView mark) { return key.contains(mark, Qt::CaseInsensitive); });
}

// A Windows path ("C:\dir", "\\server\share") or a Linux one ("/usr/lib",
// "~/notes", "./run"). `unstripped` still holds the punctuation around the
// word, where the path's leading slashes are.
bool IsFileName(QStringView unstripped, QStringView key)
{
    static const std::array<QStringView, 5> kPathStarts{u"\\\\", u"/", u"~/", u"./", u"../"};
    if (std::any_of(kPathStarts.begin(), kPathStarts.end(),
                    [unstripped](QStringView start) { return unstripped.startsWith(start) && unstripped.size() > start.size(); }))
        return true;
    return key.size() >= 3 && key[1] == QLatin1Char(':') && key[2] == QLatin1Char('\\');
}

// Without full stops, with the typographic apostrophe as the plain one, in
// capitals as UpperWord makes them (ASCII is done here, at once).
QString DictionaryForm(QStringView key)
{
    QString form(key.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(form.data());
    bool ascii = true;
    for (const QChar c : key) {
        char16_t unit = c.unicode();
        if (unit == u'.')
            continue;
        if (unit == u'\u2019')
            unit = u'\'';
        ascii = ascii && unit < 0x80;
        *out++ = UpperUnit(unit);
    }
    form.truncate(out - reinterpret_cast<const char16_t*>(form.constData()));
    return ascii ? form : std::move(form).toUpper();
}

} // namespace

QChar LocaleDateSeparator()
{
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    const auto separator = std::find_if(format.begin(), format.end(), [](QChar c) {
        return !c.isLetter() && c != QLatin1Char('\'');
    });
    return separator == format.end() ? QLatin1Char('/') : *separator;
}

QString WordKey(QStringView word, const TSpellOptions& options)
{
    QString unbracketed;
    QStringView key = word;
    if (options.Has(TSpellOptions::IgnoreBrackets) && HoldsBracket(word)) {
        unbracketed = WithoutBracketPairs(word);
        key = unbracketed;
    }
    const QStringView unstripped = key;
    key = WordCore(key);
    if (key.isEmpty())
        return {};
    if (options.Has(TSpellOptions::IgnoreNumbers) && IsNumberLike(word, options.DateSeparator))
        return {};
    if (options.Has(TSpellOptions::IgnoreAllUpperCase) && IsAllUpperCase(key))
        return {};
    if (options.Has(TSpellOptions::IgnoreInternet) && IsInternetName(key))
        return {};
    if (options.Has(TSpellOptions::IgnoreFiles) && IsFileName(unstripped, key))
        return {};
    return DictionaryForm(key);
}
