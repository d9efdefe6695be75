#pragma once

#include "ui/actions/TargetAction.h"

class QTextEdit;

// Checks the spelling of the edit's text from the caret with the shared
// checker and, when the check reaches the end, says so ("CheckFinished").
// A custom dictionary that cannot be written is reported as a file error
// and ends the check. True when the check reached the end.
bool CheckSpelling(QTextEdit& edit);

// The spell-check command of the message windows: responsible for a rich
// edit of the program (the control fixed to it, else the focused one);
// enabled while that edit holds text and is editable; checks it.
class TASpellCheck : public TTargetAction
{
    Q_OBJECT
public:
    explicit TASpellCheck(QObject* parent = nullptr);

protected:
    [[nodiscard]] bool HandlesTarget(QWidget* target) const override;
    void UpdateTarget(QWidget* target) override;
    void ExecuteTarget(QWidget* target) override;
};

// The action as the windows' menus hold it: "aSpellCheck", captioned from
// the language file's "Menu" section, on F7.
[[nodiscard]] TASpellCheck* CreateSpellCheckAction(QObject* owner);
