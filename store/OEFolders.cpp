#include "store/OEFolders.h"

#include "store/OutlookError.h"

#include "settings/GlobStrings.h"
#include "settings/UiHooks.h"

#include <QCoreApplication>

namespace {

// Carries the folder id of an open-folder request and the request's serial.
class TOpenFolderEvent : public QEvent
{
public:
    TOpenFolderEvent(TStoreId id, unsigned serial)
        : QEvent(static_cast<QEvent::Type>(kOpenFolderRequest)), Id(id), Serial(serial) {}
    TStoreId Id;
    unsigned Serial;
};

// Pending user-interface events are processed at most this often while a
// long enumeration runs.
constexpr qint64 kInterfaceIntervalMs = 60;

// Messages copied or moved in one transaction: large enough that the
// commits cost little, small enough that progress and Cancel follow.
constexpr qsizetype kTransferBatch = 200;

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
    PostOpenRequest(id, ++FRequestPosted);
}

void TOEFolders::PostOpenRequest(TStoreId id, unsigned serial)
{
    QCoreApplication::postEvent(this, new TOpenFolderEvent(id, serial));
}

TOEFolders::TOpenHold::TOpenHold(TOEFolders& folders)
    : FFolders(folders)
{
    ++FFolders.FHolds;
}

TOEFolders::TOpenHold::~TOpenHold()
{
    if (--FFolders.FHolds == 0 && FFolders.FHeld) {
        FFolders.FHeld = false;
        FFolders.PostOpenRequest(FFolders.FHeldId, FFolders.FHeldSerial);
    }
}

bool TOEFolders::WndProc(QEvent* event)
{
    if (event->type() != kOpenFolderRequest)
        return TOEFolder::WndProc(event);
    const auto& request = static_cast<const TOpenFolderEvent&>(*event);
    // The user's last choice is the only one that counts.
    if (request.Serial != FRequestPosted)
        return true;
    if (FHolds > 0) {
        FHeld = true;
        FHeldId = request.Id;
        FHeldSerial = request.Serial;
        return true;
    }
    FRequestRun = request.Serial;
    OpenRequested(request.Id);
    return true;
}

void TOEFolders::OpenRequested(TStoreId id)
{
    // The folder may have been deleted since it was asked for.
    if (id != kNoStoreId && !FolderExists(id))
        id = ParentOrInbox(id);
    SetFolderId(id);
    if (OnFolderOpened)
        OnFolderOpened(this, id);
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
    qsizetype done = 0;
    if (Folder() && TransferInBatches(*Folder(), *targetFolder, ids, move, done))
        return true;
    QString text = OutlookErrorText(kCopyMoveError);
    if (done > 0)
        text += QLatin1Char('\n') + TGlobStrings::FormatText(OutlookErrorText(kTransferredBeforeError), {static_cast<int>(done), static_cast<int>(ids.size())});
    ShowErrorBox(text);
    return false;
}

bool TOEFolders::TransferInBatches(TStoreFolder& from, TStoreFolder& to, const TMessageIdList& ids, bool move,
                                   qsizetype& done)
{
    const auto total = static_cast<quint32>(ids.size());
    for (done = 0; done < ids.size() && !Stopped();) {
        const TMessageIdList batch = ids.mid(done, kTransferBatch);
        if (from.CopyMoveMessages(to, batch, move ? 1 : 0, 0, nullptr) != srOk)
            return false;
        done += batch.size();
        DoProgress(static_cast<quint32>(done), total);
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
    // A copy that lacks subfolders because they could not be listed is a failure too.
    const bool listed = ForEachChild(source, [&](const TFolderProps& child) {
        ok = CopyFolderTree(child.Id, copy);
        return ok && !Stopped();
    });
    return listed && ok;
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
    qsizetype done = 0;
    return TransferInBatches(*from, *to, ids, false, done);
}

void TOEFolders::KeepInterfaceAlive(QElapsedTimer& clock)
{
    if (clock.elapsed() > kInterfaceIntervalMs) {
        QCoreApplication::processEvents();
        clock.restart();
    }
}
