#include "ui/clipboard/OEClipboard.h"

#include "store/OEFolders.h"
#include "store/OutlookError.h"
#include "ui/clipboard/ClipboardFormats.h"
#include "ui/clipboard/PasteDialog.h"

#include <QClipboard>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

using namespace ClipboardFormats;

namespace {

// The store's progress goes to the paste dialog while one shows and the
// user has not cancelled.
bool FeedPasteDialog(quint32 current, quint32 maximum)
{
    TPasteDialog* dialog = TPasteDialog::Current();
    if (!dialog || TPasteDialog::Cancelled())
        return false;
    dialog->Progress(static_cast<int>(current), static_cast<int>(maximum));
    return true;
}

// A store operation stops when the paste dialog that it runs under was cancelled.
bool PasteDialogCancelled()
{
    return TPasteDialog::Current() && TPasteDialog::Cancelled();
}

bool IsEml(const QString& name)
{
    return name.endsWith(QLatin1String(".eml"), Qt::CaseInsensitive);
}

} // namespace

// ------------------------------------------------------- folder clipboard

TOEFolderClipboard::TOEFolderClipboard(QObject* owner)
    : TMailClipboard(owner)
{
}

void TOEFolderClipboard::ClearOutgoing()
{
    TMailClipboard::ClearOutgoing();
    FFolderOut = kNoStoreId;
}

QMimeData* TOEFolderClipboard::FolderData(TStoreId folder, bool cut)
{
    FFolderOut = folder;
    auto* data = new QMimeData;
    data->setData(kFolder, EncodeFolder(folder));
    data->setData(kKdeCut, cut ? "1" : "0");
    return data;
}

void TOEFolderClipboard::OfferFolder(QWidget* source, TStoreId folder, Qt::DropAction effect)
{
    SetSourceWidget(source);
    QGuiApplication::clipboard()->setMimeData(FolderData(folder, effect == Qt::MoveAction));
}

void TOEFolderClipboard::DragFolder(QWidget* source, TStoreId folder)
{
    SetSourceWidget(source);
    auto* drag = new QDrag(source ? static_cast<QObject*>(source) : this);
    drag->setMimeData(FolderData(folder, false));
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
}

TStoreId TOEFolderClipboard::OfferedFolder(const QMimeData* data) const
{
    return DecodeFolder(data);
}

Qt::DropAction TOEFolderClipboard::PasteEffect(const QMimeData* data) const
{
    return PasteEffectOf(data);
}

bool TOEFolderClipboard::AcceptsMessages(const QMimeData* data) const
{
    return ClipboardAcceptable(data);
}

Qt::DropAction TOEFolderClipboard::PasteMessages(QWidget*, const QMimeData* data, TStoreId folder,
                                                 Qt::DropAction effect)
{
    if (PasteRunning() || !ClipboardAcceptable(data))
        return Qt::IgnoreAction;
    BeginIncoming(data, effect);
    RunPaste(IncomingCount(), [this, folder] {
        if (FromThisRun())
            PasteIntoFolder(folder);
        else
            SaveIncomingFiles(folder);
    });
    EndIncoming();
    return DropEffect();
}

void TOEFolderClipboard::SetDropEffect(Qt::DropAction effect)
{
    TMailClipboard::SetDropEffect(static_cast<TDropEffect>(effect));
}

bool TOEFolderClipboard::RunWithProgress(QWidget*, TOEFolders& folders, const std::function<bool()>& task)
{
    bool done = false;
    auto redirect = std::exchange(folders.ProgressRedirect, FeedPasteDialog);
    auto stop = std::exchange(folders.StopRequested, PasteDialogCancelled);
    RunPaste(0, [&] { done = task(); });
    folders.ProgressRedirect = std::move(redirect);
    folders.StopRequested = std::move(stop);
    return done;
}

// ------------------------------------------------------- store clipboard

TOEClipboard::TOEClipboard(QObject* owner)
    : TOEFolderClipboard(owner)
    , FFolders(std::make_unique<TOEFolders>())
{
    setObjectName(QStringLiteral("OEClipboard"));
    FFolders->OnDeleteMessages = [this](TOEFolder*, const TMessageIdList& ids) { ForgetDeleted(ids); };
    FFolders->ProgressRedirect = FeedPasteDialog;
    FFolders->StopRequested = PasteDialogCancelled;
}

TOEClipboard::~TOEClipboard()
{
    Uninstall();
}

void TOEClipboard::Install()
{
    SetMesgListClipboard(this);
    SetFolderTreeClipboard(this);
}

void TOEClipboard::Uninstall()
{
    if (MesgListClipboard() == this)
        SetMesgListClipboard(nullptr);
    if (FolderTreeClipboard() == this)
        SetFolderTreeClipboard(nullptr);
}

void TOEClipboard::ClearOutgoing()
{
    const QMutexLocker lock(&FLock);
    TOEFolderClipboard::ClearOutgoing();
    FFolders->SetFolderId(kRootFolderId);
    FIds.clear();
}

void TOEClipboard::AddOutgoing(TStoreId id, const TVirtualFileDescriptor& descriptor)
{
    const QMutexLocker lock(&FLock);
    FIds.append(id);
    AddVirtualFile(descriptor);
}

void TOEClipboard::FinishOutgoing(TStoreId folder)
{
    try {
        FFolders->SetFolderId(folder);
    } catch (const EOutlookError&) {
        // The folder is gone: there is nothing left to offer.
        ClearOutgoing();
        return;
    }
    NormaliseOutgoing();
}

TMessageIdList TOEClipboard::OutgoingIds() const
{
    const QMutexLocker lock(&FLock);
    return FIds;
}

std::unique_ptr<QIODevice> TOEClipboard::ContentStream(int index)
{
    const QMutexLocker lock(&FLock);
    std::unique_ptr<QIODevice> stream;
    if (index < 0 || index >= FIds.size() || !FFolders->Folder()
        || FFolders->Folder()->OpenMessage(FIds[index], stream) != srOk)
        return nullptr;
    return stream;
}

void TOEClipboard::ForgetDeleted(const TMessageIdList& ids)
{
    const QMutexLocker lock(&FLock);
    for (const TStoreId id : ids) {
        const qsizetype index = FIds.indexOf(id);
        if (index >= 0) {
            FIds.removeAt(index);
            RemoveOutgoing(static_cast<int>(index));
        }
    }
}

void TOEClipboard::PasteIntoFolder(TStoreId folder)
{
    const TMessageIdList ids = OutgoingIds();
    if (ids.isEmpty() || !FFolders->CopyMoveTo(ids, folder, DropEffect() == Qt::MoveAction))
        TMailClipboard::SetDropEffect(TDropEffect::Refused);
}

void TOEClipboard::SaveVirtualFiles(TStoreId folder)
{
    SaveIncomingFiles(folder);
}

void TOEClipboard::SaveIncomingFiles(TStoreId folder)
{
    QList<int> files;
    for (int i = 0; i < IncomingCount(); ++i)
        if (IsEml(HasVirtualFiles() ? IncomingName(i) : DroppedFiles().value(i)))
            files.append(i);
    if (files.isEmpty()) {
        TMailClipboard::SetDropEffect(TDropEffect::Refused);
        return;
    }
    std::unique_ptr<TStoreFolder> target;
    if (FFolders->Namespace().OpenFolder(folder, 0, target) != srOk) {
        TMailClipboard::SetDropEffect(TDropEffect::Refused);
        ShowOutlookError(kTargetFolderError);
        return;
    }
    const int total = static_cast<int>(files.size());
    // A Cancel pressed while the progress showed stops before the next file.
    for (int n = 0; n < total && !PasteCancelled(); ++n) {
        if (!SaveIncoming(*target, files[n])) {
            ShowOutlookError(kCopyMoveError);
            return;
        }
        SetPasteProgress(n + 1, total);
    }
}

bool TOEClipboard::SaveIncoming(TStoreFolder& target, int index)
{
    TStoreId id = kNoStoreId;
    if (HasVirtualFiles()) {
        // A file whose contents the sender does not hand out is skipped.
        const QByteArray contents = IncomingContents(index);
        return contents.isEmpty() || target.SaveMessage(contents, kMsgUnread, &id) == srOk;
    }
    // A path that is gone, or is no regular file (a folder, a device, a
    // pipe that would never end), is skipped.
    const QString path = DroppedFiles().value(index);
    if (!QFileInfo(path).isFile())
        return true;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && target.SaveMessage(file, kMsgUnread, &id) == srOk;
}
