#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// The options of the spell checker that decide which words are checked
// and how, as one value that a check takes at its start.
struct TSpellOptions
{
    enum TFlag : unsigned {
        IgnoreNumbers = 1u << 0,
        IgnoreAllUpperCase = 1u << 1,
        IgnoreInternet = 1u << 2,
        IgnoreFiles = 1u << 3,
        IgnoreBrackets = 1u << 4,
        DuplicateSpaces = 1u << 5,
        DuplicateWords = 1u << 6,
        MainDicOnly = 1u << 7,
        AlwaysSuggest = 1u << 8,
    };
    static constexpr unsigned kDefaultFlags = IgnoreNumbers | IgnoreAllUpperCase | IgnoreInternet | IgnoreFiles
                                              | IgnoreBrackets | DuplicateSpaces | DuplicateWords | AlwaysSuggest;

    unsigned Flags = kDefaultFlags;
    // The separator of dates in the user's locale (the "/" of 12/31/99).
    QChar DateSeparator = QLatin1Char('/');

    [[nodiscard]] bool Has(TFlag flag) const { return (Flags & flag) != 0; }
};

// The date separator of the default locale's short date format.
[[nodiscard]] QChar LocaleDateSeparator();

// The form of a word that is looked up in the dictionaries: without the
// bracket pairs it holds and the punctuation around it, full stops removed,
// in capitals. Empty when the word is not checked: numbers, ordinals and
// roman numerals, words in capitals, mail addresses and web addresses, file
// names, as the options say.
[[nodiscard]] QString WordKey(QStringView word, const TSpellOptions& options);
