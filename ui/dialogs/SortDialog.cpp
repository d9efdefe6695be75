#include "ui/dialogs/SortDialog.h"

#include "ui/VarControls.h"
#include "ui/dialogs/Dialog.h"
#include "ui/dialogs/LanguageSection.h"
#include "ui/mesglist/MesgListView.h"

bool RunSortDialog(TMesgListView& list)
{
    const TLanguageSection section(QStringLiteral("MesgSort"));
    TDialog dialog(TDialog::TName{QStringLiteral("Title")});
    dialog.setObjectName(QStringLiteral("SortDialog"));
    // The keys are the section's numbered entries, in the order of their values.
    TVarCombo* key = dialog.AddBoundCombo(&list, QStringLiteral("MessageSort"), 0);
    dialog.AddCheck(&list, QStringLiteral("InvertSort"));
    key->setFocus();
    return dialog.RunOkCancel();
}
