#include "tests/content/SpellTestSupport.h"

#include "tests/support/TestEnvironment.h"

QString WriteSmallDictionary()
{
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/english.txt");
    WriteTestFile(path, "\xEF\xBB\xBF" + SmallDictionaryWords().join(QLatin1Char('\n')).toUtf8() + '\n');
    return path;
}

const QStringList& SmallDictionaryWords()
{
    static const QStringList words = QStringLiteral("A AND CAT DOG DON'T HALL HALO HELL HELLO HELLO'S HELP HILL "
                                                    "HOLE I IS MAT ON SAT SAW THE THERE WORD WORDS WORLD")
                                         .split(QLatin1Char(' '));
    return words;
}

QString BuiltDictionaryPath()
{
    return QStringLiteral(VELLUMO_BUILD_DATA_DIR "/spellcheck/english.txt");
}

TSmallChecker::TSmallChecker()
{
    SetMainDictionary(WriteSmallDictionary());
}

TScriptedAnswers::TScriptedAnswers(TSpellChecker& checker)
{
    checker.SetOnMisspelledWord([this](const QString& word, QString& replacement) {
        return Next(QStringLiteral("misspelled:") + word, &replacement);
    });
    checker.SetOnRepeatedWord([this](const QString& words) { return Next(QStringLiteral("repeated:") + words); });
    checker.SetOnDoubleSpaces([this](const QString& line) { return Next(QStringLiteral("spaces:") + line); });
}

int TScriptedAnswers::Next(const QString& asked, QString* replacement)
{
    Asked.append(asked);
    if (Answers.empty())
        return TSpellAnswer::Stop;
    const TAnswer answer = Answers.front();
    Answers.pop_front();
    if (replacement)
        *replacement = answer.Replacement;
    return answer.Result;
}
