#include "store/OEFolder.h"

#include "store/OutlookError.h"

#include "base/SafeFile.h"
#include "settings/UiHooks.h"

namespace {

QString HandleText(const QObject* window)
{
    return QString::number(reinterpret_cast<quintptr>(window));
}

[[noreturn]] void Raise(const QString& text)
{
    throw EOutlookError(text);
}

} // namespace

int FolderKind(TStoreId id, int specialType)
{
    if (id == kRootFolderId)
        return 0;
    if (specialType >= sfInbox && specialType <= sfDrafts)
        return specialType + 1;
    return 6;
}

void ProtectStoreFiles(const QString& path)
{
    for (const QString& file : TStoreNamespace::StoreFiles(path))
        ProtectFromWrites(file);
}

TOEFolder::TOEFolder(QObject* owner)
    : QObject(owner)
{
    if (FNamespace.Initialize() != srOk)
        Raise(QStringLiteral("Can not Initialize"));
    ProtectStoreFiles(FNamespace.Path());
}

TOEFolder::~TOEFolder()
{
    // Receivers must not outlive this object: drop every registration.
    if (FNotifyWindow) {
        if (FFolder)
            FFolder->UnregisterNotification(FNotifyWindow);
        FNamespace.UnregisterNotification(FNotifyWindow);
    }
}

void TOEFolder::SetFolderId(TStoreId id)
{
    if (id == FFolderId)
        return;
    CloseFolder();
    FFolderId = id;
    if (id != kRootFolderId && id != kNoStoreId) {
        if (FNamespace.OpenFolder(id, 0, FFolder) != srOk) {
            FFolderId = kNoStoreId;
            Raise(QStringLiteral("Folder %1 not found").arg(id));
        }
        if (FNotifyWindow && FFolder->RegisterNotification(0, FNotifyWindow) != srOk)
            Raise(QStringLiteral("Can not registrate handle %1").arg(HandleText(FNotifyWindow)));
    }
    UpdateFolderInfo();
}

void TOEFolder::CloseFolder()
{
    if (FNotifyWindow && FFolder && FFolder->UnregisterNotification(FNotifyWindow) != srOk)
        Raise(QStringLiteral("Can not unregistrate handle %1").arg(HandleText(FNotifyWindow)));
    FFolder.reset();
    FFolderId = kNoStoreId;
    FParentId = kNoStoreId;
    FFolderName.clear();
}

void TOEFolder::SetNotifyWindow(QObject* window)
{
    if (window == FNotifyWindow)
        return;
    if (QObject* old = FNotifyWindow) {
        bool ok = !FFolder || FFolder->UnregisterNotification(old) == srOk;
        if (ok)
            ok = FNamespace.UnregisterNotification(old) == srOk;
        if (!ok)
            Raise(QStringLiteral("Can not unregistrate handle %1").arg(HandleText(old)));
    }
    FNotifyWindow = window;
    if (!window)
        return;
    if (FNamespace.RegisterNotification(0, window) != srOk
        || (FFolder && FFolder->RegisterNotification(0, window) != srOk))
        Raise(QStringLiteral("Can not registrate handle %1").arg(HandleText(window)));
}

TFolderProps TOEFolder::ReadFolderProps()
{
    TFolderProps props;
    if (!FFolder || FFolder->GetFolderProperties(0, props) != srOk)
        Raise(QStringLiteral("Unknown folder"));
    return props;
}

void TOEFolder::UpdateFolderInfo()
{
    if (!FFolder)
        return;
    const TFolderProps props = ReadFolderProps();
    FFolderId = props.Id;
    FFolderName = props.Name;
    FSpecialType = props.SpecialType;
    FParentId = FindParentId(props.Id);
}

TStoreResult TOEFolder::GetFolderInfo(TStoreId id, TFolderProps& props)
{
    return FNamespace.GetFolderProperties(id, 0, props);
}

bool TOEFolder::FolderExists(TStoreId id)
{
    TFolderProps props;
    return GetFolderInfo(id, props) == srOk;
}

bool TOEFolder::ForEachChild(TStoreId parent, const std::function<bool(const TFolderProps&)>& visit)
{
    TFolderProps props;
    TEnumHandle handle = 0;
    TStoreResult result = FNamespace.GetFirstSubFolder(parent, props, handle);
    while (result == srOk && visit(props))
        result = FNamespace.GetNextSubFolder(handle, props);
    FNamespace.GetSubFolderClose(handle);
    // srOk here means that the visitor stopped.
    return result == srOk || result == srNoMore;
}

TStoreId TOEFolder::FindParentId(TStoreId id)
{
    // The store names every folder's parent: one look-up, however large the
    // store, where a search from the root would visit every folder.
    TFolderProps props;
    return GetFolderInfo(id, props) == srOk ? props.ParentId : kNoStoreId;
}

TStoreId TOEFolder::FindSpecialFolder(int type)
{
    TStoreId found = kNoStoreId;
    ForEachChild(kRootFolderId, [&](const TFolderProps& child) {
        // Compared as one byte, as the kind table is.
        if (static_cast<quint8>(child.SpecialType) == static_cast<quint8>(type))
            found = child.Id;
        return found == kNoStoreId;
    });
    return found;
}

TStoreId TOEFolder::AddFolder(TStoreId parent, const QByteArray& name)
{
    TStoreId id = kNoStoreId;
    return FNamespace.CreateFolder(parent, name, 0, &id) == srOk ? id : kNoStoreId;
}

bool TOEFolder::RenameFolderId(TStoreId id, const QByteArray& name)
{
    return FNamespace.RenameFolder(id, 0, name) == srOk;
}

bool TOEFolder::MoveFolderId(TStoreId id, TStoreId newParent)
{
    return FNamespace.MoveFolder(id, newParent, 0) == srOk;
}

bool TOEFolder::DeleteFolderId(TStoreId id)
{
    return FNamespace.DeleteFolder(id, 0) == srOk;
}

TStoreResult TOEFolder::CompactStoreFile(const QString& path, bool whole, const TStoreKeepGoing& keepGoing)
{
    TStoreNamespace store;
    TStoreResult result = store.Initialize(path);
    if (result != srOk || whole)
        return result != srOk ? result : store.CompactAll(0, keepGoing);
    // Free pages belong to no folder: any open folder gives them back.
    std::unique_ptr<TStoreFolder> root;
    result = store.OpenFolder(kRootFolderId, 0, root);
    return result != srOk ? result : root->Compact(0, keepGoing);
}

bool TOEFolder::event(QEvent* event)
{
    // Exceptions must not unwind through Qt's event loop: report them here,
    // as the application's own handler would.
    try {
        if (WndProc(event))
            return true;
    } catch (const Exception& error) {
        ShowErrorBox(error.Message());
        return true;
    }
    return QObject::event(event);
}

bool TOEFolder::WndProc(QEvent* event)
{
    if (!TStoreEvent::IsStoreEvent(event))
        return false;
    const auto& notification = static_cast<const TStoreEvent&>(*event);
    switch (notification.StoreType()) {
    case seFolderChanged:
        HandleFolderChanged(notification);
        break;
    case seNewMessage:
        HandleNewMessage(notification);
        break;
    case seMessagesDeleted:
        if (OnDeleteMessages)
            OnDeleteMessages(this, notification.Ids);
        break;
    case seMarkedRead:
        if (OnMarkedRead)
            OnMarkedRead(this, notification.Ids);
        break;
    case seMarkedUnread:
        if (OnMarkedUnread)
            OnMarkedUnread(this, notification.Ids);
        break;
    case seFolderDeleted:
        if (OnDeleteFolder)
            OnDeleteFolder(this, notification.FolderId);
        break;
    }
    return true;
}

void TOEFolder::HandleFolderChanged(const TStoreEvent& event)
{
    const int type = event.NotifyType;
    const bool refreshes = type == fnRenamed || type == fnMoved || type == fnUpdateFlagsChanged || type == fnPropsChanged;
    if (FFolder && refreshes && event.NewId == FFolderId)
        UpdateFolderInfo();
    if (OnFolderChange)
        OnFolderChange(type, event.OldId, event.NewId);
}

void TOEFolder::HandleNewMessage(const TStoreEvent& event)
{
    if (!OnNewMessage)
        return;
    for (TStoreId id : event.Ids) {
        TMessageProps props;
        const TStoreResult result = FFolder ? FFolder->GetMessageProperties(id, 1, props) : srNotFound;
        // Notifications are posted: by the time this one is handled the
        // message may already have left the folder, which is no error.
        if (result == srNotFound)
            continue;
        if (result != srOk)
            Raise(QStringLiteral("Can not get message properties %1 = Id message").arg(id));
        OnNewMessage(this, props);
    }
}

void TOEFolder::DoProgress(quint32 current, quint32 maximum)
{
    if (OnProgress)
        OnProgress(current, maximum);
}
