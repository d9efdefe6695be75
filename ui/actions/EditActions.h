#pragma once

#include "ui/actions/EditInterfaces.h"
#include "ui/actions/TargetAction.h"

// Text editing actions: responsible for a control that offers the text
// editing interface; enabled by its "can" answer; they run the operation.
class TAEditAction : public TTargetAction
{
    Q_OBJECT
public:
    using TTargetAction::TTargetAction;

protected:
    [[nodiscard]] bool HandlesTarget(QWidget* target) const override;
    void UpdateTarget(QWidget* target) override;
    void ExecuteTarget(QWidget* target) override;

    [[nodiscard]] virtual bool Can(const ITextEditInterface& edit) const = 0;
    virtual void Run(ITextEditInterface& edit) = 0;
};

class TAEditCut : public TAEditAction
{
    Q_OBJECT
public:
    explicit TAEditCut(QObject* parent = nullptr);

protected:
    [[nodiscard]] bool Can(const ITextEditInterface& edit) const override { return edit.CanCut(); }
    void Run(ITextEditInterface& edit) override { edit.Cut(); }
};

class TAEditCopy : public TAEditAction
{
    Q_OBJECT
public:
    explicit TAEditCopy(QObject* parent = nullptr);

protected:
    [[nodiscard]] bool Can(const ITextEditInterface& edit) const override { return edit.CanCopy(); }
    void Run(ITextEditInterface& edit) override { edit.Copy(); }
};

class TAEditPaste : public TAEditAction
{
    Q_OBJECT
public:
    explicit TAEditPaste(QObject* parent = nullptr);

protected:
    [[nodiscard]] bool Can(const ITextEditInterface& edit) const override { return edit.CanPaste(); }
    void Run(ITextEditInterface& edit) override { edit.Paste(); }
};

class TAEditDelete : public TAEditAction
{
    Q_OBJECT
public:
    explicit TAEditDelete(QObject* parent = nullptr);

protected:
    [[nodiscard]] bool Can(const ITextEditInterface& edit) const override { return edit.CanDelete(); }
    void Run(ITextEditInterface& edit) override { edit.Delete(); }
};

class TAEditSelectAll : public TAEditAction
{
    Q_OBJECT
public:
    explicit TAEditSelectAll(QObject* parent = nullptr);

protected:
    [[nodiscard]] bool Can(const ITextEditInterface& edit) const override { return edit.CanSelectAll(); }
    void Run(ITextEditInterface& edit) override { edit.SelectAll(); }
};

// Undo and redo are responsible for every control: where the focused
// control has no undo, they are disabled and hidden.
class TAEditUndoRedo : public TTargetAction
{
    Q_OBJECT
public:
    using TTargetAction::TTargetAction;

protected:
    [[nodiscard]] bool HandlesTarget(QWidget*) const override { return true; }
    void UpdateTarget(QWidget* target) override;
    void ExecuteTarget(QWidget* target) override;

    [[nodiscard]] virtual bool Can(const IUndoInterface& edit) const = 0;
    virtual void Run(IUndoInterface& edit) = 0;
};

class TAEditUndo : public TAEditUndoRedo
{
    Q_OBJECT
public:
    explicit TAEditUndo(QObject* parent = nullptr);

protected:
    [[nodiscard]] bool Can(const IUndoInterface& edit) const override { return edit.CanUndo(); }
    void Run(IUndoInterface& edit) override { edit.Undo(); }
};

class TAEditRedo : public TAEditUndoRedo
{
    Q_OBJECT
public:
    explicit TAEditRedo(QObject* parent = nullptr);

protected:
    [[nodiscard]] bool Can(const IUndoInterface& edit) const override { return edit.CanRedo(); }
    void Run(IUndoInterface& edit) override { edit.Redo(); }
};

// Find and search again: responsible for a control that offers the find
// interface; both are enabled by its "can search again" answer.
class TAFindReplace : public TTargetAction
{
    Q_OBJECT
public:
    using TTargetAction::TTargetAction;

protected:
    [[nodiscard]] bool HandlesTarget(QWidget* target) const override;
    void UpdateTarget(QWidget* target) override;
};

class TAEditFind : public TAFindReplace
{
    Q_OBJECT
public:
    explicit TAEditFind(QObject* parent = nullptr);

protected:
    void ExecuteTarget(QWidget* target) override;
};

class TAEditSearchAgain : public TAFindReplace
{
    Q_OBJECT
public:
    explicit TAEditSearchAgain(QObject* parent = nullptr);

protected:
    void ExecuteTarget(QWidget* target) override;
};
