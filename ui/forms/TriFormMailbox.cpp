#include "ui/forms/TriForm.h"

#include "content/attach/FileDialogFilter.h"
#include "messages/Mailbox.h"
#include "settings/GlobStrings.h"
#include "store/DbxImporter.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "ui/MessageBoxes.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/forms/MailboxFileNames.h"
#include "ui/mesglist/MesgListView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

namespace {

// Runs the work under a progress dialog whose Cancel stops it; the dialog
// appears only when the work takes a moment.
int RunWithProgress(QWidget* parent, const QString& label, const std::function<int(const TMailboxProgress&)>& work)
{
    QProgressDialog dialog(label, Lang().CancelText(), 0, 1000, parent);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(400);
    const auto progress = [&dialog](qint64 done, qint64 total) {
        dialog.setValue(total > 0 ? static_cast<int>(std::min<qint64>(done * 1000 / total, 999)) : 0);
        return !dialog.wasCanceled();
    };
    return work(progress);
}

} // namespace

QString TTriForm::AskMailbox(const char* title, bool save)
{
    return AskFileName({Lang().CommonText(QString::fromLatin1(title)),
                        FUnixBoxPath, FileDialogFilter({QStringLiteral("mbox"), QStringLiteral("*.*")}), save});
}

void TTriForm::ExportToMailbox()
{
    const QString chosen = AskMailbox("SaveFile", true);
    if (chosen.isEmpty())
        return;
    FUnixBoxPath = QFileInfo(chosen).absolutePath();
    const QString path = MailboxExportName(chosen);
    if (QFileInfo::exists(path)) {
        const QString backup = MailboxBackupName(path);
        QFile::remove(backup);
        QFile::rename(path, backup);
    }
    RunWithProgress(this, QDir::toNativeSeparators(path),
                    [&](const TMailboxProgress& progress) { return ExportMailbox(Messages(), path, progress); });
}

void TTriForm::ImportOutlookExpress()
{
    const QString folder = AskFileName({Lang().CommonText(QStringLiteral("OpenFile")), FUnixBoxPath, {}, false, true});
    if (folder.isEmpty())
        return;
    FUnixBoxPath = folder;
    TDbxImportSummary summary;
    RunWithProgress(this, QDir::toNativeSeparators(folder), [&](const TMailboxProgress& progress) {
        summary = TDbxImporter(Messages().Folders(), Messages().FolderId()).Import({folder}, progress);
        return summary.Imported();
    });
    const QString section = QStringLiteral("MesgExpl");
    QString text = TGlobStrings::FormatText(Lang().SectionValue(section, QStringLiteral("DbxImported")),
                                            {summary.Imported(), summary.AlreadyImported()});
    QStringList problems = summary.MissingFiles + summary.FolderListProblems;
    for (const TDbxFileReport& file : summary.Files)
        if (!file.Error.isEmpty())
            problems << file.File + QStringLiteral(": ") + file.Error;
    if (!summary.Failure.isEmpty())
        problems << summary.Failure;
    if (problems.isEmpty()) {
        InfoBox(text);
        return;
    }
    text += QLatin1Char('\n') + Lang().SectionValue(section, QStringLiteral("DbxProblems")) + QLatin1Char('\n')
            + problems.join(QLatin1Char('\n'));
    ErrorBox(text);
}

void TTriForm::ImportFromMailbox()
{
    const QString path = AskMailbox("OpenFile", false);
    if (path.isEmpty())
        return;
    FUnixBoxPath = QFileInfo(path).absolutePath();
    RunWithProgress(this, QDir::toNativeSeparators(path), [&](const TMailboxProgress& progress) {
        return ImportMailbox(Messages(), path, false, progress);
    });
}
