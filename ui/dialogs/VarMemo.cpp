#include "ui/dialogs/VarMemo.h"

TVarMemo::TVarMemo(QWidget* parent)
    : QPlainTextEdit(parent)
{
    // Tab moves on to the next control, as in the dialog's other edits.
    setTabChangesFocus(true);
}

void TVarMemo::BindProperty(QObject* object, const QString& name)
{
    (void)RequireProperty(object, name, QStringLiteral("Property not found %1"));
    FBinding.Bind(object, name);
    setPlainText(FBinding.Text());
    SetBoundHint(this, name);
}

void TVarMemo::BindVariable(QString* variable)
{
    FVariable = variable;
    if (variable)
        setPlainText(*variable);
}

void TVarMemo::ApplyValue()
{
    if (FBinding.IsBound()) {
        if (isEnabled())
            FBinding.SetText(toPlainText());
    } else if (FVariable) {
        *FVariable = toPlainText();
    }
}
