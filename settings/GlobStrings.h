#pragma once

#include "settings/IniStrings.h"

#include <QString>
#include <QVariantList>

#include <atomic>
#include <mutex>

class QObject;

// The language table: the texts of the loaded language file, looked up by
// section and key, with the built-in English texts for whatever the file
// lacks (BuiltInTexts.h). Numbered entries that do not exist raise the list
// error; named ones give empty text.
class TGlobStrings : public TIniStrings
{
public:
    // A table that holds the built-in English texts until a file is loaded.
    TGlobStrings();

    // Full path of the loaded file; empty before the first load.
    [[nodiscard]] QString FileName() const;
    [[nodiscard]] bool MenusEnabled() const { return FMenusEnabled; }
    // The file's "Program"/"Name" once a file named one, else "Vellumo".
    [[nodiscard]] QString DisplayName() const;

    // Indices of the sections every part of the program uses, -1 when the
    // file lacks the section.
    [[nodiscard]] int CommonSection() const { return FCommonSection; }
    [[nodiscard]] int ErrorSection() const { return FErrorSection; }
    [[nodiscard]] int ShellErrorSection() const { return FShellErrorSection; }
    [[nodiscard]] int OutlookErrorSection() const { return FOutlookErrorSection; }
    [[nodiscard]] int HintSection() const { return FHintSection; }
    [[nodiscard]] int ParaCopierSection() const { return FParaCopierSection; }

    // Loads the file into a new table and, only when that succeeded, takes
    // it over, sorts and indexes it, takes the section indices and the
    // display name, and applies the menu captions to the main menu. A
    // failed load raises (EStringListError for a bad line, EIniFileError
    // for a file that cannot be read) and keeps the previous texts.
    void LoadLanguage(const QString& path);

    // The numbered entry of the section (the calling thread's current
    // section when the index is negative); empty for a negative number.
    [[nodiscard]] QString TextOf(int number, int section) const;
    // The same with the section named.
    [[nodiscard]] QString TextIn(int number, const QString& section) const;
    // TextOf, or `fallback` when the entry does not exist; never raises.
    [[nodiscard]] QString TextOr(int number, int section, const QString& fallback) const;
    // "/n" (any letter case) becomes a line break, then the placeholders
    // are filled (see FormatArgs).
    [[nodiscard]] static QString FormatText(const QString& text, const QVariantList& args = {});
    // FormatText of the numbered entry of the current section.
    [[nodiscard]] QString FormatNumbered(int number, const QVariantList& args = {}) const;
    [[nodiscard]] QString FormatTextOf(int number, int section, const QVariantList& args = {}) const;
    // Named entries of "Hint" and "Common"; empty when absent.
    [[nodiscard]] QString HintText(const QString& name) const;
    [[nodiscard]] QString CommonText(const QString& name) const;
    [[nodiscard]] QString OkText() const;
    [[nodiscard]] QString CancelText() const;
    [[nodiscard]] QString NoneText() const;

    // Sets the captions of the menu's items and of its form's actions from
    // the section "Menu" (none: the main form's menu). The first call only
    // enables menu captions.
    void ApplyMenu(QObject* menu);
    // The same for the shared pop-up menus and the shared action list.
    void ApplySharedMenus();

private:
    void TakeSectionIndices();

    // Background threads read the names and indices while the main thread
    // may load another language.
    mutable std::mutex FNamesMutex;
    QString FFileName;
    QString FDisplayName;
    bool FMenusEnabled = false;
    std::atomic<int> FCommonSection{-1};
    std::atomic<int> FErrorSection{-1};
    std::atomic<int> FShellErrorSection{-1};
    std::atomic<int> FOutlookErrorSection{-1};
    std::atomic<int> FHintSection{-1};
    std::atomic<int> FParaCopierSection{-1};
};

// The language table of the settings object, or an empty table when no
// settings object exists.
[[nodiscard]] TGlobStrings& Lang();
// Makes `table` the process-wide language table (none: the empty one).
void SetLang(TGlobStrings* table);

// The display name of the process-wide language table.
[[nodiscard]] QString ProgramDisplayName();
