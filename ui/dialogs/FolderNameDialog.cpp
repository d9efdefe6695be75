#include "ui/dialogs/FolderNameDialog.h"

#include "ui/dialogs/Dialog.h"
#include "ui/dialogs/LanguageSection.h"

namespace {

QString AskFolderName(int caption, int label, QString name)
{
    const TLanguageSection section(QStringLiteral("ParaCopier"));
    TDialog dialog(Lang().TextOf(caption, TLangSection::ParaCopier));
    dialog.setObjectName(QStringLiteral("FolderNameDialog"));
    dialog.AddHistoryCombo(&name, QStringLiteral("Folders"), label);
    return dialog.RunOkCancel() ? name.trimmed() : QString();
}

} // namespace

QString AskNewFolderName()
{
    return AskFolderName(28, 29, QString());
}

QString AskFolderRename(const QString& current)
{
    return AskFolderName(8, 15, current);
}
