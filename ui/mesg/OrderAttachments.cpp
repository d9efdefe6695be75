#include "ui/mesg/OrderAttachments.h"

#include "base/Stream.h"
#include "content/attach/FileDialogFilter.h"
#include "content/view/DraftAttachments.h"
#include "settings/GlobStrings.h"
#include "settings/UiHooks.h"
#include "ui/MessageBoxes.h"
#include "ui/mesg/AbstractMesgEditor.h"
#include "ui/mesg/SaveDialog.h"
#include "ui/mesg/ShellOpen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>

TOrderAttachments::TOrderAttachments(TAbstractMesgEditor& view)
    : FView(view)
    , FFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
{
}

bool TOrderAttachments::Open(int index)
{
    QString path;
    try {
        path = FView.Model().EnsureTempFile(index);
    } catch (...) {
        if (!ReportFileErrorInBox(FView.Model().AttachmentName(index)))
            throw;
        return false;
    }
    return ShellOpenFile(path) >= 32;
}

bool TOrderAttachments::Supports(int kind) const
{
    return kind == okAdd || kind == okDelete || kind == okSave;
}

bool TOrderAttachments::CanAdd() const
{
    return !FView.ReadOnly();
}

void TOrderAttachments::Add()
{
    if (!CanAdd())
        return;
    const QString path = ChooseFileToOpen(FFolder);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        FileErrorBox(feOpen, path);
        return;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        FileErrorBox(feRead, path);
        return;
    }
    const QByteArray type = QMimeDatabase().mimeTypeForFileNameAndData(path, data).name().toLatin1();
    AddFileAttachment(FView.Message(), QFileInfo(path).fileName(), data, type);
    Remember(path);
    FChanged = true;
}

bool TOrderAttachments::CanDelete(int index) const
{
    return !FView.ReadOnly() && index >= 0 && index < Count();
}

void TOrderAttachments::Delete(int index)
{
    if (!CanDelete(index))
        return;
    RemoveAttachment(FView.Message(), index);
    FChanged = true;
}

void TOrderAttachments::Save(int index)
{
    if (index < 0 || index >= Count())
        return;
    TSaveRequest request;
    request.Title = Lang().CommonText(QStringLiteral("SaveFile"));
    request.Start = QDir(FFolder).filePath(Text(index));
    request.Filter = FileDialogFilter({QStringLiteral("*.*")});
    const QString path = ChooseSaveFile(request);
    if (path.isEmpty())
        return;
    try {
        FView.Model().SaveAttachment(index, path);
        Remember(path);
    } catch (...) {
        if (!ReportFileErrorInBox(path))
            throw;
    }
}

int TOrderAttachments::Count() const
{
    return FView.Model().AttachmentCount();
}

QString TOrderAttachments::Text(int index) const
{
    return FView.Model().AttachmentName(index);
}

void TOrderAttachments::Remember(const QString& path)
{
    FFolder = QFileInfo(path).absolutePath();
}
