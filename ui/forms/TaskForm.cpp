#include "ui/forms/TaskForm.h"

#include "settings/GlobStrings.h"
#include "ui/forms/WindowLayout.h"

#include <QCloseEvent>
#include <QMenu>
#include <QStatusBar>

namespace {

QList<TTaskForm*>& Registry()
{
    static QList<TTaskForm*> forms;
    return forms;
}

} // namespace

TTaskForm::TTaskForm(QWidget* parent)
    : QMainWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

TTaskForm::~TTaskForm()
{
    if (Registry().removeOne(this))
        RefreshAll();
}

void TTaskForm::DefineIniProperties(TIniFiler&)
{
}

void TTaskForm::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted() && !ClosingAllWindows() && Registry() == QList<TTaskForm*>{this})
        SaveWindowLayout();
}

bool TTaskForm::ShowStatusBar() const
{
    return !statusBar()->isHidden();
}

void TTaskForm::SetShowStatusBar(bool show)
{
    statusBar()->setVisible(show);
}

QList<TTaskForm*> TTaskForm::Forms()
{
    return Registry();
}

void TTaskForm::RefreshAll()
{
    const QList<TTaskForm*> forms = Registry();
    for (int i = 0; i < forms.size(); ++i)
        forms[i]->RefreshCaption(i + 1, static_cast<int>(forms.size()));
    for (TTaskForm* form : forms)
        form->RefreshWindowMenu();
}

void TTaskForm::Register()
{
    if (Registry().contains(this))
        return;
    Registry().append(this);
    RefreshAll();
}

void TTaskForm::SetWindowMenu(QMenu* menu)
{
    FWindowMenu = menu;
    RefreshWindowMenu();
}

void TTaskForm::RefreshCaption(int position, int count)
{
    const QString text = CaptionText();
    if (count == 1 && text.isEmpty())
        return;
    const QString product = Lang().DisplayName();
    setWindowTitle(count == 1 ? QStringLiteral("%1 - %2").arg(text, product)
                              : QStringLiteral("%1: %2 - %3").arg(position).arg(text, product));
}

void TTaskForm::RefreshWindowMenu()
{
    if (!FWindowMenu)
        return;
    FWindowMenu->clear();
    const QList<TTaskForm*> forms = Registry();
    for (int i = 0; i < forms.size(); ++i) {
        QPointer<TTaskForm> form = forms[i];
        QAction* item = FWindowMenu->addAction(QStringLiteral("%1. %2").arg(i + 1).arg(form->CaptionText()));
        connect(item, &QAction::triggered, this, [form] {
            if (form && Registry().contains(form.data())) {
                form->showNormal();
                form->raise();
                form->activateWindow();
            }
        });
    }
}
