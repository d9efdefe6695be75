#include "ui/actions/EditActions.h"

// ------------------------------------------------------------- text editing

bool TAEditAction::HandlesTarget(QWidget* target) const
{
    return InterfaceOf<ITextEditInterface>(target) != nullptr;
}

void TAEditAction::UpdateTarget(QWidget* target)
{
    setEnabled(Can(*InterfaceOf<ITextEditInterface>(target)));
}

void TAEditAction::ExecuteTarget(QWidget* target)
{
    Run(*InterfaceOf<ITextEditInterface>(target));
}

// The shortcuts are the desktop's own for these commands.
TAEditCut::TAEditCut(QObject* parent)
    : TAEditAction(parent)
{
    setShortcuts(QKeySequence::Cut);
}

TAEditCopy::TAEditCopy(QObject* parent)
    : TAEditAction(parent)
{
    setShortcuts(QKeySequence::Copy);
}

TAEditPaste::TAEditPaste(QObject* parent)
    : TAEditAction(parent)
{
    setShortcuts(QKeySequence::Paste);
}

TAEditDelete::TAEditDelete(QObject* parent)
    : TAEditAction(parent)
{
    setShortcuts(QKeySequence::Delete);
}

TAEditSelectAll::TAEditSelectAll(QObject* parent)
    : TAEditAction(parent)
{
    setShortcuts(QKeySequence::SelectAll);
}

// ------------------------------------------------------------ undo and redo

void TAEditUndoRedo::UpdateTarget(QWidget* target)
{
    const IUndoInterface* edit = InterfaceOf<IUndoInterface>(target);
    setVisible(edit != nullptr);
    setEnabled(edit && Can(*edit));
}

void TAEditUndoRedo::ExecuteTarget(QWidget* target)
{
    if (IUndoInterface* edit = InterfaceOf<IUndoInterface>(target))
        Run(*edit);
}

TAEditUndo::TAEditUndo(QObject* parent)
    : TAEditUndoRedo(parent)
{
    setShortcuts(QKeySequence::Undo);
}

TAEditRedo::TAEditRedo(QObject* parent)
    : TAEditUndoRedo(parent)
{
    setShortcuts(QKeySequence::Redo);
}

// --------------------------------------------------------------------- find

bool TAFindReplace::HandlesTarget(QWidget* target) const
{
    return InterfaceOf<IFindInterface>(target) != nullptr;
}

void TAFindReplace::UpdateTarget(QWidget* target)
{
    setEnabled(InterfaceOf<IFindInterface>(target)->CanSearchAgain());
}

TAEditFind::TAEditFind(QObject* parent)
    : TAFindReplace(parent)
{
    setShortcuts(QKeySequence::Find);
}

void TAEditFind::ExecuteTarget(QWidget* target)
{
    InterfaceOf<IFindInterface>(target)->Find();
}

TAEditSearchAgain::TAEditSearchAgain(QObject* parent)
    : TAFindReplace(parent)
{
    setShortcuts(QKeySequence::FindNext);
}

void TAEditSearchAgain::ExecuteTarget(QWidget* target)
{
    InterfaceOf<IFindInterface>(target)->SearchAgain();
}
