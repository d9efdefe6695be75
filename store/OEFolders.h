#pragma once

#include "store/OEFolder.h"

#include <QElapsedTimer>

// Private request: open a folder after the current event (posted to the model).
inline constexpr int kOpenFolderRequest = 1206;

// The folder model: TOEFolder receiving its own notifications, with the
// folder-level operations on top.
class TOEFolders : public TOEFolder
{
    Q_OBJECT
public:
    using TFolderOpenedEvent = std::function<void(TOEFolders* sender, TStoreId folderId)>;
    // Progress redirect: returns true when it consumed the values (a paste
    // progress dialog that is showing and not cancelled).
    using TProgressRedirect = std::function<bool(quint32 current, quint32 maximum)>;

    explicit TOEFolders(QObject* owner = nullptr);
    ~TOEFolders() override;

    // Posts the open-folder request; OnFolderOpened fires once it has run.
    // A request that a later one replaces before it runs is dropped. When
    // the folder is gone by the time the request runs, its parent, else the
    // Inbox, opens instead (as for an open folder that is deleted).
    void RequestOpenFolder(TStoreId id);
    // True from a request until the last one has run.
    [[nodiscard]] bool OpenRequestPending() const { return FRequestRun != FRequestPosted; }

    // While a hold lasts, open requests wait and run after it: a load that
    // lets the event loop run must end before another folder opens under it.
    class TOpenHold
    {
    public:
        explicit TOpenHold(TOEFolders& folders);
        ~TOpenHold();
        TOpenHold(const TOpenHold&) = delete;
        TOpenHold& operator=(const TOpenHold&) = delete;

    private:
        TOEFolders& FFolders;
    };

    [[nodiscard]] TStoreId ParentOrInbox(TStoreId id);
    [[nodiscard]] bool IsDescendant(TStoreId ancestor, TStoreId id);
    [[nodiscard]] bool CanMoveFolder(TStoreId source, TStoreId target);
    [[nodiscard]] bool IsInDeletedItems(TStoreId id);
    // Copies or moves the messages a batch at a time, each batch its own
    // transaction, with progress after each; a stop asked for through
    // StopRequested ends it after the batch that runs, the batches done
    // staying done. A failure is shown, with how many were done before it.
    bool CopyMoveTo(const TMessageIdList& ids, TStoreId target, bool move);
    // The same for a folder and everything below it; a stop leaves the
    // folders copied so far.
    bool CopyFolderTree(TStoreId source, TStoreId targetParent);
    bool CopyAllMessages(TStoreId source, TStoreId target);

    bool WndProc(QEvent* event) override;
    void DoProgress(quint32 current, quint32 maximum) override;

    TFolderOpenedEvent OnFolderOpened;
    TProgressRedirect ProgressRedirect;
    // Asked between the batches of a copy or move: true stops it there.
    std::function<bool()> StopRequested;

private:
    [[nodiscard]] bool Stopped() const { return StopRequested && StopRequested(); }
    // Copies or moves the messages from `from` to `to` in batches; the
    // number done goes to `done`. False when a batch failed.
    bool TransferInBatches(TStoreFolder& from, TStoreFolder& to, const TMessageIdList& ids, bool move,
                           qsizetype& done);
    void KeepInterfaceAlive(QElapsedTimer& clock);
    void PostOpenRequest(TStoreId id, unsigned serial);
    void OpenRequested(TStoreId id);

    unsigned FRequestPosted = 0;   // serial of the last request
    unsigned FRequestRun = 0;      // serial of the last request that has run
    int FHolds = 0;
    bool FHeld = false;            // a request waits for the holds to end
    TStoreId FHeldId = kNoStoreId;
    unsigned FHeldSerial = 0;
};
