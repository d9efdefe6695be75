#include "content/spell/SpellChecker.h"

#include "content/spell/SpellWords.h"

#include <QFileInfo>

#include <mutex>

TSpellChecker::TSpellChecker(QObject* owner)
    : TIniComponent(owner)
    , FDateSeparator(LocaleDateSeparator())
{
}

TSpellChecker::~TSpellChecker() = default;

QString TSpellChecker::GetSectionName() const
{
    return QStringLiteral("SpellCheck");
}

void TSpellChecker::SetOption(TSpellOptions::TFlag flag, bool on)
{
    if (on)
        FOptions.fetch_or(flag);
    else
        FOptions.fetch_and(~unsigned(flag));
}

TSpellOptions TSpellChecker::Options() const
{
    return TSpellOptions{FOptions.load(), FDateSeparator};
}

void TSpellChecker::SetMainDictionary(const QString& fileName)
{
    if (fileName == FMainFile || !QFileInfo(fileName).isFile())
        return;
    FMainFile = fileName;
    // The words are read without the lock, so that checks running meanwhile
    // wait only for the exchange.
    TDictStrings words;
    words.SetCapacity(FMainCapacity);
    words.LoadFromFile(fileName);
    std::unique_lock lock(FLock);
    std::swap(FMain, words);
}

void TSpellChecker::SetCustomDictionary(const QString& fileName)
{
    if (fileName == FCustomFile)
        return;
    FCustomFile = fileName;
    TWordList words;
    words.Assign(ReadWordFile(fileName));
    std::unique_lock lock(FLock);
    std::swap(FCustom, words);
}

bool TSpellChecker::AddToCustom(const QString& word)
{
    QStringList words;
    {
        std::unique_lock lock(FLock);
        if (!FCustom.Add(word))
            return false;
        words = FCustom.Words();
    }
    if (!FCustomFile.isEmpty())
        WriteWordFile(FCustomFile, words);
    return true;
}

void TSpellChecker::AddToIgnored(const QString& word)
{
    std::unique_lock lock(FLock);
    FIgnored.Add(word);
}

QStringList TSpellChecker::CustomWords() const
{
    std::shared_lock lock(FLock);
    return FCustom.Words();
}

qsizetype TSpellChecker::MainWordCount() const
{
    std::shared_lock lock(FLock);
    return FMain.Count();
}

QString TSpellChecker::WordKey(QStringView word) const
{
    return ::WordKey(word, Options());
}

bool TSpellChecker::IsKeyKnown(QStringView key) const
{
    std::shared_lock lock(FLock);
    return FIgnored.Contains(key) || FCustom.Contains(key) || FMain.Contains(key);
}

bool TSpellChecker::IsWordCorrect(QStringView word, QString& key) const
{
    key = WordKey(word.trimmed());
    return key.isEmpty() || IsKeyKnown(key);
}

bool TSpellChecker::IsWordCorrect(QStringView word) const
{
    QString key;
    return IsWordCorrect(word, key);
}

QStringList TSpellChecker::GetSuggestions(const QString& word) const
{
    const QString key = UpperWord(WordCore(word.trimmed()));
    if (key.isEmpty())
        return {};
    const QString sound = Soundex(key, kSoundexLength);
    const QStringView withoutFirst = QStringView(key).sliced(1);
    QStringList sounding;
    QStringList spelled;
    std::shared_lock lock(FLock);
    const auto [first, end] = FMain.LetterRange(key[0]);
    for (qsizetype i = first; i < end; ++i) {
        const QStringView candidate = FMain.Word(i);
        if (Soundex(candidate, kSoundexLength) == sound)
            sounding.append(MatchCase(candidate, word));
        else if ((candidate.size() > 3 && QStringView(key).startsWith(candidate)) || candidate == withoutFirst)
            spelled.prepend(MatchCase(candidate, word));
    }
    QStringList suggestions = spelled + sounding;
    if (!MainDicOnly()) {
        for (const QString& candidate : FCustom.Words()) {
            const QString suggestion = MatchCase(candidate, word);
            if (candidate[0].toUpper() == key[0] && Soundex(candidate, kSoundexLength) == sound
                && !suggestions.contains(suggestion))
                suggestions.append(suggestion);
        }
    }
    return suggestions;
}

int TSpellChecker::MisspelledWord(const QString& word, QString& replacement)
{
    return FOnMisspelledWord ? FOnMisspelledWord(word, replacement) : TSpellAnswer::Stop;
}

int TSpellChecker::RepeatedWord(const QString& words)
{
    return FOnRepeatedWord ? FOnRepeatedWord(words) : TSpellAnswer::Stop;
}

int TSpellChecker::DoubleSpaces(const QString& line)
{
    return FOnDoubleSpaces ? FOnDoubleSpaces(line) : TSpellAnswer::Stop;
}
