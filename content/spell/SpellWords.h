#pragma once

#include <QString>
#include <QStringView>

// Text rules that the spell checker, its word lists and the tool that
// builds the main dictionary share.

// A character that belongs to a word: above 32 and not a space of any kind
// (no-break spaces and paragraph separators end a word as blanks do).
[[nodiscard]] bool IsWordChar(QChar c);

// One UTF-16 code unit in capitals (simple case mapping, so one unit stays one).
[[nodiscard]] inline char16_t UpperUnit(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
    return QChar::toUpper(c);
}

// The order of every word list of the checker: UTF-16 code units compared
// after upper-casing each one. It does not depend on the user's locale, so
// a dictionary sorted when the program is built is in the same order on
// every machine it runs on.
[[nodiscard]] int CompareWords(QStringView a, QStringView b);
[[nodiscard]] inline bool SameWord(QStringView a, QStringView b)
{
    return a.size() == b.size() && CompareWords(a, b) == 0;
}

// The upper-case form in which dictionaries hold words.
[[nodiscard]] QString UpperWord(QStringView word);

// Punctuation that surrounds a word and is not part of it: the marks of
// the key rule (colon, semicolon, brackets, hyphen, underscore, =, +,
// backslash, |, /, full stop, comma, ~, `, !, ?, apostrophe, double quote,
// angle brackets), their typographic forms (curly quotes, guillemets,
// dashes, ellipsis), and characters below 33.
[[nodiscard]] bool IsEdgePunctuation(QChar c);
// The word without the punctuation that surrounds it.
[[nodiscard]] QStringView WordCore(QStringView word);

// The Soundex code of a word, `length` characters long: the first
// character upper-cased, then the digits of the consonant groups that
// follow (B F P V 1; C G J K Q S X Z 2; D T 3; L 4; M N 5; R 6), a repeated
// digit only when a vowel lies between, padded with "0".
[[nodiscard]] QString Soundex(QStringView word, int length = 4);

// A suggestion in the letter case of the word it replaces: all small for a
// word in small letters, all capitals for one in capitals, otherwise small
// with the first letter of each space-separated part capitalised.
[[nodiscard]] QString MatchCase(QStringView suggestion, QStringView word);
