#pragma once

#include "content/spell/DictStrings.h"
#include "content/spell/WordKey.h"
#include "content/spell/WordList.h"
#include "settings/IniPersistent.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <shared_mutex>

class TSpellText;

// The modal results with which the owner of a checker answers its events.
struct TSpellAnswer
{
    static constexpr int Stop = 2;        // end the check where it is
    static constexpr int Yes = 6;         // delete the repeated word or the extra spaces
    static constexpr int No = 7;          // keep them
    static constexpr int Ignore = 101;    // this occurrence
    static constexpr int IgnoreAll = 102; // until the program ends
    static constexpr int Change = 103;    // this occurrence to the replacement
    static constexpr int ChangeAll = 104; // every occurrence in the text
    static constexpr int Add = 105;       // to the custom dictionary
};

// The spell checker: a main dictionary, the user's custom dictionary and a
// list of words ignored until the program ends. It checks words, suggests
// replacements by their sound, and walks a text (CheckText), asking its
// owner through three events what to do with each finding.
//
// Dictionaries, options and the ignore list are changed on the main
// thread; the const operations (IsWordCorrect, GetSuggestions, and
// FindMisspelledWords of SpellBackground.h) may run on any thread at the
// same time.
class TSpellChecker : public TIniComponent
{
    Q_OBJECT
    Q_PROPERTY(bool IgnoreNumbers READ IgnoreNumbers WRITE SetIgnoreNumbers)
    Q_PROPERTY(bool IgnoreAllUpperCase READ IgnoreAllUpperCase WRITE SetIgnoreAllUpperCase)
    Q_PROPERTY(bool IgnoreInternet READ IgnoreInternet WRITE SetIgnoreInternet)
    Q_PROPERTY(bool IgnoreFiles READ IgnoreFiles WRITE SetIgnoreFiles)
    Q_PROPERTY(bool IgnoreBrackets READ IgnoreBrackets WRITE SetIgnoreBrackets)
    Q_PROPERTY(bool DuplicateSpaces READ DuplicateSpaces WRITE SetDuplicateSpaces)
    Q_PROPERTY(bool DuplicateWords READ DuplicateWords WRITE SetDuplicateWords)
    Q_PROPERTY(bool MainDicOnly READ MainDicOnly WRITE SetMainDicOnly)
    Q_PROPERTY(bool AlwaysSuggest READ AlwaysSuggest WRITE SetAlwaysSuggest)
    Q_CLASSINFO("Default:IgnoreNumbers", "True")
    Q_CLASSINFO("Default:IgnoreAllUpperCase", "True")
    Q_CLASSINFO("Default:IgnoreInternet", "True")
    Q_CLASSINFO("Default:IgnoreFiles", "True")
    Q_CLASSINFO("Default:IgnoreBrackets", "True")
    Q_CLASSINFO("Default:DuplicateSpaces", "True")
    Q_CLASSINFO("Default:DuplicateWords", "True")
    Q_CLASSINFO("Default:MainDicOnly", "False")
    Q_CLASSINFO("Default:AlwaysSuggest", "True")

public:
    // The misspelled word (the whole run of characters between blanks);
    // the handler may set the replacement for Change and ChangeAll.
    using TMisspelledWordEvent = std::function<int(const QString& word, QString& replacement)>;
    // The text from the start of the previous word to the end of this one.
    using TRepeatedWordEvent = std::function<int(const QString& words)>;
    // The text of the line that holds the doubled spaces.
    using TDoubleSpacesEvent = std::function<int(const QString& line)>;

    // Where the main dictionary lies below the data folder, and the name of
    // the custom dictionary in the options folder.
    static inline const QString kMainDictionaryName = QStringLiteral("spellcheck/english.txt");
    static inline const QString kCustomDictionaryName = QStringLiteral("custom.dic");
    static constexpr qsizetype kMainDictionaryCapacity = 110000;

    explicit TSpellChecker(QObject* owner = nullptr);
    ~TSpellChecker() override;

    // "SpellCheck": the settings section of the options.
    [[nodiscard]] QString GetSectionName() const override;

    // Loads the file as the main dictionary when its name differs from the
    // current one and it exists.
    void SetMainDictionary(const QString& fileName);
    [[nodiscard]] const QString& MainDictionary() const { return FMainFile; }
    // The number of words for which room is made before the next load.
    void SetMainCapacity(qsizetype words) { FMainCapacity = words; }
    // Takes the file as the custom dictionary when its name differs from the
    // current one: its words when it exists, else an empty dictionary.
    void SetCustomDictionary(const QString& fileName);
    [[nodiscard]] const QString& CustomDictionary() const { return FCustomFile; }

    // Adds the word to the custom dictionary unless it holds it, and saves
    // the dictionary to its file when one is set. False when it was held.
    // Raises EFCreateError or EWriteError when the file cannot be written;
    // the word stays added for this run.
    bool AddToCustom(const QString& word);
    // Ignores the word until the program ends.
    void AddToIgnored(const QString& word);
    [[nodiscard]] QStringList CustomWords() const;
    [[nodiscard]] qsizetype MainWordCount() const;

    // The form of the word that is looked up; empty when it is not checked.
    [[nodiscard]] QString WordKey(QStringView word) const;
    // True when the trimmed word's key is empty or is held by the ignore
    // list, the custom dictionary or the main dictionary; `key` receives it.
    [[nodiscard]] bool IsWordCorrect(QStringView word, QString& key) const;
    [[nodiscard]] bool IsWordCorrect(QStringView word) const;
    // Replacements for the word: words of its first letter that sound like
    // it (Soundex) and, first, words that its start or the word without a
    // doubled first letter spell out; then, unless MainDicOnly, custom
    // words that sound like it. In the letter case of the word.
    [[nodiscard]] QStringList GetSuggestions(const QString& word) const;

    // Checks the text from the caret to its end, asking the three events
    // what to do with each finding and editing the text accordingly. True
    // when the check reached the end, false when an answer stopped it.
    bool CheckText(TSpellText& text);

    void SetOnMisspelledWord(TMisspelledWordEvent handler) { FOnMisspelledWord = std::move(handler); }
    void SetOnRepeatedWord(TRepeatedWordEvent handler) { FOnRepeatedWord = std::move(handler); }
    void SetOnDoubleSpaces(TDoubleSpacesEvent handler) { FOnDoubleSpaces = std::move(handler); }

    // The options as one value, for a check that runs on another thread.
    [[nodiscard]] TSpellOptions Options() const;

    [[nodiscard]] bool IgnoreNumbers() const { return Option(TSpellOptions::IgnoreNumbers); }
    void SetIgnoreNumbers(bool on) { SetOption(TSpellOptions::IgnoreNumbers, on); }
    [[nodiscard]] bool IgnoreAllUpperCase() const { return Option(TSpellOptions::IgnoreAllUpperCase); }
    void SetIgnoreAllUpperCase(bool on) { SetOption(TSpellOptions::IgnoreAllUpperCase, on); }
    [[nodiscard]] bool IgnoreInternet() const { return Option(TSpellOptions::IgnoreInternet); }
    void SetIgnoreInternet(bool on) { SetOption(TSpellOptions::IgnoreInternet, on); }
    [[nodiscard]] bool IgnoreFiles() const { return Option(TSpellOptions::IgnoreFiles); }
    void SetIgnoreFiles(bool on) { SetOption(TSpellOptions::IgnoreFiles, on); }
    [[nodiscard]] bool IgnoreBrackets() const { return Option(TSpellOptions::IgnoreBrackets); }
    void SetIgnoreBrackets(bool on) { SetOption(TSpellOptions::IgnoreBrackets, on); }
    [[nodiscard]] bool DuplicateSpaces() const { return Option(TSpellOptions::DuplicateSpaces); }
    void SetDuplicateSpaces(bool on) { SetOption(TSpellOptions::DuplicateSpaces, on); }
    [[nodiscard]] bool DuplicateWords() const { return Option(TSpellOptions::DuplicateWords); }
    void SetDuplicateWords(bool on) { SetOption(TSpellOptions::DuplicateWords, on); }
    [[nodiscard]] bool MainDicOnly() const { return Option(TSpellOptions::MainDicOnly); }
    void SetMainDicOnly(bool on) { SetOption(TSpellOptions::MainDicOnly, on); }
    [[nodiscard]] bool AlwaysSuggest() const { return Option(TSpellOptions::AlwaysSuggest); }
    void SetAlwaysSuggest(bool on) { SetOption(TSpellOptions::AlwaysSuggest, on); }

protected:
    // The answers to the events; 2 (stop) when no handler is set.
    virtual int MisspelledWord(const QString& word, QString& replacement);
    virtual int RepeatedWord(const QString& words);
    virtual int DoubleSpaces(const QString& line);

private:
    friend class TSpellPass;

    [[nodiscard]] bool Option(TSpellOptions::TFlag flag) const { return (FOptions.load() & flag) != 0; }
    void SetOption(TSpellOptions::TFlag flag, bool on);
    [[nodiscard]] bool IsKeyKnown(QStringView key) const;

    static constexpr int kSoundexLength = 4;

    // Guards the three word lists against checks running on other threads.
    mutable std::shared_mutex FLock;
    TDictStrings FMain;
    TWordList FCustom;
    TWordList FIgnored;

    std::atomic<unsigned> FOptions{TSpellOptions::kDefaultFlags};
    const QChar FDateSeparator;
    QString FMainFile;
    QString FCustomFile;
    qsizetype FMainCapacity = 0;
    TMisspelledWordEvent FOnMisspelledWord;
    TRepeatedWordEvent FOnRepeatedWord;
    TDoubleSpacesEvent FOnDoubleSpaces;
};
