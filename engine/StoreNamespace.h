#pragma once

#include "engine/StoreTypes.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QIODevice;
class QObject;
class TStoreConnection;
class TStoreFolder;

using TEnumHandle = quintptr;

// The store namespace: one connection to the store with the folder-level
// operations. Results are 0 on success. Enumerations started with a
// GetFirst... call hand out a handle that must always be closed, also when
// the first call reported failure or nothing to give.
class TStoreNamespace
{
public:
    TStoreNamespace();
    ~TStoreNamespace();
    TStoreNamespace(const TStoreNamespace&) = delete;
    TStoreNamespace& operator=(const TStoreNamespace&) = delete;

    // The store file: $VELLUMO_STORE, else $XDG_DATA_HOME/vellumo/store.db.
    [[nodiscard]] static QString DefaultStorePath();

    // True when something is at the path that is not an empty file: a
    // store, or a file the store refuses. A missing or empty file is no store.
    [[nodiscard]] static bool StoreExists(const QString& path);

    // Opens the store at `path`, or at the default path. Where there is no
    // store it creates one; an older store is upgraded. A file that is not a
    // store (another program's database included) is refused with
    // srNotADatabase and left as it is. A store that cannot be written opens
    // for reading; its changes then fail with srReadOnly.
    TStoreResult Initialize(const QString& path = QString());
    // The store file at `path` and the files SQLite keeps beside it.
    [[nodiscard]] static QStringList StoreFiles(const QString& path);
    [[nodiscard]] bool IsInitialized() const { return FConnection != nullptr; }
    [[nodiscard]] QString Path() const;

    TStoreResult OpenFolder(TStoreId id, quint32 flags, std::unique_ptr<TStoreFolder>& folder);
    TStoreResult CreateFolder(TStoreId parent, const QByteArray& name, quint32 flags, TStoreId* newId);
    TStoreResult RenameFolder(TStoreId id, quint32 flags, const QByteArray& name);
    TStoreResult MoveFolder(TStoreId id, TStoreId newParent, quint32 flags);
    TStoreResult DeleteFolder(TStoreId id, quint32 flags);
    // Rebuilds the store file without free space; `keepGoing` may stop it
    // (srCancelled, the store unchanged).
    TStoreResult CompactAll(quint32 flags, const TStoreKeepGoing& keepGoing = {});
    TStoreResult GetFolderProperties(TStoreId id, quint32 flags, TFolderProps& props);

    TStoreResult GetFirstSubFolder(TStoreId parent, TFolderProps& props, TEnumHandle& handle);
    TStoreResult GetNextSubFolder(TEnumHandle handle, TFolderProps& props);
    TStoreResult GetSubFolderClose(TEnumHandle handle);

    // Folder-changed notifications (2624) go to receivers registered here.
    TStoreResult RegisterNotification(quint32 flags, QObject* receiver);
    TStoreResult UnregisterNotification(QObject* receiver);

    // The message imported from `origin`, when it is still in the store (in
    // any folder); srNotFound when it was never imported or is gone for good.
    TStoreResult FindImportedMessage(const TImportOrigin& origin, TStoreId* id);

    // Integer settings kept in the store; srNotFound when never written.
    TStoreResult ReadSetting(const QByteArray& key, qint64& value);
    TStoreResult WriteSetting(const QByteArray& key, qint64 value);

    // Enumerations not yet closed (a leak check for callers' tests).
    [[nodiscard]] size_t OpenEnumerationCount() const;

private:
    std::shared_ptr<TStoreConnection> FConnection;
};

// An open store folder: its messages and its own notifications.
class TStoreFolder
{
public:
    TStoreFolder(std::shared_ptr<TStoreConnection> connection, TStoreId id);
    ~TStoreFolder();
    TStoreFolder(const TStoreFolder&) = delete;
    TStoreFolder& operator=(const TStoreFolder&) = delete;

    [[nodiscard]] TStoreId Id() const { return FId; }

    TStoreResult GetFolderProperties(quint32 flags, TFolderProps& props);

    TStoreResult GetFirstMessage(quint32 flags, quint32 messageFlags, TStoreId firstId, TMessageProps& props,
                                 TEnumHandle& handle);
    TStoreResult GetNextMessage(TEnumHandle handle, quint32 flags, TMessageProps& props);
    TStoreResult GetMessageClose(TEnumHandle handle);
    TStoreResult GetMessageProperties(TStoreId id, quint32 flags, TMessageProps& props);

    // The exact source bytes of a message, as a readable stream at position 0.
    TStoreResult OpenMessage(TStoreId id, std::unique_ptr<QIODevice>& stream);
    // The same bytes themselves.
    TStoreResult ReadSource(TStoreId id, QByteArray& source);
    // Stores the whole stream (read from its beginning) with the given state.
    TStoreResult SaveMessage(QIODevice& stream, quint32 state, TStoreId* newId);
    TStoreResult SaveMessage(const QByteArray& source, quint32 state, TStoreId* newId);
    // Saves every source as a new message in one transaction: all of them
    // or, on failure, none. The new ids come in the order of the sources.
    TStoreResult SaveMessages(const std::vector<QByteArray>& sources, quint32 state, TMessageIdList* newIds);

    // Up to `limit` messages with ids above `afterId`, in id order, as a
    // message list loads them (see TMessageListing): each with the list
    // fields kept under `fieldsKey`, and its source when it has none. An
    // empty result is the folder's end. Reading a folder in steps lets a
    // list show its first rows before the whole folder has been read.
    TStoreResult ReadListing(TStoreId afterId, int limit, const QByteArray& fieldsKey,
                             std::vector<TMessageListing>& rows);
    // Keeps list fields under a key, one record per message: a record of
    // another key is replaced. Records of messages that are gone are left
    // out. Fails with srReadOnly on a store that cannot be written.
    TStoreResult WriteListFields(const QByteArray& fieldsKey, const std::vector<TListFieldsRecord>& records);
    // Stores messages brought in from another program's files, each with
    // its received date (the store's own rule when invalid) and a record of
    // its origin, all in one transaction: all are saved or none. Importing a
    // file again can then tell they are there (FindImportedMessage). Many
    // messages in one call write much less than one call each.
    TStoreResult SaveImportedMessages(const std::vector<TImportedMessage>& messages, TMessageIdList* newIds);

    // flags 1 moves, 0 copies. The sink hears the progress (done, total)
    // after the operation has committed, so that it may call the store.
    TStoreResult CopyMoveMessages(TStoreFolder& target, const TMessageIdList& ids, quint32 flags, quint32 reserved,
                                  IStoreProgress* sink);
    // The sink is called as for CopyMoveMessages.
    TStoreResult DeleteMessages(const TMessageIdList& ids, quint32 flags, IStoreProgress* sink);
    TStoreResult MarkMessagesAsRead(bool read, quint32 flags, const TMessageIdList& ids);
    TStoreResult Compact(quint32 flags, const TStoreKeepGoing& keepGoing = {});

    // Message notifications (2674, 2675, 2677, 2678) and 2676 for this folder.
    TStoreResult RegisterNotification(quint32 flags, QObject* receiver);
    TStoreResult UnregisterNotification(QObject* receiver);

private:
    std::shared_ptr<TStoreConnection> FConnection;
    TStoreId FId;
};
