#include "ui/actions/EditActions.h"

// Every shortcut is the desktop's own key for the command.

// ------------------------------------------------------------- text editing

TAEditAction::TAEditAction(TCan can, TRun run, QKeySequence::StandardKey key, QObject* parent)
    : TTargetAction(parent)
    , FCan(can)
    , FRun(run)
{
    setShortcuts(key);
}

bool TAEditAction::HandlesTarget(QWidget* target) const
{
    return InterfaceOf<ITextEditInterface>(target) != nullptr;
}

void TAEditAction::UpdateTarget(QWidget* target)
{
    setEnabled((InterfaceOf<ITextEditInterface>(target)->*FCan)());
}

void TAEditAction::ExecuteTarget(QWidget* target)
{
    (InterfaceOf<ITextEditInterface>(target)->*FRun)();
}

TAEditCut::TAEditCut(QObject* parent)
    : TAEditAction(&ITextEditInterface::CanCut, &ITextEditInterface::Cut, QKeySequence::Cut, parent)
{
}

TAEditCopy::TAEditCopy(QObject* parent)
    : TAEditAction(&ITextEditInterface::CanCopy, &ITextEditInterface::Copy, QKeySequence::Copy, parent)
{
}

TAEditPaste::TAEditPaste(QObject* parent)
    : TAEditAction(&ITextEditInterface::CanPaste, &ITextEditInterface::Paste, QKeySequence::Paste, parent)
{
}

TAEditDelete::TAEditDelete(QObject* parent)
    : TAEditAction(&ITextEditInterface::CanDelete, &ITextEditInterface::Delete, QKeySequence::Delete, parent)
{
}

TAEditSelectAll::TAEditSelectAll(QObject* parent)
    : TAEditAction(&ITextEditInterface::CanSelectAll, &ITextEditInterface::SelectAll, QKeySequence::SelectAll,
                   parent)
{
}

// ------------------------------------------------------------ undo and redo

TAEditUndoRedo::TAEditUndoRedo(TCan can, TRun run, QKeySequence::StandardKey key, QObject* parent)
    : TTargetAction(parent)
    , FCan(can)
    , FRun(run)
{
    setShortcuts(key);
}

void TAEditUndoRedo::UpdateTarget(QWidget* target)
{
    const IUndoInterface* edit = InterfaceOf<IUndoInterface>(target);
    setVisible(edit != nullptr);
    setEnabled(edit && (edit->*FCan)());
}

void TAEditUndoRedo::ExecuteTarget(QWidget* target)
{
    if (IUndoInterface* edit = InterfaceOf<IUndoInterface>(target))
        (edit->*FRun)();
}

TAEditUndo::TAEditUndo(QObject* parent)
    : TAEditUndoRedo(&IUndoInterface::CanUndo, &IUndoInterface::Undo, QKeySequence::Undo, parent)
{
}

TAEditRedo::TAEditRedo(QObject* parent)
    : TAEditUndoRedo(&IUndoInterface::CanRedo, &IUndoInterface::Redo, QKeySequence::Redo, parent)
{
}

// --------------------------------------------------------------------- find

TAFindReplace::TAFindReplace(TRun run, QKeySequence::StandardKey key, QObject* parent)
    : TTargetAction(parent)
    , FRun(run)
{
    setShortcuts(key);
}

bool TAFindReplace::HandlesTarget(QWidget* target) const
{
    return InterfaceOf<IFindInterface>(target) != nullptr;
}

void TAFindReplace::UpdateTarget(QWidget* target)
{
    setEnabled(InterfaceOf<IFindInterface>(target)->CanSearchAgain());
}

void TAFindReplace::ExecuteTarget(QWidget* target)
{
    (InterfaceOf<IFindInterface>(target)->*FRun)();
}

TAEditFind::TAEditFind(QObject* parent)
    : TAFindReplace(&IFindInterface::Find, QKeySequence::Find, parent)
{
}

TAEditSearchAgain::TAEditSearchAgain(QObject* parent)
    : TAFindReplace(&IFindInterface::SearchAgain, QKeySequence::FindNext, parent)
{
}
