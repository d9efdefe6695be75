#include "app/Activation.h"
#include "app/MessageFiles.h"

#include "ui/forms/MEditForm.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QEvent>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcInstance, "vellumo.instance", QtWarningMsg)

TActiveFormTracker::TActiveFormTracker(QObject* parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
}

QWidget* TActiveFormTracker::ActiveForm() const
{
    if (FActive && FActive->isVisible())
        return FActive;
    return QApplication::activeWindow();
}

bool TActiveFormTracker::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow())
            FActive = widget;
    }
    return false;
}

namespace {

void BringToFront(QWidget* form)
{
    if (form->isMinimized())
        form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
    form->show();
    form->raise();
    form->activateWindow();
}

} // namespace

bool HandleActivationRequest(const TActivationRequest& request, quint64 ownToken, QWidget* activeForm)
{
    if (request.Token != ownToken) {
        qCInfo(lcInstance) << "activation request with a foreign token ignored";
        return false;
    }
    const TOpenedMessageFiles opened = OpenMessageFiles(request.Files);
    for (const TMEditForm* window : opened.Windows)
        qCInfo(lcInstance).noquote() << "activation request opened a message window for" << window->FileName();
    QWidget* front = opened.Windows.empty() ? activeForm : opened.Windows.back();
    if (front) {
        BringToFront(front);
        qCInfo(lcInstance) << "activation request accepted";
    } else {
        qCInfo(lcInstance) << "activation request without a form to bring to the front";
    }
    // The box comes last, over the window just brought to the front.
    if (!opened.Failed.isEmpty())
        FileErrorBox(feOpen, opened.Failed.join(QLatin1Char('\n')));
    return front != nullptr;
}
