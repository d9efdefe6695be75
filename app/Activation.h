#pragma once

#include "app/SingleInstance.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

// Remembers the form that was active last, as the running instance must
// bring it to the front on an activation request even when another
// program has the focus now.
class TActiveFormTracker : public QObject
{
    Q_OBJECT
public:
    explicit TActiveFormTracker(QObject* parent = nullptr);

    [[nodiscard]] QWidget* ActiveForm() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> FActive;
};

// Reacts to an activation request, acted on only when it carries
// `ownToken`. Each file it names opens in a message window of its own, as
// at start-up, and the last one opened comes to the front; without one, the
// active form (when there is one) does. Coming to the front, a window is
// shown without moving or resizing it, raised and activated. The files
// that cannot be shown are named in one error box. True when a window came
// to the front.
bool HandleActivationRequest(const TActivationRequest& request, quint64 ownToken, QWidget* activeForm);
