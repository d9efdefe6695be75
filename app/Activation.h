#pragma once

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

// Reacts to an activation request: acted on only when `token` is this
// instance's own; then the active form (when there is one) is shown without
// moving or resizing it, raised and activated. True when it was acted on.
bool HandleActivationRequest(quint64 token, quint64 ownToken, QWidget* activeForm);
