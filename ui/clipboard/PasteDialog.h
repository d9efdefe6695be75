#pragma once

#include "ui/dialogs/Dialog.h"

#include <QElapsedTimer>

#include <exception>
#include <functional>

class QLabel;
class QProgressBar;

// The progress dialog of a paste: a caption, two text lines, a progress
// bar and a Cancel button. The paste runs inside the dialog's modal loop
// and closes the dialog when it ends. One process-wide flag tells the
// paste that the user cancelled: making a dialog clears it, closing one
// (for any reason) sets it. At most one paste dialog exists at a time.
class TPasteDialog : public TDialog
{
    Q_OBJECT
public:
    // Event number of progress posted from another thread.
    static constexpr int kProgressMessage = 0x4B3;

    explicit TPasteDialog(int total = 0);
    ~TPasteDialog() override;

    // Shows the dialog modally and runs `paste` once it is showing; the
    // dialog closes when the paste ends. What the paste raised is raised
    // again once the dialog has closed.
    void Run(const std::function<void()>& paste);
    // The paste's position out of `total`. On the main thread the bar and
    // the percentage follow at most every 60 ms, and the pending events
    // run then so that Cancel works; another thread's call is posted.
    void Progress(int position, int total);
    [[nodiscard]] int Position() const { return FPosition; }

    // The open paste dialog, none when no paste runs.
    [[nodiscard]] static TPasteDialog* Current();
    // True when the user cancelled the running paste (or none runs).
    [[nodiscard]] static bool Cancelled();

protected:
    void customEvent(QEvent* event) override;
    void done(int result) override;

private:
    void Refresh();

    QLabel* FStatus;
    QProgressBar* FBar;
    QPushButton* FCancel;
    int FPosition = 0;
    int FTotal = 0;
    QElapsedTimer FRefreshClock;
    std::exception_ptr FFailure;
};
