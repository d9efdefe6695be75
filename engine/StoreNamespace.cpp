#include "engine/StoreNamespace.h"

#include "engine/StoreConnection.h"
#include "engine/StoreSchema.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString TStoreNamespace::DefaultStorePath()
{
    const QString fromEnvironment = qEnvironmentVariable("VELLUMO_STORE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/vellumo/store.db");
}

bool TStoreNamespace::StoreExists(const QString& path)
{
    return TStoreSchema::FileHasContent(path);
}

QStringList TStoreNamespace::StoreFiles(const QString& path)
{
    QStringList files;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        files.append(path + QLatin1String(suffix));
    return files;
}

TStoreNamespace::TStoreNamespace() = default;
TStoreNamespace::~TStoreNamespace() = default;

TStoreResult TStoreNamespace::Initialize(const QString& path)
{
    const QString file = path.isEmpty() ? DefaultStorePath() : path;
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        return srReadOnly;
    auto connection = std::make_shared<TStoreConnection>(file);
    const TStoreResult result = connection->Open();
    if (result == srOk)
        FConnection = std::move(connection);
    return result;
}

QString TStoreNamespace::Path() const
{
    return FConnection ? FConnection->Path() : QString();
}

TStoreResult TStoreNamespace::OpenFolder(TStoreId id, quint32, std::unique_ptr<TStoreFolder>& folder)
{
    if (!FConnection)
        return srFail;
    TFolderProps props;
    const TStoreResult result = FConnection->Run(TStoreOp::OpenFolder, false, [&] {
        return FConnection->FolderProps(id, props);
    });
    if (result == srOk)
        folder = std::make_unique<TStoreFolder>(FConnection, id);
    return result;
}

TStoreResult TStoreNamespace::CreateFolder(TStoreId parent, const QByteArray& name, quint32, TStoreId* newId)
{
    return FConnection ? FConnection->CreateFolder(parent, name, newId) : srFail;
}

TStoreResult TStoreNamespace::RenameFolder(TStoreId id, quint32, const QByteArray& name)
{
    return FConnection ? FConnection->RenameFolder(id, name) : srFail;
}

TStoreResult TStoreNamespace::MoveFolder(TStoreId id, TStoreId newParent, quint32)
{
    return FConnection ? FConnection->MoveFolder(id, newParent) : srFail;
}

TStoreResult TStoreNamespace::DeleteFolder(TStoreId id, quint32)
{
    return FConnection ? FConnection->DeleteFolder(id) : srFail;
}

TStoreResult TStoreNamespace::CompactAll(quint32, const TStoreKeepGoing& keepGoing)
{
    return FConnection ? FConnection->CompactAll(keepGoing) : srFail;
}

TStoreResult TStoreNamespace::GetFolderProperties(TStoreId id, quint32, TFolderProps& props)
{
    return FConnection ? FConnection->FolderProps(id, props) : srFail;
}

TStoreResult TStoreNamespace::GetFirstSubFolder(TStoreId parent, TFolderProps& props, TEnumHandle& handle)
{
    handle = 0;
    if (!FConnection)
        return srFail;
    std::vector<TFolderProps> children;
    const TStoreResult result = FConnection->SubFolders(parent, children);
    if (result != srOk)
        return result;
    handle = FConnection->AddEnumeration(std::move(children), {});
    return GetNextSubFolder(handle, props);
}

TStoreResult TStoreNamespace::GetNextSubFolder(TEnumHandle handle, TFolderProps& props)
{
    return FConnection && FConnection->NextFolder(handle, props) ? srOk : srNoMore;
}

TStoreResult TStoreNamespace::GetSubFolderClose(TEnumHandle handle)
{
    if (handle == 0)
        return srOk;
    return FConnection && FConnection->CloseEnumeration(handle) ? srOk : srInvalidArgument;
}

TStoreResult TStoreNamespace::RegisterNotification(quint32, QObject* receiver)
{
    if (!FConnection || !receiver)
        return srInvalidArgument;
    return FConnection->Run(TStoreOp::RegisterNotification, false, [&] {
        FConnection->AddReceiver(receiver, kNoStoreId);
        return srOk;
    });
}

TStoreResult TStoreNamespace::UnregisterNotification(QObject* receiver)
{
    if (!FConnection || !FConnection->HasReceiver(receiver, kNoStoreId))
        return srInvalidArgument;
    FConnection->RemoveReceiver(receiver, kNoStoreId);
    return srOk;
}

TStoreResult TStoreNamespace::ReadSetting(const QByteArray& key, qint64& value)
{
    return FConnection ? FConnection->ReadSetting(key, value) : srFail;
}

TStoreResult TStoreNamespace::WriteSetting(const QByteArray& key, qint64 value)
{
    return FConnection ? FConnection->WriteSetting(key, value) : srFail;
}

size_t TStoreNamespace::OpenEnumerationCount() const
{
    return FConnection ? FConnection->OpenEnumerationCount() : 0;
}

TStoreFolder::TStoreFolder(std::shared_ptr<TStoreConnection> connection, TStoreId id)
    : FConnection(std::move(connection))
    , FId(id)
{
}

TStoreFolder::~TStoreFolder() = default;

TStoreResult TStoreFolder::GetFolderProperties(quint32, TFolderProps& props)
{
    return FConnection->FolderProps(FId, props);
}

TStoreResult TStoreFolder::GetFirstMessage(quint32, quint32, TStoreId firstId, TMessageProps& props,
                                           TEnumHandle& handle)
{
    handle = 0;
    std::vector<TMessageProps> messages;
    const TStoreResult result = FConnection->Messages(FId, messages);
    if (result != srOk)
        return result;
    // A first id other than "none" starts the enumeration at that message.
    if (firstId != kNoStoreId) {
        std::erase_if(messages, [firstId](const TMessageProps& m) { return m.Id < firstId; });
    }
    handle = FConnection->AddEnumeration({}, std::move(messages));
    return GetNextMessage(handle, 0, props);
}

TStoreResult TStoreFolder::GetNextMessage(TEnumHandle handle, quint32, TMessageProps& props)
{
    return FConnection->NextMessage(handle, props) ? srOk : srNoMore;
}

TStoreResult TStoreFolder::GetMessageClose(TEnumHandle handle)
{
    if (handle == 0)
        return srOk;
    return FConnection->CloseEnumeration(handle) ? srOk : srInvalidArgument;
}

TStoreResult TStoreFolder::GetMessageProperties(TStoreId id, quint32, TMessageProps& props)
{
    return FConnection->MessageProps(FId, id, props);
}

TStoreResult TStoreFolder::ReadSource(TStoreId id, QByteArray& source)
{
    return FConnection->MessageSource(FId, id, source);
}

TStoreResult TStoreFolder::OpenMessage(TStoreId id, std::unique_ptr<QIODevice>& stream)
{
    QByteArray source;
    const TStoreResult result = ReadSource(id, source);
    if (result != srOk)
        return result;
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(source);
    buffer->open(QIODevice::ReadOnly);
    stream = std::move(buffer);
    return srOk;
}

TStoreResult TStoreFolder::SaveMessage(QIODevice& stream, quint32 state, TStoreId* newId)
{
    if (!stream.isOpen() || !stream.isReadable() || (!stream.isSequential() && !stream.seek(0)))
        return srInvalidArgument;
    return SaveMessage(stream.readAll(), state, newId);
}

TStoreResult TStoreFolder::SaveMessage(const QByteArray& source, quint32 state, TStoreId* newId)
{
    return FConnection->SaveMessage(FId, source, state, newId);
}

TStoreResult TStoreFolder::SaveMessages(const std::vector<QByteArray>& sources, quint32 state,
                                        TMessageIdList* newIds)
{
    return FConnection->SaveMessages(FId, sources, state, newIds);
}

TStoreResult TStoreFolder::ReadListing(TStoreId afterId, int limit, const QByteArray& fieldsKey,
                                       std::vector<TMessageListing>& rows)
{
    return FConnection->ReadListing(FId, afterId, limit, fieldsKey, rows);
}

TStoreResult TStoreFolder::WriteListFields(const QByteArray& fieldsKey, const std::vector<TListFieldsRecord>& records)
{
    return FConnection->WriteListFields(fieldsKey, records);
}

TStoreResult TStoreFolder::CopyMoveMessages(TStoreFolder& target, const TMessageIdList& ids, quint32 flags, quint32,
                                            IStoreProgress* sink)
{
    if (target.FConnection->Path() != FConnection->Path())
        return srInvalidArgument;
    return FConnection->CopyMoveMessages(FId, target.FId, ids, (flags & 1) != 0, sink);
}

TStoreResult TStoreFolder::DeleteMessages(const TMessageIdList& ids, quint32, IStoreProgress* sink)
{
    return FConnection->DeleteMessages(FId, ids, sink);
}

TStoreResult TStoreFolder::MarkMessagesAsRead(bool read, quint32, const TMessageIdList& ids)
{
    return FConnection->MarkMessages(FId, ids, read);
}

TStoreResult TStoreFolder::Compact(quint32, const TStoreKeepGoing& keepGoing)
{
    return FConnection->CompactIncremental(keepGoing);
}

TStoreResult TStoreFolder::RegisterNotification(quint32, QObject* receiver)
{
    if (!receiver)
        return srInvalidArgument;
    return FConnection->Run(TStoreOp::RegisterNotification, false, [&] {
        FConnection->AddReceiver(receiver, FId);
        return srOk;
    });
}

TStoreResult TStoreFolder::UnregisterNotification(QObject* receiver)
{
    if (!FConnection->HasReceiver(receiver, FId))
        return srInvalidArgument;
    FConnection->RemoveReceiver(receiver, FId);
    return srOk;
}
