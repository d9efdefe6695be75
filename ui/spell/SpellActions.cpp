#include "ui/spell/SpellActions.h"

#include "settings/GlobStrings.h"
#include "settings/UiHooks.h"
#include "ui/MessageBoxes.h"
#include "ui/actions/ActionSets.h"
#include "ui/edit/WideRichEdit.h"
#include "ui/spell/RichSpellChecker.h"
#include "ui/spell/SharedSpellChecker.h"

bool CheckSpelling(QTextEdit& edit)
{
    TRichSpellCheckerDlg& checker = SharedSpellChecker();
    bool finished = false;
    try {
        finished = checker.CheckRichEdit(edit);
    } catch (...) {
        // Adding a word writes the custom dictionary.
        if (!ReportFileError(checker.CustomDictionary()))
            throw;
        return false;
    }
    if (finished)
        InfoBox(Lang().SectionValue(QStringLiteral("SpellCheck"), QStringLiteral("CheckFinished")));
    return finished;
}

TASpellCheck::TASpellCheck(QObject* parent)
    : TTargetAction(parent)
{
    setShortcut(QKeySequence(Qt::Key_F7));
}

bool TASpellCheck::HandlesTarget(QWidget* target) const
{
    return qobject_cast<TWideRichEdit*>(target) != nullptr;
}

void TASpellCheck::UpdateTarget(QWidget* target)
{
    const auto* edit = static_cast<TWideRichEdit*>(target);
    setEnabled(!edit->isReadOnly() && !edit->document()->isEmpty());
}

void TASpellCheck::ExecuteTarget(QWidget* target)
{
    CheckSpelling(*static_cast<TWideRichEdit*>(target));
}

TASpellCheck* CreateSpellCheckAction(QObject* owner)
{
    auto* action = new TASpellCheck(owner);
    action->setObjectName(QStringLiteral("aSpellCheck"));
    CaptionFromMenu(action);
    return action;
}
