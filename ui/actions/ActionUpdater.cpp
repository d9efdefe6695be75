#include "ui/actions/ActionUpdater.h"

#include "ui/actions/TargetAction.h"

#include <QApplication>
#include <QClipboard>
#include <QPointer>

#include <algorithm>

namespace {

// The events after which an action may need a new state: what the user
// does, where the focus goes and anything that repaints a window (a text
// or selection changed by the program repaints its control).
bool ChangesActionState(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::WindowActivate:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::EnabledChange:
    case QEvent::ReadOnlyChange:
    case QEvent::UpdateRequest:
        return true;
    default:
        return false;
    }
}

} // namespace

TActionUpdater::TActionUpdater(QObject* parent)
    : QObject(parent)
{
    FTimer.setSingleShot(true);
    FTimer.setInterval(0);
    connect(&FTimer, &QTimer::timeout, this, &TActionUpdater::Run);
    qApp->installEventFilter(this);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &TActionUpdater::Schedule);
}

TActionUpdater* TActionUpdater::Instance()
{
    static QPointer<TActionUpdater> instance;
    if (!instance && qobject_cast<QApplication*>(QCoreApplication::instance()))
        instance = new TActionUpdater(QCoreApplication::instance());
    return instance;
}

void TActionUpdater::Register(TTargetAction* action)
{
    if (TActionUpdater* updater = Instance()) {
        updater->FActions.push_back(action);
        Schedule();
    }
}

void TActionUpdater::Unregister(TTargetAction* action)
{
    if (TActionUpdater* updater = Instance())
        std::erase(updater->FActions, action);
}

void TActionUpdater::UpdateAll()
{
    if (TActionUpdater* updater = Instance())
        updater->Run();
}

void TActionUpdater::Schedule()
{
    if (TActionUpdater* updater = Instance(); updater && !updater->FTimer.isActive())
        updater->FTimer.start();
}

bool TActionUpdater::eventFilter(QObject* watched, QEvent* event)
{
    if (ChangesActionState(event->type()) && !FTimer.isActive())
        FTimer.start();
    return QObject::eventFilter(watched, event);
}

void TActionUpdater::Run()
{
    FTimer.stop();
    // An update may create or free actions (a menu rebuilt); work on a copy
    // and skip those that went meanwhile.
    const std::vector<TTargetAction*> actions = FActions;
    for (TTargetAction* action : actions)
        if (std::find(FActions.begin(), FActions.end(), action) != FActions.end())
            action->Update();
}
