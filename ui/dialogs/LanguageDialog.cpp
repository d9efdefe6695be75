#include "ui/dialogs/LanguageDialog.h"

#include "settings/AppPaths.h"
#include "settings/BaseOptions.h"
#include "settings/GlobStrings.h"
#include "ui/VarControls.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>

namespace {

const QString kLangFile = QStringLiteral("LangFile");

// The index of the file name in the list, letter case ignored; -1 when absent.
int IndexOfFile(const QStringList& files, const QString& name)
{
    for (qsizetype i = 0; i < files.size(); ++i)
        if (files[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

} // namespace

QStringList FindLanguageFiles(const QString& folder)
{
    QDir dir(folder, QStringLiteral("*.ini"), QDir::Unsorted, QDir::Files | QDir::Hidden);
    return dir.entryList();
}

void ApplyLanguageToOpenForms()
{
    for (QWidget* form : QApplication::topLevelWidgets())
        if (auto* menu = form->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly))
            Lang().ApplyMenu(menu);
}

TLanguageDlg::TLanguageDlg(TBaseOptions& options, const TName& name)
    : TDialog(name)
    , FOptions(options)
    , FFiles(FindLanguageFiles(DataFolder() + QStringLiteral("/local")))
{
    for (const QString& file : FFiles) {
        // The base name is the file name without its ".ini".
        const QString base = file.chopped(4);
        FEntries << Lang().SectionValue(QStringLiteral("Languages"), base) + QStringLiteral(" (") + base
                        + QLatin1Char(')');
    }
}

QString TLanguageDlg::LangFile() const
{
    return FOptions.LanguageFile();
}

void TLanguageDlg::SetLangFile(const QString& entry)
{
    const int index = static_cast<int>(FEntries.indexOf(entry));
    const QString file = index >= 0 ? FFiles[index] : entry.trimmed();
    if (file.isEmpty() || file.compare(QFileInfo(FOptions.LanguageFile()).fileName(), Qt::CaseInsensitive) == 0)
        return;
    FOptions.SetLanguage(file);
    ApplyLanguageToOpenForms();
}

TVarCombo* TLanguageDlg::AddLanguageCombo()
{
    TVarCombo* combo = AddCombo(Lang().ValueOf(kLangFile));
    NameControl(combo, kLangFile);
    combo->addItems(FEntries);
    combo->BindProperty(this, kLangFile);
    // A choice among the files found, not a text to type.
    combo->setEditable(false);
    const int loaded = IndexOfFile(FFiles, QFileInfo(FOptions.LanguageFile()).fileName());
    combo->setCurrentIndex(FEntries.isEmpty() ? -1 : std::max(loaded, 0));
    return combo;
}
