#pragma once

#include "settings/IniStrings.h"

#include <QString>
#include <QVariantList>

#include <mutex>

class QObject;

// The sections every part of the program uses. A lookup names one of them
// and the table finds its index together with the entry, in one step, so
// that a language switch on the main thread never gives a background
// thread the entry of another section.
enum class TLangSection { Common, Error, ShellError, OutlookError, Hint, ParaCopier };

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

    // The sections every part of the program uses, for the lookups below.
    [[nodiscard]] static constexpr TLangSection CommonSection() { return TLangSection::Common; }
    [[nodiscard]] static constexpr TLangSection ErrorSection() { return TLangSection::Error; }
    [[nodiscard]] static constexpr TLangSection ShellErrorSection() { return TLangSection::ShellError; }
    [[nodiscard]] static constexpr TLangSection OutlookErrorSection() { return TLangSection::OutlookError; }
    [[nodiscard]] static constexpr TLangSection HintSection() { return TLangSection::Hint; }
    [[nodiscard]] static constexpr TLangSection ParaCopierSection() { return TLangSection::ParaCopier; }
    // The index of such a section in the loaded file, -1 when it lacks it.
    [[nodiscard]] int SectionIndex(TLangSection section) const;

    // Loads the file into a new table and, only when that succeeded, takes
    // it over, sorts and indexes it, takes the section indices and the
    // display name, and applies the menu captions to the main menu. A
    // failed load raises (EStringListError for a bad line, EIniFileError
    // for a file that cannot be read) and keeps the previous texts.
    void LoadLanguage(const QString& path);

    // The numbered entry of the section (the calling thread's current
    // section when the index is negative); empty for a negative number.
    [[nodiscard]] QString TextOf(int number, int section) const;
    // The same in one of the common sections (the current section when the
    // file lacks it).
    [[nodiscard]] QString TextOf(int number, TLangSection section) const;
    // The same with the section named.
    [[nodiscard]] QString TextIn(int number, const QString& section) const;
    // TextOf, or `fallback` when the entry does not exist; never raises.
    [[nodiscard]] QString TextOr(int number, int section, const QString& fallback) const;
    [[nodiscard]] QString TextOr(int number, TLangSection section, const QString& fallback) const;
    // "/n" (any letter case) becomes a line break, then the placeholders
    // are filled (see FormatArgs).
    [[nodiscard]] static QString FormatText(const QString& text, const QVariantList& args = {});
    // FormatText of the numbered entry of the current section.
    [[nodiscard]] QString FormatNumbered(int number, const QVariantList& args = {}) const;
    [[nodiscard]] QString FormatTextOf(int number, int section, const QVariantList& args = {}) const;
    [[nodiscard]] QString FormatTextOf(int number, TLangSection section, const QVariantList& args = {}) const;
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
    // Background threads read the names while the main thread may load
    // another language.
    mutable std::mutex FNamesMutex;
    QString FFileName;
    QString FDisplayName;
    bool FMenusEnabled = false;
};

// The language table of the settings object, or an empty table when no
// settings object exists.
[[nodiscard]] TGlobStrings& Lang();
// Makes `table` the process-wide language table (none: the empty one).
void SetLang(TGlobStrings* table);

// The display name of the process-wide language table.
[[nodiscard]] QString ProgramDisplayName();
