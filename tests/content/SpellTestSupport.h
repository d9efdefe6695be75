#pragma once

#include "content/spell/SpellChecker.h"

#include <QString>
#include <QStringList>

#include <deque>

// A small main dictionary in the file format of the program (UTF-8 with a
// byte-order mark, one word a line, in capitals, sorted), written to a
// fresh folder; returns its path.
[[nodiscard]] QString WriteSmallDictionary();
// Its words.
[[nodiscard]] const QStringList& SmallDictionaryWords();

// The main dictionary made by the build.
[[nodiscard]] QString BuiltDictionaryPath();

// A checker over the small dictionary, with the default options.
class TSmallChecker : public TSpellChecker
{
public:
    TSmallChecker();
};

// Answers the events of a checker from a script and records what they were
// asked. An event with no answer left stops the check.
struct TScriptedAnswers
{
    struct TAnswer
    {
        int Result;
        QString Replacement;
    };
    explicit TScriptedAnswers(TSpellChecker& checker);

    std::deque<TAnswer> Answers;
    // "misspelled:<word>", "repeated:<words>", "spaces:<line>", in order.
    QStringList Asked;

private:
    int Next(const QString& asked, QString* replacement = nullptr);
};
