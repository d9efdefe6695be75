#pragma once

#include <QStringView>

#include <atomic>
#include <vector>

class TSpellChecker;

// A misspelled word in a text: the word without the punctuation around it.
struct TSpellRange
{
    qsizetype Start = 0;
    qsizetype Length = 0;

    friend bool operator==(const TSpellRange&, const TSpellRange&) = default;
};

// The misspelled words of a snapshot of a text, in order, for marking them
// while the user types. Safe to run on any thread while the main thread
// uses the checker (adds words, changes options, runs an interactive
// check); each word is judged by the dictionaries and options as they are
// when it is reached. Returns early, with what it found so far, once
// `cancelled` is set (a newer snapshot is waiting).
[[nodiscard]] std::vector<TSpellRange> FindMisspelledWords(const TSpellChecker& checker, QStringView text,
                                                           const std::atomic<bool>* cancelled = nullptr);
