#pragma once

#include "ui/actions/TargetAction.h"

#include <QKeySequence>

#include <functional>

// A command of a window rather than of a control: it acts whichever
// control has the focus, is enabled by the window's own rule and is
// updated with every other action when the application is idle.
class TWindowAction : public TTargetAction
{
    Q_OBJECT
public:
    // Named as the language file's "Menu" section knows it and captioned
    // from there (the built-in caption stays when the entry is missing).
    TWindowAction(const char* name, const QString& caption, QObject* parent);

    // None: always enabled.
    std::function<bool()> EnabledWhen;
    std::function<void()> OnExecute;

protected:
    [[nodiscard]] bool HandlesTarget(QWidget*) const override { return true; }
    void UpdateTarget(QWidget* target) override;
    void ExecuteTarget(QWidget* target) override;
};
