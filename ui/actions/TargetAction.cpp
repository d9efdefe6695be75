#include "ui/actions/TargetAction.h"

#include "ui/actions/ActionUpdater.h"

#include <QApplication>

TTargetAction::TTargetAction(QObject* parent)
    : QAction(parent)
{
    connect(this, &QAction::triggered, this, &TTargetAction::Execute);
    TActionUpdater::Register(this);
}

TTargetAction::~TTargetAction()
{
    TActionUpdater::Unregister(this);
}

void TTargetAction::SetFixedControl(QWidget* control)
{
    FFixed = control;
}

void TTargetAction::BindTo(QWidget* control)
{
    FBound = true;
    SetFixedControl(control);
}

QWidget* TTargetAction::Target() const
{
    return FFixed || FBound ? FFixed.data() : QApplication::focusWidget();
}

void TTargetAction::Update()
{
    QWidget* target = Target();
    if (HandlesTarget(target))
        UpdateTarget(target);
    else
        setEnabled(false);
}

void TTargetAction::Execute()
{
    QWidget* target = Target();
    if (!HandlesTarget(target))
        return;
    UpdateTarget(target);
    if (isEnabled() && isVisible())
        ExecuteTarget(target);
}
