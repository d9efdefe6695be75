#pragma once

#include "engine/SqlDatabase.h"
#include "engine/StoreChangeFeed.h"
#include "engine/StoreFaults.h"
#include "engine/StoreTypes.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QIODevice;

// One open store: a SQLite connection plus the receivers registered through
// it. Every namespace owns one; the folders it opens share it. All public
// operations run as one transaction that logs its notifications in the
// store; after the commit they are posted to the receivers of every
// connection to the same file in this process, and other processes find
// them in the log.
class TStoreConnection
{
public:
    explicit TStoreConnection(QString path);
    ~TStoreConnection();
    TStoreConnection(const TStoreConnection&) = delete;
    TStoreConnection& operator=(const TStoreConnection&) = delete;

    TStoreResult Open();
    [[nodiscard]] const QString& Path() const { return FPath; }

    // Folders.
    TStoreResult FolderProps(TStoreId id, TFolderProps& props);
    TStoreResult CreateFolder(TStoreId parent, const QByteArray& name, TStoreId* newId);
    TStoreResult RenameFolder(TStoreId id, const QByteArray& name);
    TStoreResult MoveFolder(TStoreId id, TStoreId newParent);
    TStoreResult DeleteFolder(TStoreId id);
    TStoreResult SubFolders(TStoreId parent, std::vector<TFolderProps>& children);
    // Compactions; `keepGoing`, when given, may stop them (srCancelled).
    TStoreResult CompactAll(const TStoreKeepGoing& keepGoing = {});
    TStoreResult CompactIncremental(const TStoreKeepGoing& keepGoing = {});

    // Messages.
    TStoreResult Messages(TStoreId folder, std::vector<TMessageProps>& messages);
    TStoreResult MessageProps(TStoreId folder, TStoreId id, TMessageProps& props);
    TStoreResult MessageSource(TStoreId folder, TStoreId id, QByteArray& source);
    TStoreResult SaveMessage(TStoreId folder, const QByteArray& source, quint32 state, TStoreId* newId);
    TStoreResult SaveMessages(TStoreId folder, const std::vector<QByteArray>& sources, quint32 state,
                              TMessageIdList* newIds);
    TStoreResult ReadListing(TStoreId folder, TStoreId afterId, int limit, const QByteArray& fieldsKey,
                             std::vector<TMessageListing>& rows);
    TStoreResult WriteListFields(const QByteArray& fieldsKey, const std::vector<TListFieldsRecord>& records);
    // Messages brought in from another program's files: the record of where
    // each came from is written in the same transaction as the message.
    TStoreResult SaveImportedMessages(TStoreId folder, const std::vector<TImportedMessage>& messages,
                                      TMessageIdList* newIds);
    TStoreResult FindImportedMessage(const TImportOrigin& origin, TStoreId* id);
    TStoreResult CopyMoveMessages(TStoreId source, TStoreId target, const TMessageIdList& ids, bool move,
                                  IStoreProgress* sink);
    TStoreResult DeleteMessages(TStoreId folder, const TMessageIdList& ids, IStoreProgress* sink);
    TStoreResult MarkMessages(TStoreId folder, const TMessageIdList& ids, bool read);

    // Integer settings kept in the store itself (the mark-as-read delay).
    TStoreResult ReadSetting(const QByteArray& key, qint64& value);
    TStoreResult WriteSetting(const QByteArray& key, qint64 value);

    // Receivers: on the namespace they get folder-changed notifications; on a
    // folder, that folder's message and folder-deleted notifications.
    void AddReceiver(QObject* receiver, TStoreId folder);
    void RemoveReceiver(QObject* receiver, TStoreId folder);
    [[nodiscard]] bool HasReceiver(QObject* receiver, TStoreId folder) const;

    // Open enumerations: handle → snapshot. Used by the namespace and folders.
    quintptr AddEnumeration(std::vector<TFolderProps> folders, std::vector<TMessageProps> messages);
    bool NextFolder(quintptr handle, TFolderProps& props);
    bool NextMessage(quintptr handle, TMessageProps& props);
    bool CloseEnumeration(quintptr handle);
    [[nodiscard]] size_t OpenEnumerationCount() const { return FEnumerations.size(); }

    // A notification to post once the running operation has committed.
    void Notify(std::unique_ptr<TStoreEvent> event);
    void NotifyFolderChange(int type, TStoreId folder);

    // Runs `body` as operation `op` inside one transaction (when `write`),
    // mapping every failure to a result; notifications are posted on success.
    TStoreResult Run(TStoreOp op, bool write, const std::function<TStoreResult()>& body);

    TSqlDatabase& Db() { return FDb; }

private:
    TStoreResult Compact(const char* sql, const TStoreKeepGoing& keepGoing);

    struct TReceiver {
        QPointer<QObject> Object;
        TStoreId Folder;   // kNoStoreId: registered on the namespace
    };
    struct TEnumeration {
        std::vector<TFolderProps> Folders;
        std::vector<TMessageProps> Messages;
        size_t Next = 0;
    };

    // Opens the file: creates a store where there is none, upgrades an
    // older one, and opens one that cannot be written for reading only.
    void OpenDatabase();
    void PrepareForWriting();
    // Adds a message inside the running operation; an invalid `received`
    // is taken from the source's topmost "Received:" header, else now.
    TStoreResult InsertMessage(TStoreId folder, const QByteArray& source, quint32 state, QDateTime received,
                               TStoreId* newId);
    TStoreResult ReadFolderProps(TStoreId id, TFolderProps& props);
    // Posts the unread-count (5) and message-count (8) changes of a folder.
    void NotifyCountChanges(TStoreId folder, bool unreadChanged, bool totalChanged);
    // How many of the messages are unread; raises nothing, but returns -1
    // when one of them is not in the folder.
    int UnreadAmong(TStoreId folder, const TMessageIdList& ids);
    // Drops the list fields of messages that are gone and keys nothing uses.
    void DropOrphanListFields();
    // Posts the changes logged meanwhile, the running operation's own among them.
    void CatchUp();
    // Posts a notification to the receivers of every connection of the feed.
    static void DeliverToFeed(const TStoreChangeFeed& feed, const TStoreEvent& event);
    void Deliver(const TStoreEvent& event) const;

    QString FPath;
    TSqlDatabase FDb;
    std::vector<TReceiver> FReceivers;
    std::map<quintptr, TEnumeration> FEnumerations;
    quintptr FNextHandle = 1;
    TStoreEvents FPending;
    std::shared_ptr<TStoreChangeFeed> FFeed;
};
