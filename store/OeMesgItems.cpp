#include "store/OeMesgItems.h"

#include "base/FastMemoryStream.h"
#include "base/TsanAnnotations.h"
#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
#include "messages/ListFieldsRecord.h"
#include "messages/MesgErrors.h"
#include "messages/MesgFiles.h"
#include "messages/MesgTransfer.h"
#include "settings/SystemCodePage.h"
#include "settings/UiHooks.h"
#include "store/OEFolders.h"
#include "store/OeMesgItem.h"
#include "store/OeTransfer.h"
#include "store/OutlookError.h"
#include "store/ParserThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QIODevice>
#include <QSet>

#include <optional>

namespace {

// The item's state bits from the store's state flags.
unsigned char StateFromStore(quint32 flags, unsigned char state)
{
    const auto set = [&state](unsigned char bit, bool on) { state = on ? (state | bit) : (state & ~bit); };
    set(stUnread, flags & kMsgUnread);
    set(stUnsent, flags & kMsgUnsent);
    set(stReplied, flags & kMsgReplied);
    set(stFlagged, flags & kMsgFlagged);
    return state;
}

// The error of a message the store would not save, with the store's reason.
QString CreateMessageError(TStoreResult result)
{
    return QStringLiteral("Error creating new message: %1").arg(QLatin1String(StoreResultText(result)));
}

QByteArray ReadAll(TStream& stream)
{
    QByteArray bytes(stream.Size() - stream.Position(), Qt::Uninitialized);
    stream.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

// A load reads the folder in steps: small ones first, so that the first
// rows show at once, then larger ones.
constexpr int kFirstListingStep = 64;
constexpr int kMaxListingStep = 2048;
// How long a load waits at most for the parser to make room, per step;
// then it reads on (a parser held up by a lock must not hold up the load).
constexpr qint64 kMaxRoomWaitMs = 2000;
// The same for a message the store announces.
constexpr int kNotificationRoomWaitMs = 250;

void SetProps(TOeMesgItem& item, const TMessageProps& props)
{
    item.SetId(static_cast<qintptr>(props.Id));
    item.SetSize(props.Size);
    item.SetState(StateFromStore(props.State, item.State()));
    item.SetDateReceived(DateTimeToDays(props.Received));
}

} // namespace

TOeMesgItems::TOeMesgItems(QObject* owner)
    : TMesgItems(owner)
    , FFolders(std::make_unique<TOEFolders>())
{
    setObjectName(QStringLiteral("OEMesgItems"));
    FFolders->OnFolderChange = [this](int type, TStoreId oldId, TStoreId newId) {
        if (OnFolderChange)
            OnFolderChange(type, oldId, newId);
    };
    FFolders->OnNewMessage = [this](TOEFolder*, const TMessageProps& props) { AddOrRefresh(props); };
    FFolders->OnDeleteMessages = [this](TOEFolder*, const TMessageIdList& ids) { RemoveDeleted(ids); };
    FFolders->OnMarkedRead = [this](TOEFolder*, const TMessageIdList& ids) { SetUnread(ids, false); };
    FFolders->OnMarkedUnread = [this](TOEFolder*, const TMessageIdList& ids) { SetUnread(ids, true); };
    FFolders->OnDeleteFolder = [this](TOEFolder*, TStoreId id) { FolderDeleted(id); };
    FFolders->OnFolderOpened = [this](TOEFolders*, TStoreId id) { FolderOpened(id); };
    FParser = new TParserThread(*this);
    FParserVar.Set(FParser);
    FParser->Start();
}

TOeMesgItems::~TOeMesgItems()
{
    // The parser goes first (freeing what it still holds), then the items,
    // then the folder model.
    StopAndFree(FParserVar, true);
    FParser = nullptr;
    TOeMesgItems::Clear();
}

std::unique_ptr<TSyncItem> TOeMesgItems::CreateItem()
{
    return std::make_unique<TOeMesgItem>(this);
}

TStoreId TOeMesgItems::FolderId() const
{
    return FFolders->FolderId();
}

void TOeMesgItems::SetFolderId(TStoreId id)
{
    // The open folder asked for again: nothing to do, unless another folder
    // is on its way, which this choice replaces.
    if (QCoreApplication::closingDown() || (id == FolderId() && !FFolders->OpenRequestPending()))
        return;
    if (!FFolders->FolderExists(id)) {
        id = FFolders->ParentId();
        if (id == kNoStoreId)
            id = FFolders->FindSpecialFolder(sfInbox);
    }
    StopLoading();
    // Posted: the folder opens after the current event, when a running load
    // has seen its break.
    FFolders->RequestOpenFolder(id);
}

void TOeMesgItems::GoToInbox()
{
    if (IVirtualListControl* control = Control())
        control->FocusControl();
    SetFolderId(FFolders->FindSpecialFolder(sfInbox));
}

void TOeMesgItems::GoToParent()
{
    if (IVirtualListControl* control = Control())
        control->FocusControl();
    const TStoreId parent = FFolders->ParentId();
    if (parent != kRootFolderId && parent != kNoStoreId)
        SetFolderId(parent);
    else
        SoundBeep();
}

void TOeMesgItems::FolderOpened(TStoreId)
{
    SetBreak(false);
    if (QCoreApplication::closingDown())
        return;
    // No other folder opens until this one has been loaded and announced.
    TOEFolders::TOpenHold hold(*FFolders);
    if (!LoadFolder() || CheckBreak(10))
        return;
    // A folder asked for meanwhile replaces this one: only the user's last
    // choice is announced.
    if (FFolders->OpenRequestPending())
        return;
    if (OnChange)
        OnChange(this);
}

void TOeMesgItems::LoadMessages()
{
    LoadFolder();
}

bool TOeMesgItems::LoadFolder()
{
    if (BreakRequested())
        return false;
    TOEFolders::TOpenHold hold(*FFolders);
    SetLoading(true);
    struct TLoadingScope {
        TOeMesgItems& Items;
        ~TLoadingScope()
        {
            Items.SetLoading(false);
            Items.SetBreak(false);
        }
    } scope{*this};

    const QByteArray fieldsKey = ListFieldsKey();
    FParser->BeginLoad(fieldsKey);
    Clear();
    RestartBreakClock();
    const TStoreId id = FolderId();
    SetCaption(id == kRootFolderId ? QString() : DecodeSystemText(FFolders->FolderName()));
    SetKind(static_cast<unsigned char>(FolderKind(id, FFolders->SpecialType())));
    bool complete = true;
    // The load reads through a folder object of its own: whatever happens to
    // the model's folder while events run, this one stays valid.
    std::unique_ptr<TStoreFolder> folder;
    if (FFolders->Folder() && FFolders->Namespace().OpenFolder(id, 0, folder) == srOk) {
        std::vector<TMessageListing> rows;
        TStoreId after = 0;
        for (int step = kFirstListingStep; folder->ReadListing(after, step, fieldsKey, rows) == srOk && !rows.empty();
             step = std::min(2 * step, kMaxListingStep)) {
            after = rows.back().Props.Id;
            AddListed(*folder, rows);
            // The folder must stay the one read; anything else ends the load.
            if (!KeepUp() || FolderId() != id) {
                complete = false;
                break;
            }
        }
    }
    if (CheckBreak(10) || QCoreApplication::closingDown())
        complete = false;
    if (complete)
        FParser->EndLoad();
    else
        FParser->Discard();
    return complete;
}

TOeMesgItem* TOeMesgItems::ItemByMessageId(TStoreId id) const
{
    TReadGuard<const TSyncItems> guard(*this);
    return static_cast<TOeMesgItem*>(FById.value(static_cast<qintptr>(id), nullptr));
}

void TOeMesgItems::AddListed(TStoreFolder& folder, std::vector<TMessageListing>& rows)
{
    // A message the store announced during the load is listed or queued
    // already. Only this thread queues new items, so what is neither now
    // stays so until the rows below are queued: the list stays open to the
    // parser thread while they are made.
    std::vector<TStoreId> ids;
    ids.reserve(rows.size());
    for (const TMessageListing& row : rows)
        ids.push_back(row.Props.Id);
    // The queue first: an item leaves it only to be listed.
    std::vector<bool> known = FParser->AreQueuedNew(ids);
    {
        TReadGuard<const TSyncItems> guard(*this);
        for (size_t i = 0; i < ids.size(); ++i)
            known[i] = known[i] || FById.contains(static_cast<qintptr>(ids[i]));
    }
    std::vector<std::pair<std::unique_ptr<TOeMesgItem>, TParserThread::TPayload>> items;
    items.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (known[i])
            continue;
        TMessageListing& row = rows[i];
        auto item = std::make_unique<TOeMesgItem>(this);
        SetProps(*item, row.Props);
        TParserThread::TPayload payload;
        TListFields fields;
        if (!row.Fields.isEmpty() && DecodeListFields(row.Fields, fields))
            payload.Fields = std::move(fields);
        else if (!row.Fields.isEmpty() && folder.ReadSource(ids[i], payload.Source) != srOk)
            continue;   // fields that cannot be read, and the message gone meanwhile
        else if (row.Fields.isEmpty())
            payload.Source = std::move(row.Source);
        items.emplace_back(std::move(item), std::move(payload));
    }
    FParser->QueueNew(std::move(items));
}

bool TOeMesgItems::KeepUp()
{
    QElapsedTimer waited;
    waited.start();
    do {
        if (CheckBreak(0))
            return false;
    } while (!FParser->WaitForRoom(10) && waited.elapsed() < kMaxRoomWaitMs);
    return true;
}

void TOeMesgItems::AddOrRefresh(const TMessageProps& props)
{
    // The state is read now: the enumeration's snapshot may be older than
    // changes that other windows have made since.
    TStoreFolder* folder = FFolders->Folder();
    TMessageProps current;
    const bool inStore = folder && folder->GetMessageProperties(props.Id, 1, current) == srOk;
    // The reference keeps a listed item alive should the parser drop it meanwhile.
    TSyncItemRef reference;
    {
        // The parser lists new items under the write lock: while this read
        // lock is held, an item is either listed or still waiting.
        TReadGuard<const TSyncItems> guard(*this);
        reference = TSyncItemRef(FById.value(static_cast<qintptr>(props.Id), nullptr));
        // A new item of this message already waits for the parser: it only
        // needs the state of now.
        if (!reference && FParser->IsQueuedNew(props.Id)) {
            if (inStore)
                FParser->MarkQueuedNew({props.Id}, (current.State & kMsgUnread) != 0);
            else
                FParser->WithdrawQueuedNew({props.Id});
            return;
        }
    }
    auto* listed = reference.As<TOeMesgItem>();
    if (listed && listed->SkipMark()) {
        listed->SetSkipMark(false);
        return;
    }
    try {
        // A listed item with its fields needs only the state of now; any
        // other one is parsed from its source.
        TParserThread::TPayload payload;
        const bool needsSource = !listed || !listed->Parsed() || OnItemText;
        if (!inStore || (needsSource && folder->ReadSource(props.Id, payload.Source) != srOk)) {
            // The message is gone from the store: so is its item.
            if (listed) {
                TWriteGuard<TSyncItems> guard(*this);
                DeleteIfInRange(IndexOf(listed));
            }
            return;
        }
        FParser->WaitForRoom(kNotificationRoomWaitMs);
        if (!listed) {
            std::vector<std::pair<std::unique_ptr<TOeMesgItem>, TParserThread::TPayload>> items;
            items.emplace_back(std::make_unique<TOeMesgItem>(this), std::move(payload));
            SetProps(*items.front().first, current);
            FParser->QueueNew(std::move(items));
            return;
        }
        ApplyProps(*listed, current);
        FParser->QueueListed(listed, std::move(payload));
    } catch (const Exception&) {
        QueueFileError(QString());
    }
}

void TOeMesgItems::ApplyProps(TOeMesgItem& item, const TMessageProps& props)
{
    TWriteGuard<TSyncItems> guard(*this);
    const qintptr oldId = item.Id();
    SetProps(item, props);
    ReindexItem(&item, oldId);
}

bool TOeMesgItems::event(QEvent* event)
{
    // The parser thread posts its requests to keep list fields from its own
    // thread: taken over before even their type is read.
    AnnotateTakeOver(event);
    if (static_cast<int>(event->type()) != kKeepListFieldsRequest)
        return TMesgItems::event(event);
    KeepListFields();
    return true;
}

void TOeMesgItems::KeepListFields()
{
    // Only fields derived under the options in force now are kept: those
    // derived while options changed might not be what their load's key
    // says. A store that cannot be written keeps none.
    const QByteArray key = ListFieldsKey();
    std::vector<TListFieldsRecord> records;
    for (TParserThread::TDerived& derived : FParser->TakeRecords())
        if (derived.Key == key)
            records.push_back(std::move(derived.Record));
    TStoreFolder* folder = FFolders->Folder();
    if (!records.empty() && folder)
        folder->WriteListFields(key, records);
}

void TOeMesgItems::DeleteSelected()
{
    if (FFolders->IsInDeletedItems(FolderId()) && OnConfirmDelete && !OnConfirmDelete(this))
        return;
    TMessageIdList ids;
    if (IVirtualListControl* control = Control()) {
        TReadGuard<TSyncItems> guard(*this);
        const std::vector<int> rows = control->SelectedRows();
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            if (const TVirtItem* item = ItemForRow(*row))
                ids.push_back(static_cast<TStoreId>(item->Id()));
        }
    }
    if (ids.isEmpty() || !FFolders->Folder())
        return;
    if (FFolders->Folder()->DeleteMessages(ids, 0, FFolders.get()) != srOk)
        ShowOutlookError(kDeleteMessagesError);
}

void TOeMesgItems::DeleteItem(int index)
{
    const TVirtItem* item = ItemForRow(index);
    if (!item || !FFolders->Folder())
        return;
    if (FFolders->Folder()->DeleteMessages({static_cast<TStoreId>(item->Id())}, 0, FFolders.get()) != srOk) {
        ShowOutlookError(kDeleteMessagesError);
        return;
    }
    TWriteGuard<TSyncItems> guard(*this);
    DeleteIfInRange(IndexOf(item));
}

TMesgItem* TOeMesgItems::ImportStream(TStream& stream)
{
    std::unique_ptr<TSyncItem> created = CreateItem();
    auto* item = static_cast<TOeMesgItem*>(created.get());
    Add(std::move(created));
    try {
        TStoreId id = kNoStoreId;
        TStoreFolder* folder = FFolders->Folder();
        const TStoreResult result = folder ? folder->SaveMessage(ReadAll(stream), kMsgUnread, &id) : srNotFound;
        if (result != srOk)
            throw EOutlookError(CreateMessageError(result));
        TWriteGuard<TSyncItems> guard(*this);
        const qintptr oldId = item->Id();
        item->SetId(static_cast<qintptr>(id));
        ReindexItem(item, oldId);
        return item;
    } catch (...) {
        TWriteGuard<TSyncItems> guard(*this);
        DeleteIfInRange(IndexOf(item));
        throw;
    }
}

int TOeMesgItems::ImportSources(const std::vector<QByteArray>& sources)
{
    TStoreFolder* folder = FFolders->Folder();
    TMessageIdList ids;
    const TStoreResult result = folder ? folder->SaveMessages(sources, kMsgUnread, &ids) : srNotFound;
    if (result != srOk)
        throw EOutlookError(CreateMessageError(result));
    for (const TStoreId id : ids) {
        std::unique_ptr<TSyncItem> item = CreateItem();
        item->SetId(static_cast<qintptr>(id));
        Add(std::move(item));
    }
    return static_cast<int>(ids.size());
}

void TOeMesgItems::PrepareOutgoing()
{
    auto* transfer = dynamic_cast<IOeTransfer*>(Transfer());
    if (!transfer)
        return;
    transfer->ClearOutgoing();
    if (IVirtualListControl* control = Control()) {
        TReadGuard<TSyncItems> guard(*this);
        for (const int row : control->SelectedRows()) {
            if (const auto* item = static_cast<const TMesgItem*>(ItemForRow(row)))
                transfer->AddOutgoing(static_cast<TStoreId>(item->Id()), FillDescriptor(*item, item->FileNameBase()));
        }
    }
    transfer->FinishOutgoing(FolderId());
}

void TOeMesgItems::PasteMessages(IMesgTransfer& transfer)
{
    if (auto* store = dynamic_cast<IOeTransfer*>(&transfer))
        store->PasteIntoFolder(FolderId());
}

void TOeMesgItems::PasteVirtualFiles(IMesgTransfer& transfer)
{
    if (auto* store = dynamic_cast<IOeTransfer*>(&transfer))
        store->SaveVirtualFiles(FolderId());
}

void TOeMesgItems::SaveEdited(TOeMesgItem& item, TStream& stream)
{
    TStoreFolder* folder = FFolders->Folder();
    if (!folder)
        throw EOutlookError(QStringLiteral("Unknown folder"));
    bool oldDeleted = false;
    {
        TWriteGuard<TSyncItems> guard(*this);
        item.SetSkipMark(true);
        // The item holds the edited source until the parser has read it.
        std::shared_ptr<TFastMemoryStream> source = item.SharedSource();
        if (!source || &stream != source.get()) {
            stream.Seek(0, TSeekOrigin::Begin);
            source = std::make_shared<TFastMemoryStream>();
            source->LoadFromStream(stream);
            item.SetSource(source);
        }
        source->Seek(0, TSeekOrigin::Begin);
        const auto oldId = static_cast<TStoreId>(item.Id());
        TMessageProps props;
        TStoreId newId = kNoStoreId;
        TStoreResult result = folder->GetMessageProperties(oldId, 1, props);
        if (result == srOk)
            result = folder->SaveMessage(source->ToByteArray(), props.State, &newId);
        if (result != srOk) {
            item.SetSkipMark(false);
            throw EOutlookError(CreateMessageError(result));
        }
        item.SetId(static_cast<qintptr>(newId));
        ReindexItem(&item, static_cast<qintptr>(oldId));
        item.SetSize(source->Size());
        // The edited header may differ: its fields are derived anew.
        item.ClearParsed();
        oldDeleted = folder->DeleteMessages({oldId}, 0, FFolders.get()) == srOk;
    }
    FParser->QueueListed(&item);
    // The edited message is saved; the old one could not be removed and
    // stays beside it, which the user must learn.
    if (!oldDeleted)
        throw EOutlookError(OutlookErrorText(kDeleteMessagesError));
}

bool TOeMesgItems::MarkRead(const TMessageIdList& ids, bool read)
{
    TStoreFolder* folder = FFolders->Folder();
    return folder && folder->MarkMessagesAsRead(read, 0, ids) == srOk;
}

void TOeMesgItems::RemoveDeleted(const TMessageIdList& ids)
{
    const QSet<TStoreId> gone(ids.cbegin(), ids.cend());
    BeginDisplayUpdate();
    {
        TWriteGuard<TSyncItems> guard(*this);
        for (int index = Count() - 1; index >= 0; --index) {
            if (gone.contains(static_cast<TStoreId>(Item(index)->Id())))
                Delete(index);
        }
        FParser->WithdrawQueuedNew(ids);
    }
    EndDisplayUpdate();
}

void TOeMesgItems::SetUnread(const TMessageIdList& ids, bool unread)
{
    // One display update around the change: the list repaints once and
    // learns that its counts changed.
    BeginDisplayUpdate();
    {
        TWriteGuard<TSyncItems> guard(*this);
        FParser->MarkQueuedNew(ids, unread);
        for (TStoreId id : ids) {
            if (auto* item = static_cast<TOeMesgItem*>(FById.value(static_cast<qintptr>(id), nullptr)))
                item->SetStateBit(stUnread, unread);
        }
    }
    EndDisplayUpdate();
}

void TOeMesgItems::FolderDeleted(TStoreId id)
{
    if (id != FolderId())
        return;
    // The store no longer knows where the folder was: its parent is the
    // one the model noted when it opened the folder, while that still exists.
    const TStoreId parent = FFolders->ParentId();
    const bool known = parent != kNoStoreId && parent != kRootFolderId && FFolders->FolderExists(parent);
    const TStoreId next = known ? parent : FFolders->ParentOrInbox(id);
    if (Loading()) {
        // The running load must end before the folder changes under it.
        StopLoading();
        FFolders->RequestOpenFolder(next);
        return;
    }
    Clear();
    FFolders->SetFolderId(next);
    LoadMessages();
}

bool TOeMesgItems::WaitUntilParsed(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QCoreApplication::processEvents();
        if (!FFolders->OpenRequestPending() && !Loading() && FParser->WaitLoadEnded(5) && FParser->Idle()
            && !FParser->RecordsWaiting())
            return true;
        if (deadline.hasExpired())
            return false;
    }
}

bool TOeMesgItems::LoadRunning() const
{
    return FFolders->OpenRequestPending() || Loading() || !FParser->LoadEnded();
}

void TOeMesgItems::Notify(TSyncItem* item, TNotification action)
{
    if (action == TNotification::Added) {
        FById.insert(item->Id(), item);
    } else {
        const auto found = FById.constFind(item->Id());
        if (found != FById.cend() && found.value() == item)
            FById.erase(found);
        // Out of the parser's queue before the item can be freed.
        if (FParser)
            FParser->Forget(item);
    }
    TMesgItems::Notify(item, action);
}

void TOeMesgItems::ReindexItem(TSyncItem* item, qintptr oldId)
{
    if (!item->Listed())
        return;
    const auto found = FById.constFind(oldId);
    if (found != FById.cend() && found.value() == item)
        FById.erase(found);
    FById.insert(item->Id(), item);
}

void TOeMesgItems::Clear()
{
    if (FParser)
        FParser->DrainQueue();
    TMesgItems::Clear();
}
