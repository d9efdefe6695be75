#include "store/OeMesgItems.h"

#include "base/FastMemoryStream.h"
#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
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

QByteArray ReadAll(TStream& stream)
{
    QByteArray bytes(stream.Size() - stream.Position(), Qt::Uninitialized);
    stream.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
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

    FParser->BeginLoad();
    Clear();
    RestartBreakClock();
    const TStoreId id = FolderId();
    SetCaption(id == kRootFolderId ? QString() : DecodeSystemText(FFolders->FolderName()));
    SetKind(static_cast<unsigned char>(FolderKind(id, FFolders->SpecialType())));
    bool complete = true;
    // The enumeration has a folder object of its own: whatever happens to
    // the model's folder while events run, this one stays valid until closed.
    std::unique_ptr<TStoreFolder> folder;
    if (FFolders->Folder() && FFolders->Namespace().OpenFolder(id, 0, folder) == srOk) {
        TMessageProps props;
        TEnumHandle handle = 0;
        for (TStoreResult r = folder->GetFirstMessage(1, 0, kNoStoreId, props, handle); r == srOk;
             r = folder->GetNextMessage(handle, 0, props)) {
            AddOrRefresh(props);
            // The folder must stay the one enumerated; anything else ends the load.
            if (CheckBreak(0) || FolderId() != id) {
                complete = false;
                break;
            }
        }
        folder->GetMessageClose(handle);
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
    std::unique_ptr<TOeMesgItem> created;
    if (!listed)
        created = std::make_unique<TOeMesgItem>(this);
    TOeMesgItem& item = listed ? *listed : *created;
    try {
        if (!inStore || !LoadSource(item, current)) {
            // The message is gone from the store: so is its item.
            if (listed) {
                TWriteGuard<TSyncItems> guard(*this);
                DeleteIfInRange(IndexOf(listed));
            }
            return;
        }
        if (created)
            FParser->QueueNew(std::move(created));
        else
            FParser->QueueListed(listed);
    } catch (const Exception&) {
        QueueFileError(QString());
    }
}

bool TOeMesgItems::LoadSource(TOeMesgItem& item, const TMessageProps& props)
{
    TStoreFolder* folder = FFolders->Folder();
    std::unique_ptr<QIODevice> device;
    if (!folder || folder->OpenMessage(props.Id, device) != srOk)
        return false;
    auto source = std::make_shared<TFastMemoryStream>();
    source->LoadFromDevice(*device);
    // A new item is not listed yet: only a listed one needs the lock.
    std::optional<TWriteGuard<TSyncItems>> guard;
    if (item.Listed())
        guard.emplace(*this);
    const qintptr oldId = item.Id();
    item.SetSource(source);
    item.SetId(static_cast<qintptr>(props.Id));
    ReindexItem(&item, oldId);
    item.SetSize(source->Size());
    item.SetState(StateFromStore(props.State, item.State()));
    item.SetDateReceived(DateTimeToDays(props.Received));
    return true;
}

QString TOeMesgItems::ItemText(TMesgItem& item)
{
    if (OnItemText)
        return OnItemText(item);
    // Without a window to answer, the list fields come from the header.
    thread_local TMimeMessage message;
    item.DecodeInto(message, true);
    item.DeriveFields(message, DecodeListHeader(message));
    message.Clear();
    return {};
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
        if (!folder || folder->SaveMessage(ReadAll(stream), kMsgUnread, &id) != srOk)
            throw EOutlookError(QStringLiteral("Error creating new message"));
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
        if (&stream != &item.Source()) {
            stream.Seek(0, TSeekOrigin::Begin);
            auto source = std::make_shared<TFastMemoryStream>();
            source->LoadFromStream(stream);
            item.SetSource(source);
        }
        TFastMemoryStream& source = item.Source();
        source.Seek(0, TSeekOrigin::Begin);
        const auto oldId = static_cast<TStoreId>(item.Id());
        TMessageProps props;
        TStoreId newId = kNoStoreId;
        if (folder->GetMessageProperties(oldId, 1, props) != srOk
            || folder->SaveMessage(source.ToByteArray(), props.State, &newId) != srOk) {
            item.SetSkipMark(false);
            throw EOutlookError(QStringLiteral("Error creating new message"));
        }
        item.SetId(static_cast<qintptr>(newId));
        ReindexItem(&item, static_cast<qintptr>(oldId));
        item.SetSize(source.Size());
        // The edited header may differ: its fields are derived anew.
        item.ClearParsed();
        oldDeleted = folder->DeleteMessages({oldId}, 0, FFolders.get()) == srOk;
    }
    item.Source().Seek(0, TSeekOrigin::Begin);
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
    const TStoreId next = FFolders->ParentOrInbox(id);
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
        if (!FFolders->OpenRequestPending() && !Loading() && FParser->WaitLoadEnded(5) && FParser->Idle())
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
