#pragma once

#include "base/Exception.h"

#include <QAction>
#include <QPointer>
#include <QWidget>

// A programming error in wiring an action to a control.
class EActionError : public Exception
{
public:
    using Exception::Exception;
};

// An action that does not know the control it acts on. Its target is the
// control fixed to it, else the control that has the focus. Whether the
// action is responsible for that control, how it shows itself for it and
// what it does to it are the three rules each action class gives.
//
// Every target action is updated when the application is idle (see
// TActionUpdater), so menus, buttons and shortcuts follow the focus.
class TTargetAction : public QAction
{
    Q_OBJECT
public:
    explicit TTargetAction(QObject* parent = nullptr);
    ~TTargetAction() override;

    // The control fixed to this action; cleared when that control goes.
    [[nodiscard]] QWidget* FixedControl() const { return FFixed; }
    virtual void SetFixedControl(QWidget* control);
    // Fixes the control for good: once it goes (or for none), the action
    // has no target and stays disabled rather than following the focus.
    void BindTo(QWidget* control);
    // The fixed control, else the focused one (none when nothing has the focus).
    [[nodiscard]] QWidget* Target() const;

    // Sets enabled and visible for the current target. An action that is
    // not responsible for its target is disabled.
    void Update();

protected:
    // Is this action responsible for the control (which may be none)?
    [[nodiscard]] virtual bool HandlesTarget(QWidget* target) const = 0;
    // Sets enabled and visible for a target it handles.
    virtual void UpdateTarget(QWidget* target) = 0;
    virtual void ExecuteTarget(QWidget* target) = 0;

private:
    // Runs on `triggered`: the state is decided again first, so a stale
    // state from the last idle pass never acts on the wrong control.
    void Execute();

    QPointer<QWidget> FFixed;
    bool FBound = false;
};
