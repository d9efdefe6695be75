#include "store/OEFolders.h"

#include "store/OutlookError.h"

#include <QCoreApplication>

namespace {

// Carries the folder id of an open-folder request.
class TOpenFolderEvent : public QEvent
{
public:
    explicit TOpenFolderEvent(TStoreId id)
        : QEvent(static_cast<QEvent::Type>(kOpenFolderRequest)), Id(id) {}
    TStoreId Id;
};

// Pending user-interface events are processed at most this often while a
// long enumeration runs.
constexpr qint64 kInterfaceIntervalMs = 60;

} // namespace

TOEFolders::TOEFolders(QObject* owner)
    : TOEFolder(owner)
{
    setObjectName(QStringLiteral("OEFolders"));
    SetNotifyWindow(this);
}

TOEFolders::~TOEFolders()
{
    try {
        CloseFolder();
        SetNotifyWindow(nullptr);
    } catch (const Exception&) {
        // Destruction goes on; the base drops any registration left.
    }
}

void TOEFolders::RequestOpenFolder(TStoreId id)
{
    QCoreApplication::postEvent(this, new TOpenFolderEvent(id));
}

bool TOEFolders::WndProc(QEvent* event)
{
    if (event->type() != kOpenFolderRequest)
        return TOEFolder::WndProc(event);
    const TStoreId id = static_cast<TOpenFolderEvent*>(event)->Id;
    SetFolderId(id);
    if (OnFolderOpened)
        OnFolderOpened(this, id);
    return true;
}

void TOEFolders::DoProgress(quint32 current, quint32 maximum)
{
    if (ProgressRedirect && ProgressRedirect(current, maximum))
        return;
    TOEFolder::DoProgress(current, maximum);
}

TStoreId TOEFolders::ParentOrInbox(TStoreId id)
{
    const TStoreId parent = FindParentId(id);
    return parent != kNoStoreId ? parent : FindSpecialFolder(sfInbox);
}

bool TOEFolders::IsDescendant(TStoreId ancestor, TStoreId id)
{
    bool found = false;
    ForEachChild(ancestor, [&](const TFolderProps& child) {
        found = child.Id == id || IsDescendant(child.Id, id);
        return !found;
    });
    return found;
}

bool TOEFolders::CanMoveFolder(TStoreId source, TStoreId target)
{
    if (source == kRootFolderId || source == kNoStoreId || source == target || target == kNoStoreId)
        return false;
    if (IsDescendant(source, target))
        return false;
    return FindParentId(source) != target;
}

bool TOEFolders::IsInDeletedItems(TStoreId id)
{
    const TStoreId deleted = FindSpecialFolder(sfDeletedItems);
    return deleted != kNoStoreId && (id == deleted || IsDescendant(deleted, id));
}

bool TOEFolders::CopyMoveTo(const TMessageIdList& ids, TStoreId target, bool move)
{
    std::unique_ptr<TStoreFolder> targetFolder;
    if (Namespace().OpenFolder(target, 0, targetFolder) != srOk) {
        ShowOutlookError(kTargetFolderError);
        return false;
    }
    if (!Folder() || Folder()->CopyMoveMessages(*targetFolder, ids, move ? 1 : 0, 0, this) != srOk) {
        ShowOutlookError(kCopyMoveError);
        return false;
    }
    return true;
}

bool TOEFolders::CopyFolderTree(TStoreId source, TStoreId targetParent)
{
    // A copy into the tree being copied would copy itself without end.
    if (source == targetParent || IsDescendant(source, targetParent))
        return false;
    TFolderProps props;
    if (GetFolderInfo(source, props) != srOk)
        return false;
    const TStoreId copy = AddFolder(targetParent, props.Name);
    if (copy == kNoStoreId || !CopyAllMessages(source, copy))
        return false;
    bool ok = true;
    ForEachChild(source, [&](const TFolderProps& child) {
        ok = CopyFolderTree(child.Id, copy);
        return ok;
    });
    return ok;
}

bool TOEFolders::CopyAllMessages(TStoreId source, TStoreId target)
{
    std::unique_ptr<TStoreFolder> from;
    std::unique_ptr<TStoreFolder> to;
    if (Namespace().OpenFolder(source, 0, from) != srOk || Namespace().OpenFolder(target, 0, to) != srOk)
        return false;
    TMessageIdList ids;
    TMessageProps props;
    TEnumHandle handle = 0;
    QElapsedTimer clock;
    clock.start();
    for (TStoreResult result = from->GetFirstMessage(1, 0, kNoStoreId, props, handle); result == srOk;
         result = from->GetNextMessage(handle, 0, props)) {
        ids.push_back(props.Id);
        KeepInterfaceAlive(clock);
    }
    from->GetMessageClose(handle);
    return from->CopyMoveMessages(*to, ids, 0, 0, this) == srOk;
}

void TOEFolders::KeepInterfaceAlive(QElapsedTimer& clock)
{
    if (clock.elapsed() > kInterfaceIntervalMs) {
        QCoreApplication::processEvents();
        clock.restart();
    }
}
