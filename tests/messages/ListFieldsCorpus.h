#pragma once

#include <QByteArray>
#include <QLocale>

#include <vector>

class TMesgItem;

// What the list-field tests read: every MIME and reading-pane fixture, and
// messages made of the raw header fixtures (8-bit and encoded Subject, From
// and To) under text parts of several charsets, or none.
[[nodiscard]] std::vector<QByteArray> ListFieldsCorpus();

// The options the derivation of list fields depends on, in the
// combinations that change what it derives: the system code page, the
// default message charset (by the locale's language) and the Russian
// re-detection of header fields.
struct TDerivationOptions
{
    const char* Name;
    unsigned CodePage;
    QLocale::Language Language;
    bool AutoRusHeader;
};
[[nodiscard]] std::vector<TDerivationOptions> DerivationOptionCombinations();
// Puts the options in force; ResetDerivationOptions() goes back to code page
// 1252, English and no re-detection.
void ApplyDerivationOptions(const TDerivationOptions& options);
void ResetDerivationOptions();

// Every list field of an item, state and dates included, as one line.
[[nodiscard]] QByteArray ListFieldsLine(const TMesgItem& item);
