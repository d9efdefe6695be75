#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QEvent>
#include <QVector>

#include <cstdint>
#include <functional>

// Ids of folders and messages: unsigned 32-bit, never reused. Folder 0 is the
// store root; all bits set means "none".
using TStoreId = quint32;
inline constexpr TStoreId kRootFolderId = 0;
inline constexpr TStoreId kNoStoreId = 0xFFFFFFFFu;

// Result of every store operation: 0 is success, anything else a failure.
enum TStoreResult : int32_t {
    srOk = 0,
    srNoMore = 1,          // an enumeration has nothing (more) to give
    srFail,
    srNotFound,
    srInvalidArgument,
    srNotPermitted,        // root or special folder, folder moved below itself
    srReadOnly,
    srDiskFull,
    srNotADatabase,
    srBusy,
    srInjectedFailure,
    srCancelled,           // the caller asked the operation to stop; nothing changed
};

// Asked now and then during a long operation: false stops it.
using TStoreKeepGoing = std::function<bool()>;

// How long an operation waits for another program's lock on the store
// before it gives up with srBusy.
inline constexpr int kStoreBusyTimeoutMs = 10000;

// The reason of a result in a few words ("the disk is full").
[[nodiscard]] const char* StoreResultText(TStoreResult result);

// Special folder types as the store reports them.
enum TSpecialFolder : int {
    sfNotSpecial = -1,
    sfInbox = 0,
    sfOutbox = 1,
    sfSentItems = 2,
    sfDeletedItems = 3,
    sfDrafts = 4,
};

// Message state flags (bits 0 to 11 of the state word are read as a set).
inline constexpr quint32 kMsgUnread = 0x2;
inline constexpr quint32 kMsgUnsent = 0x8;
inline constexpr quint32 kMsgReplied = 0x100;
inline constexpr quint32 kMsgFlagged = 0x800;

// Folder names are 8-bit text of at most this many bytes.
inline constexpr int kMaxFolderNameBytes = 255;

struct TFolderProps {
    TStoreId Id = kNoStoreId;
    TStoreId ParentId = kNoStoreId;
    int SpecialType = sfNotSpecial;
    int SubFolderCount = 0;
    int UnreadCount = 0;
    int MessageCount = 0;
    QByteArray Name;
};

struct TMessageProps {
    TStoreId Id = kNoStoreId;
    TStoreId FolderId = kNoStoreId;
    quint32 State = 0;
    quint32 Size = 0;
    QDateTime Received;   // UTC
};

using TMessageIdList = QVector<TStoreId>;

// One message of a folder as a message list loads it: its properties, the
// list fields kept for it under the key the list asked for (empty when none
// are kept), and, only when it has no such fields, its source.
struct TMessageListing {
    TMessageProps Props;
    QByteArray Fields;
    QByteArray Source;
};

// The list fields of one message, to keep under a key.
struct TListFieldsRecord {
    TStoreId Id = kNoStoreId;
    QByteArray Fields;
};

// Where an imported message came from: its file, by an identity that the
// importer derives from the file's contents, and its place in that file.
struct TImportOrigin {
    QByteArray File;
    qint64 Entry = 0;
};

// A message brought in from another program's file.
struct TImportedMessage {
    TImportOrigin Origin;
    QByteArray Source;
    quint32 State = 0;
    QDateTime Received;   // invalid: the store's own rule
};

// Receives the progress of long operations (copy, move, delete).
class IStoreProgress
{
public:
    virtual ~IStoreProgress() = default;
    virtual void NotifyProgress(quint32 current, quint32 maximum) = 0;
};

// Folder change types carried by the folder-changed notification.
enum TFolderNotifyType : int {
    fnNewFolder = 1,
    fnFolderDeleted = 2,
    fnRenamed = 3,
    fnMoved = 4,
    fnUnreadChanged = 5,
    fnFlagsChanged = 6,
    fnUpdateFlagsChanged = 7,
    fnPropsChanged = 8,   // posted when the folder's message count changes
};

// Notification event types, numbered as the store posts them.
enum TStoreEventType : int {
    seFolderChanged = 2624,
    seNewMessage = 2674,
    seMessagesDeleted = 2675,
    seFolderDeleted = 2676,
    seMarkedRead = 2677,
    seMarkedUnread = 2678,
};

// One notification, posted to every registered receiver on its own thread.
class TStoreEvent : public QEvent
{
public:
    TStoreEvent(TStoreEventType type, TStoreId folderId)
        : QEvent(static_cast<QEvent::Type>(type)), FolderId(folderId) {}

    [[nodiscard]] TStoreEventType StoreType() const { return static_cast<TStoreEventType>(type()); }
    [[nodiscard]] static bool IsStoreEvent(const QEvent* event);

    TStoreId FolderId;                    // the folder concerned
    int NotifyType = 0;                   // seFolderChanged only
    TStoreId OldId = kNoStoreId;          // seFolderChanged only
    TStoreId NewId = kNoStoreId;          // seFolderChanged only
    TMessageIdList Ids;                   // message events
};
