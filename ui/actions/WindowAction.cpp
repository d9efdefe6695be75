#include "ui/actions/WindowAction.h"

#include "ui/actions/ActionSets.h"

TWindowAction::TWindowAction(const char* name, const QString& caption, QObject* parent)
    : TTargetAction(parent)
{
    setObjectName(QString::fromLatin1(name));
    setText(caption);
    CaptionFromMenu(this);
}

void TWindowAction::UpdateTarget(QWidget*)
{
    setEnabled(!EnabledWhen || EnabledWhen());
}

void TWindowAction::ExecuteTarget(QWidget*)
{
    if (OnExecute)
        OnExecute();
}
