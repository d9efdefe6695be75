#include "ui/spell/SpellOptions.h"

#include "settings/BaseOptions.h"
#include "settings/GlobStrings.h"
#include "ui/dialogs/Dialog.h"
#include "ui/dialogs/LanguageSection.h"
#include "ui/spell/RichSpellChecker.h"
#include "ui/spell/SharedSpellChecker.h"

namespace {

// The options in the order the dialog shows them.
const char* const kOptionNames[] = {
    "IgnoreAllUpperCase", "IgnoreNumbers",  "IgnoreInternet", "IgnoreFiles",   "IgnoreBrackets",
    "DuplicateSpaces",    "DuplicateWords", "MainDicOnly",    "AlwaysSuggest",
};

constexpr int kClientWidth = 300;

} // namespace

bool RunSpellOptionsDialog(TSpellChecker& checker)
{
    const TLanguageSection section(QStringLiteral("SpellCheck"));
    TDialog dialog(Lang().ValueOf(QStringLiteral("OptionsTitle")));
    dialog.setObjectName(QStringLiteral("SpellOptions"));
    dialog.WidenTo(kClientWidth);
    for (const char* name : kOptionNames)
        dialog.AddCheck(&checker, QString::fromLatin1(name));
    return dialog.RunOkCancel();
}

void SpellOptions()
{
    TBaseOptions* settings = BaseOptions();
    if (!settings)
        return;
    if (SharedSpellCheckerExists()) {
        TRichSpellCheckerDlg& checker = SharedSpellChecker();
        RunSpellOptionsDialog(checker);
        settings->SaveSettings(&checker);
        checker.NotifyChanged();
        return;
    }
    TSpellChecker temporary;
    settings->LoadSettings(&temporary);
    RunSpellOptionsDialog(temporary);
    settings->SaveSettings(&temporary);
}
