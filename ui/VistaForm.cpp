#include "ui/VistaForm.h"

#include <QApplication>
#include <QPointer>

namespace {

QPointer<QWidget>& MainFormSlot()
{
    static QPointer<QWidget> form;
    return form;
}

} // namespace

TVistaForm::TVistaForm(QWidget* parent)
    : QDialog(parent)
{
    setFont(FormFont());
}

void SetMainForm(QWidget* form)
{
    MainFormSlot() = form;
}

QWidget* MainForm()
{
    return MainFormSlot();
}

QFont FormFont()
{
    if (const QWidget* form = MainForm())
        return form->font();
    return QApplication::font("QMessageBox");
}
