#pragma once

#include "engine/StoreTypes.h"
#include "store/OeTransfer.h"
#include "ui/clipboard/MailClipboard.h"
#include "ui/tree/FolderTreeClipboard.h"

#include <memory>

class TOEFolders;
class TStoreFolder;

// The mail clipboard with store folders: a folder travels as its 32-bit id
// in the folder format, copied, cut or dragged from the folder tree. It
// also serves the tree's pastes of messages and files onto a folder.
class TOEFolderClipboard : public TMailClipboard, public IFolderTreeClipboard
{
    Q_OBJECT
public:
    explicit TOEFolderClipboard(QObject* owner = nullptr);

    void ClearOutgoing() override;
    [[nodiscard]] TStoreId FolderOut() const { return FFolderOut; }

    // ---- IFolderTreeClipboard
    void OfferFolder(QWidget* source, TStoreId folder, Qt::DropAction effect) override;
    void DragFolder(QWidget* source, TStoreId folder) override;
    [[nodiscard]] TStoreId OfferedFolder(const QMimeData* data) const override;
    [[nodiscard]] Qt::DropAction PasteEffect(const QMimeData* data) const override;
    [[nodiscard]] bool AcceptsMessages(const QMimeData* data) const override;
    Qt::DropAction PasteMessages(QWidget* target, const QMimeData* data, TStoreId folder,
                                 Qt::DropAction effect) override;
    void SetDropEffect(Qt::DropAction effect) override;
    using TMailClipboard::SetDropEffect;
    bool RunWithProgress(QWidget* owner, TOEFolders& folders, const std::function<bool()>& task) override;

protected:
    // What the store's clipboard does with incoming data for a folder.
    virtual void PasteIntoFolder(TStoreId folder) = 0;
    virtual void SaveIncomingFiles(TStoreId folder) = 0;

private:
    [[nodiscard]] QMimeData* FolderData(TStoreId folder, bool cut);

    TStoreId FFolderOut = kNoStoreId;
};

// The program's one internal clipboard ("OEClipboard"): it offers store
// messages, reading each message's source from the store only when a
// receiver asks for it, keeps the folder they came from open until the
// next offer, drops messages deleted meanwhile from the offer, and copies
// or moves its messages, or saves incoming message files, into a folder.
class TOEClipboard : public TOEFolderClipboard, public IOeTransfer
{
    Q_OBJECT
public:
    // Raises EOutlookError when the store cannot be opened.
    explicit TOEClipboard(QObject* owner = nullptr);
    ~TOEClipboard() override;

    // Installs the clipboard for the message lists and folder trees made
    // from now on; Uninstall withdraws it.
    void Install();
    void Uninstall();

    // ---- IOeTransfer
    void ClearOutgoing() override;
    void AddOutgoing(TStoreId id, const TVirtualFileDescriptor& descriptor) override;
    void FinishOutgoing(TStoreId folder) override;
    void PasteIntoFolder(TStoreId folder) override;
    void SaveVirtualFiles(TStoreId folder) override;

    // The source of offered message `index`, read from the store.
    [[nodiscard]] std::unique_ptr<QIODevice> ContentStream(int index) override;
    // The store deleted these messages: they leave the offer.
    void ForgetDeleted(const TMessageIdList& ids);
    [[nodiscard]] TMessageIdList OutgoingIds() const;

protected:
    void SaveIncomingFiles(TStoreId folder) override;

private:
    // Saves one incoming file (virtual file or dropped path) as a new
    // unread message of `target`; false when the save failed.
    bool SaveIncoming(TStoreFolder& target, int index);

    std::unique_ptr<TOEFolders> FFolders;
    TMessageIdList FIds;   // position n belongs to offered file n; under FLock
};
