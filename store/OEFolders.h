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
    void RequestOpenFolder(TStoreId id);

    [[nodiscard]] TStoreId ParentOrInbox(TStoreId id);
    [[nodiscard]] bool IsDescendant(TStoreId ancestor, TStoreId id);
    [[nodiscard]] bool CanMoveFolder(TStoreId source, TStoreId target);
    [[nodiscard]] bool IsInDeletedItems(TStoreId id);
    bool CopyMoveTo(const TMessageIdList& ids, TStoreId target, bool move);
    bool CopyFolderTree(TStoreId source, TStoreId targetParent);
    bool CopyAllMessages(TStoreId source, TStoreId target);

    bool WndProc(QEvent* event) override;
    void DoProgress(quint32 current, quint32 maximum) override;

    TFolderOpenedEvent OnFolderOpened;
    TProgressRedirect ProgressRedirect;

private:
    void KeepInterfaceAlive(QElapsedTimer& clock);
};
