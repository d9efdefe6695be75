#pragma once

#include "ui/actions/EditInterfaces.h"
#include "ui/actions/TargetAction.h"

#include <QKeySequence>

// Text editing actions: responsible for a control that offers the text
// editing interface; enabled by its "can" answer; they run the operation.
// Each class names one operation of the interface and the desktop's key
// for it.
class TAEditAction : public TTargetAction
{
    Q_OBJECT
public:
    using TCan = bool (ITextEditInterface::*)() const;
    using TRun = void (ITextEditInterface::*)();

    TAEditAction(TCan can, TRun run, QKeySequence::StandardKey key, QObject* parent);

protected:
    [[nodiscard]] bool HandlesTarget(QWidget* target) const override;
    void UpdateTarget(QWidget* target) override;
    void ExecuteTarget(QWidget* target) override;

private:
    TCan FCan;
    TRun FRun;
};

class TAEditCut : public TAEditAction
{
    Q_OBJECT
public:
    explicit TAEditCut(QObject* parent = nullptr);
};

class TAEditCopy : public TAEditAction
{
    Q_OBJECT
public:
    explicit TAEditCopy(QObject* parent = nullptr);
};

class TAEditPaste : public TAEditAction
{
    Q_OBJECT
public:
    explicit TAEditPaste(QObject* parent = nullptr);
};

class TAEditDelete : public TAEditAction
{
    Q_OBJECT
public:
    explicit TAEditDelete(QObject* parent = nullptr);
};

class TAEditSelectAll : public TAEditAction
{
    Q_OBJECT
public:
    explicit TAEditSelectAll(QObject* parent = nullptr);
};

// Undo and redo are responsible for every control: where the focused
// control has no undo, they are disabled and hidden.
class TAEditUndoRedo : public TTargetAction
{
    Q_OBJECT
public:
    using TCan = bool (IUndoInterface::*)() const;
    using TRun = void (IUndoInterface::*)();

    TAEditUndoRedo(TCan can, TRun run, QKeySequence::StandardKey key, QObject* parent);

protected:
    [[nodiscard]] bool HandlesTarget(QWidget*) const override { return true; }
    void UpdateTarget(QWidget* target) override;
    void ExecuteTarget(QWidget* target) override;

private:
    TCan FCan;
    TRun FRun;
};

class TAEditUndo : public TAEditUndoRedo
{
    Q_OBJECT
public:
    explicit TAEditUndo(QObject* parent = nullptr);
};

class TAEditRedo : public TAEditUndoRedo
{
    Q_OBJECT
public:
    explicit TAEditRedo(QObject* parent = nullptr);
};

// Find and search again: responsible for a control that offers the find
// interface; both are enabled by its "can search again" answer.
class TAFindReplace : public TTargetAction
{
    Q_OBJECT
public:
    using TRun = void (IFindInterface::*)();

    TAFindReplace(TRun run, QKeySequence::StandardKey key, QObject* parent);

protected:
    [[nodiscard]] bool HandlesTarget(QWidget* target) const override;
    void UpdateTarget(QWidget* target) override;
    void ExecuteTarget(QWidget* target) override;

private:
    TRun FRun;
};

class TAEditFind : public TAFindReplace
{
    Q_OBJECT
public:
    explicit TAEditFind(QObject* parent = nullptr);
};

class TAEditSearchAgain : public TAFindReplace
{
    Q_OBJECT
public:
    explicit TAEditSearchAgain(QObject* parent = nullptr);
};
