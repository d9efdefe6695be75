#include "ui/dialogs/FindDialog.h"

#include "ui/VarControls.h"
#include "ui/dialogs/Dialog.h"
#include "ui/dialogs/LanguageSection.h"

#include <QLabel>

bool RunFindDialog(QString& text, QObject* options)
{
    const TLanguageSection section(QStringLiteral("EditDlg"));
    TDialog dialog(0, -1);
    dialog.setObjectName(QStringLiteral("FindDialog"));
    TVarCombo* combo = dialog.AddHistoryCombo(&text, QStringLiteral("FindText"), -1);
    combo->setObjectName(QStringLiteral("FindText"));
    dialog.LabelBeside(combo, 2);
    QLabel* label = dialog.AddText(Lang().CommonText(QStringLiteral("Options")));
    TVarCheck* wholeWord = dialog.AddCheck(options, QStringLiteral("WholeWord"));
    TVarCheck* matchCase = dialog.AddCheck(options, QStringLiteral("MatchCase"));
    TVarRadio* direction = dialog.AddRadio(options, QStringLiteral("FindDown"), -1);
    dialog.LabelsAndRadios({label, wholeWord, matchCase}, {direction});
    combo->setFocus();
    return dialog.RunOkCancel();
}
