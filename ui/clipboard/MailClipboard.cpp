#include "ui/clipboard/MailClipboard.h"

#include "base/FastMemoryStream.h"
#include "content/attach/AttachmentNames.h"
#include "content/attach/SafeWrites.h"
#include "messages/MesgItems.h"
#include "ui/MessageBoxes.h"
#include "ui/clipboard/ClipboardFormats.h"
#include "ui/clipboard/MailMimeData.h"
#include "ui/clipboard/PasteDialog.h"
#include "ui/mesglist/MesgListView.h"

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QDrag>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIODevice>
#include <QUrl>

#include <exception>

using namespace ClipboardFormats;

namespace {

const QString kEml = QStringLiteral(".eml");

bool IsEmlName(const QString& name)
{
    return name.endsWith(kEml, Qt::CaseInsensitive);
}

// The local files among the data's URLs.
QStringList LocalFiles(const QMimeData* data)
{
    QStringList files;
    if (data && data->hasUrls()) {
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                files.append(url.toLocalFile());
    }
    return files;
}

bool AnyEml(const QStringList& names)
{
    return std::any_of(names.begin(), names.end(), IsEmlName);
}

QStringList NamesOf(const QList<TVirtualFileDescriptor>& descriptors)
{
    QStringList names;
    for (const TVirtualFileDescriptor& d : descriptors)
        names.append(d.FileName);
    return names;
}

// A name that the file system takes and that stays in its folder.
QString DiskName(const QString& offered)
{
    const QString clean = CleanFileNameText(offered);
    return FitFileName(clean.isEmpty() ? QStringLiteral("no subject.eml") : clean);
}

} // namespace

TMailClipboard::TMailClipboard(QObject* owner)
    : QObject(owner)
{
    setObjectName(QStringLiteral("MailClipboard"));
}

TMailClipboard::~TMailClipboard()
{
    for (auto it = FTargets.cbegin(); it != FTargets.cend(); ++it)
        it.key()->removeEventFilter(this);
}

// -------------------------------------------------------------- outgoing

void TMailClipboard::ClearOutgoing()
{
    const QMutexLocker lock(&FLock);
    FOut.clear();
    FWritten.clear();
    FOfferFolder.clear();
}

void TMailClipboard::AddVirtualFile(const TVirtualFileDescriptor& descriptor)
{
    const QMutexLocker lock(&FLock);
    FOut.append(descriptor);
}

void TMailClipboard::NormaliseOutgoing()
{
    const QMutexLocker lock(&FLock);
    QStringList names = NamesOf(FOut);
    NormaliseFileNames(names);
    for (qsizetype i = 0; i < FOut.size(); ++i)
        FOut[i].FileName = names[i];
}

int TMailClipboard::OutgoingCount() const
{
    const QMutexLocker lock(&FLock);
    return static_cast<int>(FOut.size());
}

QList<TVirtualFileDescriptor> TMailClipboard::OutgoingDescriptors() const
{
    const QMutexLocker lock(&FLock);
    return FOut;
}

void TMailClipboard::RemoveOutgoing(int index)
{
    const QMutexLocker lock(&FLock);
    if (index >= 0 && index < FOut.size())
        FOut.removeAt(index);
}

std::unique_ptr<QIODevice> TMailClipboard::ContentStream(int)
{
    return nullptr;
}

QByteArray TMailClipboard::OutgoingContents(int index)
{
    const std::unique_ptr<QIODevice> stream = ContentStream(index);
    return stream ? stream->readAll() : QByteArray();
}

QString TMailClipboard::OfferFolder()
{
    if (FOfferFolder.isEmpty()) {
        const QString temp = PrivateTempFolder();
        if (temp.isEmpty())
            return {};
        // Each offer has a new folder of its own, so its files keep their
        // names; the run's temporary folder goes with them at its end.
        QTemporaryDir folder(temp + QStringLiteral("/offer-XXXXXX"));
        if (!folder.isValid())
            return {};
        folder.setAutoRemove(false);
        FOfferFolder = folder.path();
    }
    return FOfferFolder;
}

QStringList TMailClipboard::WriteOutgoingFiles()
{
    const QMutexLocker lock(&FLock);
    QStringList paths;
    const QString folder = OfferFolder();
    if (folder.isEmpty())
        return paths;
    for (int i = 0; i < FOut.size(); ++i) {
        const QString name = FOut[i].FileName;
        QString path = FWritten.value(name);
        if (path.isEmpty()) {
            const QByteArray contents = OutgoingContents(i);
            if (contents.isEmpty())
                continue;
            const QString diskName = DiskName(name);
            TFastMemoryStream data;
            data.WriteBuffer(contents.constData(), contents.size());
            try {
                path = folder + u'/' + diskName;
                for (int n = 1; !WriteNewFile(path, data); ++n)
                    path = folder + u'/' + NumberedFileName(diskName, n);
            } catch (...) {
                ReportFileErrorInBox(path);
                continue;
            }
            FWritten.insert(name, path);
        }
        paths.append(path);
    }
    return paths;
}

void TMailClipboard::OfferOnClipboard(bool cut)
{
    QGuiApplication::clipboard()->setMimeData(new TMailMimeData(*this, cut));
}

void TMailClipboard::CopyMessages()
{
    OfferOnClipboard(false);
}

void TMailClipboard::CutMessages()
{
    OfferOnClipboard(true);
}

void TMailClipboard::StartMessageDrag()
{
    auto* drag = new QDrag(FSourceControl ? static_cast<QObject*>(FSourceControl.data()) : this);
    drag->setMimeData(new TMailMimeData(*this, false));
    FDragResult = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
}

// -------------------------------------------------------------- incoming

bool TMailClipboard::ClipboardAcceptable(const QMimeData* data) const
{
    if (!data)
        return false;
    if (data->hasFormat(InternalMarker()))
        return OutgoingCount() > 0;
    if (data->hasFormat(kFileDescriptors))
        return AnyEml(NamesOf(DecodeDescriptors(data->data(kFileDescriptors))));
    return AnyEml(LocalFiles(data));
}

Qt::DropAction TMailClipboard::PasteEffectOf(const QMimeData* data)
{
    return IsCut(data) ? Qt::MoveAction : Qt::CopyAction;
}

void TMailClipboard::BeginIncoming(const QMimeData* data, Qt::DropAction requested)
{
    FIncoming = data;
    FFromThisRun = data->hasFormat(InternalMarker());
    FHasVirtualFiles = !FFromThisRun && data->hasFormat(kFileDescriptors);
    FIncomingFiles.clear();
    if (FHasVirtualFiles)
        FIncomingFiles = DecodeDescriptors(data->data(kFileDescriptors));
    FDroppedFiles = FFromThisRun || FHasVirtualFiles ? QStringList() : LocalFiles(data);
    // Only messages of this run move: files of other programs are copied,
    // so that a file manager never deletes what it offered.
    FDropEffect = FFromThisRun && requested == Qt::MoveAction ? TDropEffect::Move : TDropEffect::Copy;
}

void TMailClipboard::EndIncoming()
{
    FIncoming = nullptr;
    FIncomingFiles.clear();
    FDroppedFiles.clear();
    FPasteControl = nullptr;
}

int TMailClipboard::IncomingCount() const
{
    if (FFromThisRun)
        return OutgoingCount();
    return static_cast<int>(FHasVirtualFiles ? FIncomingFiles.size() : FDroppedFiles.size());
}

bool TMailClipboard::HasEmlVirtualFile() const
{
    return AnyEml(NamesOf(FIncomingFiles));
}

bool TMailClipboard::HasEmlFile() const
{
    return AnyEml(FDroppedFiles);
}

QString TMailClipboard::IncomingName(int index) const
{
    return index >= 0 && index < FIncomingFiles.size() ? FIncomingFiles[index].FileName : QString();
}

QByteArray TMailClipboard::IncomingContents(int index) const
{
    return FIncoming ? FIncoming->data(FileContents(index)) : QByteArray();
}

bool TMailClipboard::PasteCancelled() const
{
    return TPasteDialog::Cancelled();
}

void TMailClipboard::SetPasteProgress(int position, int total)
{
    if (TPasteDialog* dialog = TPasteDialog::Current())
        dialog->Progress(position, total);
}

void TMailClipboard::RunPaste(int total, const std::function<void()>& paste)
{
    if (PasteRunning())
        return;
    try {
        TPasteDialog dialog(total);
        dialog.Run(paste);
    } catch (const std::exception& error) {
        ErrorBox(QString::fromUtf8(error.what()));
    }
    ShowBackgroundErrors();
}

// ---------------------------------------------------------- message lists

void TMailClipboard::RegisterDropTarget(TMesgListView& list)
{
    list.viewport()->setAcceptDrops(true);
    list.viewport()->installEventFilter(this);
    FTargets.insert(list.viewport(), &list);
}

void TMailClipboard::UnregisterDropTarget(TMesgListView& list)
{
    list.viewport()->removeEventFilter(this);
    FTargets.remove(list.viewport());
}

void TMailClipboard::SetSourceControl(TMesgListView& list)
{
    FSourceControl = &list;
    list.Messages()->SetTransfer(this);
}

bool TMailClipboard::CanPasteInto(TMesgListView&)
{
    return ClipboardAcceptable(QGuiApplication::clipboard()->mimeData());
}

void TMailClipboard::PasteInto(TMesgListView& list)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!ClipboardAcceptable(data))
        return;
    FPasteControl = &list;
    DropOnList(list, data, PasteEffectOf(data));
}

bool TMailClipboard::PasteRunning()
{
    return TPasteDialog::Current() != nullptr;
}

Qt::DropAction TMailClipboard::DropOnList(TMesgListView& list, const QMimeData* data, Qt::DropAction requested)
{
    if (PasteRunning())
        return Qt::IgnoreAction;
    BeginIncoming(data, requested);
    TMesgItems* messages = list.Messages();
    messages->SetTransfer(this);
    RunPaste(IncomingCount(), [this, messages] { messages->AcceptIncoming(*this); });
    EndIncoming();
    return DropEffect();
}

bool TMailClipboard::eventFilter(QObject* watched, QEvent* event)
{
    TMesgListView* list = FTargets.value(watched);
    if (!list)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        // A list takes no drop of its own messages, nor while it loads.
        if (list->IsReady() && !PasteRunning() && drag->source() != list && ClipboardAcceptable(drag->mimeData()))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const Qt::DropAction effect = DropOnList(*list, drop->mimeData(), drop->dropAction());
        drop->setDropAction(effect);
        drop->setAccepted(effect != Qt::IgnoreAction);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
