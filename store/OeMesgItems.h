#pragma once

#include "base/ExtThread.h"
#include "engine/StoreTypes.h"
#include "messages/MesgItems.h"

#include <QHash>

#include <functional>
#include <memory>

class TOEFolders;
class TStoreFolder;
class TOeMesgItem;
class TParserThread;

// The messages of one store folder: the list a browser window shows. It owns
// its folder model and a parser thread. Loading a folder reads the folder in
// steps on the main thread, each message with the list fields the store
// keeps for it, or else with its source, and queues the items to the parser
// thread, which derives what is missing, puts the items at their sorted
// places and hands the derived fields back to be kept. The items hold no
// sources: the store gives them again when asked. The collection follows the
// store's notifications (new, deleted, read and unread messages, a deleted
// folder).
class TOeMesgItems : public TMesgItems
{
    Q_OBJECT
    Q_PROPERTY(quint32 FolderId READ FolderId WRITE SetFolderId)

public:
    using TConfirmEvent = std::function<bool(TOeMesgItems* sender)>;
    using TNotifyEvent = std::function<void(TOeMesgItems* sender)>;

    explicit TOeMesgItems(QObject* owner = nullptr);
    ~TOeMesgItems() override;

    [[nodiscard]] std::unique_ptr<TSyncItem> CreateItem() override;

    // The open folder. Setting a folder the store does not know opens the
    // open folder's parent, else the Inbox; the folder opens after the
    // current event, once a running load has stopped.
    [[nodiscard]] TStoreId FolderId() const;
    void SetFolderId(TStoreId id);
    void GoToInbox();
    void GoToParent() override;

    // Reloads the open folder.
    void LoadMessages() override;
    // Adds the message, or reads it again when an item has its id.
    void AddOrRefresh(const TMessageProps& props);

    // Deletes the selected messages in the store (asking first inside
    // Deleted Items); the items go when the store reports the deletion.
    void DeleteSelected() override;
    void DeleteItem(int index);
    // Saves the stream as a new unread message of the open folder.
    TMesgItem* ImportStream(TStream& stream) override;
    // Saves the sources as new unread messages of the open folder in one
    // transaction, and lists their items, which hold no source: each is
    // parsed from the store when the store announces it.
    int ImportSources(const std::vector<QByteArray>& sources) override;
    // The selected messages go to the internal clipboard (Transfer()) as
    // ".eml" files of this folder.
    void PrepareOutgoing() override;
    // Messages of this run and virtual message files come into the open folder.
    void PasteMessages(IMesgTransfer& transfer) override;
    void PasteVirtualFiles(IMesgTransfer& transfer) override;
    // Replaces the stored message by the stream, keeping its state. Raises
    // EOutlookError when the new version cannot be saved, and when the old
    // one cannot be deleted (the new one is then saved and listed).
    void SaveEdited(TOeMesgItem& item, TStream& stream);
    // Marks the messages read or unread in the store.
    bool MarkRead(const TMessageIdList& ids, bool read);

    // The item with the given message id, under the read lock; none when absent.
    [[nodiscard]] TOeMesgItem* ItemByMessageId(TStoreId id) const;
    [[nodiscard]] TOEFolders& Folders() { return *FFolders; }
    // Runs the event loop until the parser has finished the running load
    // and the fields it derived are kept.
    bool WaitUntilParsed(int timeoutMs);
    // True from the request to open a folder until the parser has listed
    // the last message of its load.
    [[nodiscard]] bool LoadRunning() const;
    // The caption of an item: the text event's answer when one is set;
    // otherwise the list fields are filled from the item's header.
    [[nodiscard]] QString ItemText(TMesgItem& item);

    TConfirmEvent OnConfirmDelete;
    // A folder has been opened and loaded.
    TNotifyEvent OnChange;
    // The store reported a folder change (for the folder tree).
    std::function<void(int type, TStoreId oldId, TStoreId newId)> OnFolderChange;

protected:
    void Notify(TSyncItem* item, TNotification action) override;
    void Clear() override;
    bool event(QEvent* event) override;

private:
    void FolderOpened(TStoreId id);
    // Loads the open folder; false when the load was abandoned.
    bool LoadFolder();
    // Queues the messages of one step of a load that are not known yet.
    void AddListed(TStoreFolder& folder, std::vector<TMessageListing>& rows);
    // Lets the user interface run, and waits while the parser has too much
    // to do; false when the load must stop.
    bool KeepUp();
    // Keeps the fields the parser derived, in the store.
    void KeepListFields();
    void RemoveDeleted(const TMessageIdList& ids);
    void SetUnread(const TMessageIdList& ids, bool unread);
    void FolderDeleted(TStoreId id);
    // Gives a listed item the store's id, size, state and received date
    // (under the write lock).
    void ApplyProps(TOeMesgItem& item, const TMessageProps& props);
    void ReindexItem(TSyncItem* item, qintptr oldId);

    std::unique_ptr<TOEFolders> FFolders;
    TThreadVar FParserVar;
    TParserThread* FParser;
    QHash<qintptr, TSyncItem*> FById;   // changed under the write lock
};
