#pragma once

#include "engine/StoreNamespace.h"
#include "engine/StoreTypes.h"

#include <QObject>

#include <functional>
#include <memory>

// Kind byte of a folder, used for ordering and icons: 0 root, 1 Inbox,
// 2 Outbox, 3 Sent Items, 4 Deleted Items, 5 Drafts, 6 any other folder.
[[nodiscard]] int FolderKind(TStoreId id, int specialType);

// Keeps every later export or save of this process off the store at `path`
// and the files SQLite keeps beside it.
void ProtectStoreFiles(const QString& path);

// One store namespace and at most one open folder. The store's notifications
// for the notification receiver are turned into the On... events.
class TOEFolder : public QObject, public IStoreProgress
{
    Q_OBJECT
public:
    using TProgressEvent = std::function<void(quint32 current, quint32 maximum)>;
    using TFolderChangeEvent = std::function<void(int type, TStoreId oldId, TStoreId newId)>;
    using TNewMessageEvent = std::function<void(TOEFolder* sender, const TMessageProps& props)>;
    using TIdsEvent = std::function<void(TOEFolder* sender, const TMessageIdList& ids)>;
    using TFolderEvent = std::function<void(TOEFolder* sender, TStoreId folderId)>;

    // Opens the store namespace; raises EOutlookError "Can not Initialize".
    explicit TOEFolder(QObject* owner = nullptr);
    ~TOEFolder() override;

    [[nodiscard]] TStoreId FolderId() const { return FFolderId; }
    void SetFolderId(TStoreId id);
    [[nodiscard]] TStoreId ParentId() const { return FParentId; }
    [[nodiscard]] const QByteArray& FolderName() const { return FFolderName; }
    [[nodiscard]] int SpecialType() const { return FSpecialType; }
    [[nodiscard]] QObject* NotifyWindow() const { return FNotifyWindow; }
    void SetNotifyWindow(QObject* window);

    TFolderProps ReadFolderProps();
    void UpdateFolderInfo();
    TStoreResult GetFolderInfo(TStoreId id, TFolderProps& props);
    [[nodiscard]] bool FolderExists(TStoreId id);
    [[nodiscard]] TStoreId FindParentId(TStoreId id);
    [[nodiscard]] TStoreId FindSpecialFolder(int type);
    TStoreId AddFolder(TStoreId parent, const QByteArray& name);
    bool RenameFolderId(TStoreId id, const QByteArray& name);
    bool MoveFolderId(TStoreId id, TStoreId newParent);
    bool DeleteFolderId(TStoreId id);
    // Compacts the store file over a connection of its own, so that it may
    // run on another thread while the models' folders stay open: `whole`
    // rebuilds the file, else the free pages are given back. `keepGoing`
    // may stop it (srCancelled, the store as it was).
    [[nodiscard]] static TStoreResult CompactStoreFile(const QString& path, bool whole,
                                                       const TStoreKeepGoing& keepGoing);

    // Visits the children of `parent` in store order until `visit` returns
    // false; the enumeration is always closed. False when the enumeration
    // fails (the children were not all visited, though `visit` wanted them).
    bool ForEachChild(TStoreId parent, const std::function<bool(const TFolderProps&)>& visit);

    [[nodiscard]] TStoreNamespace& Namespace() { return FNamespace; }
    [[nodiscard]] TStoreFolder* Folder() const { return FFolder.get(); }

    // Handles one notification; false for events it does not know.
    virtual bool WndProc(QEvent* event);
    virtual void DoProgress(quint32 current, quint32 maximum);
    virtual void CloseFolder();

    TProgressEvent OnProgress;
    TFolderChangeEvent OnFolderChange;
    TNewMessageEvent OnNewMessage;
    TIdsEvent OnDeleteMessages;
    TIdsEvent OnMarkedRead;
    TIdsEvent OnMarkedUnread;
    TFolderEvent OnDeleteFolder;

protected:
    bool event(QEvent* event) override;
    void NotifyProgress(quint32 current, quint32 maximum) override { DoProgress(current, maximum); }

private:
    void HandleFolderChanged(const class TStoreEvent& event);
    void HandleNewMessage(const class TStoreEvent& event);

    QObject* FNotifyWindow = nullptr;
    TStoreId FFolderId = kNoStoreId;
    TStoreId FParentId = kNoStoreId;
    QByteArray FFolderName;
    int FSpecialType = sfNotSpecial;
    TStoreNamespace FNamespace;
    std::unique_ptr<TStoreFolder> FFolder;
};
