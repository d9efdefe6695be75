#pragma once

#include "base/VirtItems.h"
#include "content/MimeParser.h"
#include "messages/MesgFields.h"
#include "messages/MesgSort.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <vector>

class IMesgTransfer;
class TMesgItem;
class TMimeMessage;
class TStream;

// The base of every message collection: message items behind the list
// control, with per-state counters, batched row-count updates while a
// folder loads, the collection caption, and one MIME parser for the main
// thread and one for the parser thread.
//
// The store collection defines adding, importing, deleting, pasting and
// preparing outgoing messages; the base keeps what is common.
class TMesgItems : public TVirtItems
{
    Q_OBJECT
public:
    // The list control's text event: the caption of an item that has none.
    using TItemTextEvent = std::function<QString(TMesgItem& item)>;

    static constexpr int kInsertBatch = 128;   // row counts go out on every 129th insertion
    static constexpr unsigned char kDefaultKind = 6;

    explicit TMesgItems(QObject* owner = nullptr);
    ~TMesgItems() override;

    [[nodiscard]] std::unique_ptr<TSyncItem> CreateItem() override;
    // Adds the item's state bits to the counters and batches the row-count
    // updates of a load (see kInsertBatch).
    TSyncItem* Insert(int index, std::unique_ptr<TSyncItem> item) override;
    // The same for a batch listed at its sorted places: the counters take
    // the items' bits, and the control learns the new row count at once.
    void InsertSorted(std::vector<std::unique_ptr<TSyncItem>> items) override;
    void Clear() override;
    // Row of the first item whose message id equals `name` exactly; -1 when none.
    [[nodiscard]] int IndexOfName(const QString& name) const override;

    // The parser of the calling thread: the main thread's or the other one.
    [[nodiscard]] const TMimeParser& Parser() const;
    // Parses with the calling thread's parser.
    void Parse(TStream& source, TMimeMessage& message) const;
    void Parse(const QByteArray& source, TMimeMessage& message) const;

    // Items with each state bit (unread, attachment, replied, flagged, unsent).
    [[nodiscard]] int CountOf(TMesgState bit) const;
    [[nodiscard]] unsigned char Kind() const { return FKind; }
    void SetKind(unsigned char kind) { FKind = kind; }
    [[nodiscard]] bool Loading() const { return FLoading; }
    void SetLoading(bool loading) { FLoading = loading; }
    [[nodiscard]] bool BreakRequested() const { return FBreak; }
    void SetBreak(bool stop) { FBreak = stop; }

    // The transfer object of the process (set by whoever owns the list).
    [[nodiscard]] IMesgTransfer* Transfer() const { return FTransfer; }
    void SetTransfer(IMesgTransfer* transfer) { FTransfer = transfer; }

    TItemTextEvent OnItemText;

    // Incoming messages: internal ones, virtual files, or dropped ".eml" files.
    virtual void AcceptIncoming(IMesgTransfer& transfer);
    virtual void PasteMessages(IMesgTransfer& transfer);
    virtual void PasteVirtualFiles(IMesgTransfer& transfer);
    // Imports every dropped ".eml" path that is a regular file through a 64 KiB read
    // buffer, advancing the paste progress after each and stopping when the
    // paste is cancelled; refuses the drop when there is no such file.
    virtual void PasteFiles(IMesgTransfer& transfer);
    virtual void DeleteSelected();
    [[nodiscard]] virtual QString GetCaption() const;
    virtual void SetCaption(const QString& caption);
    virtual void SyncWithTree(QObject* tree);
    virtual void GoToParent();
    // Adds a copy of an item; the store collection defines it.
    virtual TMesgItem* AddItem(TMesgItem* item);
    // Adds a message read from a stream; the store collection defines it.
    virtual TMesgItem* ImportStream(TStream& stream);
    // Adds messages given as their sources; returns how many were added.
    // By default each is imported as a stream and keeps its source; the
    // store collection saves them all in one transaction or none.
    virtual int ImportSources(const std::vector<QByteArray>& sources);
    virtual void PrepareOutgoing();
    // PrepareOutgoing, then the transfer object copies, cuts or starts a drag.
    virtual void CopyCommand();
    virtual void CutCommand();
    virtual void DragCommand();
    virtual void LoadMessages();
    // Sorts the whole collection as one batch.
    virtual void Resort();
    // The order of the list; changing it takes the write lock (re-sort with Resort()).
    [[nodiscard]] TSortOrder SortOrder() const;
    void SetSortOrder(const TSortOrder& order);
    // Sets the break flag while loading.
    virtual void StopLoading();

    // True when the break flag is set or the application is closing.
    // Otherwise, at most every `intervalMs` (0: every call), lets the
    // pending user-interface events run and answers the same question again.
    [[nodiscard]] bool CheckBreak(int intervalMs);
    // Restarts the one interval clock of CheckBreak.
    static void RestartBreakClock();

protected:
    void Recount() override;
    [[nodiscard]] int CompareItems(const TSyncItem* a, const TSyncItem* b) const override;

private:
    void AddToCounters(unsigned char state);
    [[nodiscard]] bool Stopping() const;

    TMimeParser FMainParser;
    TMimeParser FOtherParser;
    std::atomic<int> FInsertBatch{0};
    QString FCaption;
    unsigned char FKind = kDefaultKind;
    std::atomic<bool> FLoading{false};
    std::atomic<bool> FBreak{false};
    std::array<std::atomic<int>, kMesgStateCount> FCounters{};
    IMesgTransfer* FTransfer = nullptr;
    TSortOrder FSortOrder;   // read by comparisons under the write lock
};
