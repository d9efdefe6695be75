#include "ui/actions/ListActions.h"

#include <QAbstractItemView>
#include <QComboBox>

// ------------------------------------------------------------ list controls

bool IsListControl(const QWidget* control)
{
    return qobject_cast<const QAbstractItemView*>(control) || qobject_cast<const QComboBox*>(control);
}

int ListCount(const QWidget* control)
{
    if (const auto* view = qobject_cast<const QAbstractItemView*>(control))
        return view->model() ? view->model()->rowCount(view->rootIndex()) : 0;
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->count();
    return 0;
}

int ListIndex(const QWidget* control)
{
    if (const auto* view = qobject_cast<const QAbstractItemView*>(control))
        return view->currentIndex().isValid() ? view->currentIndex().row() : -1;
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentIndex();
    return -1;
}

void SetListIndex(QWidget* control, int row)
{
    if (auto* view = qobject_cast<QAbstractItemView*>(control); view && view->model())
        view->setCurrentIndex(view->model()->index(row, 0, view->rootIndex()));
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setCurrentIndex(row);
}

// --------------------------------------------------------------- next, prev

TNextPrevAction::TNextPrevAction(int step, QObject* parent)
    : TTargetAction(parent)
    , FStep(step)
{
}

bool TNextPrevAction::HandlesTarget(QWidget* target) const
{
    return FixedControl() || IsListControl(target);
}

void TNextPrevAction::UpdateTarget(QWidget* target)
{
    const int count = ListCount(target);
    const int next = ListIndex(target) + FStep;
    setEnabled(count > 0 && next >= 0 && next < count);
}

void TNextPrevAction::ExecuteTarget(QWidget* target)
{
    SetListIndex(target, ListIndex(target) + FStep);
    if (OnExecute)
        OnExecute();
}

TNextItemListAction::TNextItemListAction(QObject* parent)
    : TNextPrevAction(1, parent)
{
}

TPrevItemListAction::TPrevItemListAction(QObject* parent)
    : TNextPrevAction(-1, parent)
{
}

// ------------------------------------------------------------- ordered list

TOrderListAction::TOrderListAction(TOrderKind kind, QObject* parent)
    : TTargetAction(parent)
    , FKind(kind)
{
}

void TOrderListAction::SetFixedControl(QWidget* control)
{
    if (control && !InterfaceOf<IOrderInterface>(control))
        throw EActionError(QStringLiteral("try to set object not supports IOrderInterface"));
    TTargetAction::SetFixedControl(control);
}

bool TOrderListAction::HandlesTarget(QWidget* target) const
{
    return InterfaceOf<IOrderInterface>(target) && target->isVisible();
}

void TOrderListAction::UpdateTarget(QWidget* target)
{
    const IOrderInterface& list = *InterfaceOf<IOrderInterface>(target);
    const bool supported = list.Supports(FKind);
    setVisible(supported);
    setEnabled(supported && CanRun(list, ListIndex(target), list.Count()));
}

bool TOrderListAction::CanRun(const IOrderInterface& list, int selected, int count) const
{
    switch (FKind) {
    case okAdd:
        return list.CanAdd();
    case okDelete:
        return list.CanDelete(selected);
    case okMoveDown:
        return selected >= 0 && selected < count - 1;
    case okMoveUp:
        return selected > 0;
    case okLoad:
    case okSave:
    case okMakeDefault:
    case okProperty:
        return selected >= 0;
    }
    return false;
}

void TOrderListAction::ExecuteTarget(QWidget* target)
{
    IOrderInterface& list = *InterfaceOf<IOrderInterface>(target);
    const int selected = ListIndex(target);
    switch (FKind) {
    case okAdd:
        list.Add();
        break;
    case okDelete:
        list.Delete(selected);
        break;
    case okMoveDown:
        list.Move(selected, selected + 1);
        break;
    case okMoveUp:
        list.Move(selected, selected - 1);
        break;
    case okLoad:
        list.Load(selected);
        break;
    case okSave:
        list.Save(selected);
        break;
    case okMakeDefault:
        list.SetDefault(selected);
        break;
    case okProperty:
        list.Properties(selected);
        break;
    }
}

// Insert, Alt+Up, Alt+Down and Alt+Enter have no standard key of the
// desktop; Delete has.
TAAddItemListBox::TAAddItemListBox(QObject* parent)
    : TOrderListAction(okAdd, parent)
{
    setShortcut(QKeySequence(Qt::Key_Insert));
}

TADelItemListBox::TADelItemListBox(QObject* parent)
    : TOrderListAction(okDelete, parent)
{
    setShortcuts(QKeySequence::Delete);
}

TAMoveDownItemLB::TAMoveDownItemLB(QObject* parent)
    : TOrderListAction(okMoveDown, parent)
{
    setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
}

TAMoveUpItemLB::TAMoveUpItemLB(QObject* parent)
    : TOrderListAction(okMoveUp, parent)
{
    setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
}

TALoadItemListBox::TALoadItemListBox(QObject* parent)
    : TOrderListAction(okLoad, parent)
{
}

TASaveItemListBox::TASaveItemListBox(QObject* parent)
    : TOrderListAction(okSave, parent)
{
}

TAMakeDefItemListBox::TAMakeDefItemListBox(QObject* parent)
    : TOrderListAction(okMakeDefault, parent)
{
}

TAPropertyItemListBox::TAPropertyItemListBox(QObject* parent)
    : TOrderListAction(okProperty, parent)
{
    setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));
}
