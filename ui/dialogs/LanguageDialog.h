#pragma once

#include "ui/dialogs/Dialog.h"

#include <QStringList>

class TBaseOptions;

// The language files found in `folder`: the names of the files (not
// folders) that end in ".ini", in the order the file system lists them.
[[nodiscard]] QStringList FindLanguageFiles(const QString& folder);

// Sets the captions of the main menu of every open window again from the
// loaded language, after the language has changed.
void ApplyLanguageToOpenForms();

// A code-built dialog that offers the language files of the data folder's
// "local" folder. Reading LangFile gives the path of the loaded language
// file; writing it (the text of one of the entries, or a file name) loads
// that language when it is another file than the loaded one, and re-captions
// the menus of every open window.
class TLanguageDlg : public TDialog
{
    Q_OBJECT
    Q_PROPERTY(QString LangFile READ LangFile WRITE SetLangFile)
public:
    // Captioned with the named entry of the current language section.
    TLanguageDlg(TBaseOptions& options, const TName& name);

    [[nodiscard]] QString LangFile() const;
    void SetLangFile(const QString& entry);

    // The language files found when the dialog was built, and their
    // entries: the "Languages" name of each, then its base name in brackets.
    [[nodiscard]] const QStringList& LanguageFiles() const { return FFiles; }
    [[nodiscard]] const QStringList& LanguageEntries() const { return FEntries; }

    // A drop-down list of the entries bound to LangFile, the loaded
    // language (or else the first entry) selected; labelled "LangFile".
    TVarCombo* AddLanguageCombo();

protected:
    [[nodiscard]] TBaseOptions& BaseSettings() const { return FOptions; }

private:
    TBaseOptions& FOptions;
    QStringList FFiles;
    QStringList FEntries;
};
