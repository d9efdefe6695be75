#pragma once

#include <QStringList>

// What a message list needs of the process-wide transfer object (the
// clipboard and drag-and-drop of messages), which the user interface
// implements: the incoming data, the drop effect reported back, the paste
// progress dialog, and the outgoing commands.
class IMesgTransfer
{
public:
    enum class TDropEffect { Refused = 0, Copy = 1, Move = 2, Link = 4 };

    virtual ~IMesgTransfer() = default;

    // The incoming data: messages of this very run, virtual files, or dropped paths.
    [[nodiscard]] virtual bool FromThisRun() const = 0;
    [[nodiscard]] virtual bool HasVirtualFiles() const = 0;
    [[nodiscard]] virtual QStringList DroppedFiles() const = 0;
    virtual void SetDropEffect(TDropEffect effect) = 0;

    // The paste progress dialog: cancelled by the user, and its progress.
    [[nodiscard]] virtual bool PasteCancelled() const = 0;
    virtual void SetPasteProgress(int position, int total) = 0;

    // The outgoing data, prepared by the list, copied, cut or dragged.
    virtual void CopyToClipboard() = 0;
    virtual void CutToClipboard() = 0;
    virtual void StartDrag() = 0;
};
