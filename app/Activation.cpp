#include "app/Activation.h"

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

bool HandleActivationRequest(quint64 token, quint64 ownToken, QWidget* activeForm)
{
    if (token != ownToken) {
        qCInfo(lcInstance) << "activation request with a foreign token ignored";
        return false;
    }
    if (!activeForm) {
        qCInfo(lcInstance) << "activation request ignored: no active form";
        return false;
    }
    if (activeForm->isMinimized())
        activeForm->setWindowState(activeForm->windowState() & ~Qt::WindowMinimized);
    activeForm->show();
    activeForm->raise();
    activeForm->activateWindow();
    qCInfo(lcInstance) << "activation request accepted";
    return true;
}
