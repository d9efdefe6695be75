#pragma once

#include "messages/MesgFiles.h"
#include "messages/MesgTransfer.h"
#include "ui/mesglist/MesgListLinks.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QIODevice;
class QMimeData;

// The transfer of messages between the program's lists, its other runs
// and other programs, through the system clipboard and drag and drop.
//
// Outgoing: the files offered (names and descriptors, in list order) stay
// until the next ClearOutgoing, so a receiver may ask for them long after
// a drop or from the clipboard later; their contents are produced only
// when asked for (ContentStream). Incoming: data that carries this run's
// marker holds messages of this run; data with file descriptors holds
// virtual message files; otherwise the dropped paths are taken.
//
// The message lists register as drop targets; a paste or a drop runs the
// list's collection (AcceptIncoming) under a paste progress dialog.
class TMailClipboard : public QObject, public IMesgTransfer, public IMesgListClipboard
{
    Q_OBJECT
public:
    explicit TMailClipboard(QObject* owner = nullptr);
    ~TMailClipboard() override;

    // ---- outgoing
    virtual void ClearOutgoing();
    void AddVirtualFile(const TVirtualFileDescriptor& descriptor);
    // Empty names become "no subject", names equal to an earlier one
    // (ignoring case) are numbered, and all end in ".eml".
    void NormaliseOutgoing();
    [[nodiscard]] int OutgoingCount() const;
    [[nodiscard]] QList<TVirtualFileDescriptor> OutgoingDescriptors() const;
    // The contents of offered file `index`; none here, the store's
    // clipboard reads the message.
    [[nodiscard]] virtual std::unique_ptr<QIODevice> ContentStream(int index);
    // The whole contents of file `index`; empty when there are none.
    [[nodiscard]] QByteArray OutgoingContents(int index);
    // The offered files as real files in the private temporary folder of
    // the run, written the first time they are asked for and kept until the
    // run ends; a file whose contents cannot be had is left out.
    [[nodiscard]] QStringList WriteOutgoingFiles();

    void StartMessageDrag();
    void CopyMessages();
    void CutMessages();
    [[nodiscard]] Qt::DropAction DragResult() const { return FDragResult; }

    // ---- incoming
    // True when the data holds messages of this run, virtual ".eml" files
    // or dropped ".eml" files.
    [[nodiscard]] bool ClipboardAcceptable(const QMimeData* data) const;
    // What pasting the clipboard's data does: move after a cut, else copy.
    [[nodiscard]] static Qt::DropAction PasteEffectOf(const QMimeData* data);
    [[nodiscard]] int IncomingCount() const;
    [[nodiscard]] bool HasEmlVirtualFile() const;
    [[nodiscard]] bool HasEmlFile() const;
    [[nodiscard]] Qt::DropAction DropEffect() const { return static_cast<Qt::DropAction>(FDropEffect); }

    [[nodiscard]] QWidget* SourceControl() const { return FSourceControl; }
    [[nodiscard]] QWidget* PasteControl() const { return FPasteControl; }

    // ---- IMesgTransfer
    [[nodiscard]] bool FromThisRun() const override { return FFromThisRun; }
    [[nodiscard]] bool HasVirtualFiles() const override { return FHasVirtualFiles; }
    [[nodiscard]] QStringList DroppedFiles() const override { return FDroppedFiles; }
    void SetDropEffect(TDropEffect effect) override { FDropEffect = effect; }
    [[nodiscard]] bool PasteCancelled() const override;
    void SetPasteProgress(int position, int total) override;
    void CopyToClipboard() override { CopyMessages(); }
    void CutToClipboard() override { CutMessages(); }
    void StartDrag() override { StartMessageDrag(); }

    // ---- IMesgListClipboard
    void RegisterDropTarget(TMesgListView& list) override;
    void UnregisterDropTarget(TMesgListView& list) override;
    void SetSourceControl(TMesgListView& list) override;
    [[nodiscard]] bool CanPasteInto(TMesgListView& list) override;
    void PasteInto(TMesgListView& list) override;

    // Hands the data to the list's collection under the paste dialog;
    // returns the effect that took place (Qt::IgnoreAction: refused).
    Qt::DropAction DropOnList(TMesgListView& list, const QMimeData* data, Qt::DropAction requested);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Takes in the data of a paste or a drop: where it comes from, and the
    // effect (moving only messages of this run when a move is asked for).
    void BeginIncoming(const QMimeData* data, Qt::DropAction requested);
    void EndIncoming();
    // The name and the contents of incoming virtual file `index`.
    [[nodiscard]] QString IncomingName(int index) const;
    [[nodiscard]] QByteArray IncomingContents(int index) const;
    // Runs the paste under the paste dialog; a failure that escapes it is
    // shown once the dialog has closed. Nothing runs while another paste
    // does.
    void RunPaste(int total, const std::function<void()>& paste);
    // One paste at a time: a drop inside a running paste would change the
    // incoming data under it, so it is refused before it is looked at.
    [[nodiscard]] static bool PasteRunning();
    // Removes offered file `index`.
    void RemoveOutgoing(int index);
    void SetSourceWidget(QWidget* source) { FSourceControl = source; }

    mutable QRecursiveMutex FLock;   // guards the offered files

private:
    [[nodiscard]] QString OfferFolder();
    void OfferOnClipboard(bool cut);

    QList<TVirtualFileDescriptor> FOut;
    QString FOfferFolder;
    QHash<QString, QString> FWritten;   // offered name -> written file
    QHash<QObject*, TMesgListView*> FTargets;   // viewport -> list
    QPointer<QWidget> FSourceControl;
    QPointer<QWidget> FPasteControl;
    const QMimeData* FIncoming = nullptr;
    QList<TVirtualFileDescriptor> FIncomingFiles;
    QStringList FDroppedFiles;
    bool FFromThisRun = false;
    bool FHasVirtualFiles = false;
    TDropEffect FDropEffect = TDropEffect::Refused;
    Qt::DropAction FDragResult = Qt::IgnoreAction;
};
