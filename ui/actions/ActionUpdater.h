#pragma once

#include <QObject>
#include <QTimer>

#include <vector>

class TTargetAction;

// Updates every target action when the application is idle. Nothing polls:
// an input event, a focus change, a repaint or a clipboard change arms one
// zero-interval timer, which fires once the events already queued have been
// handled, and then every action decides its state again. When nothing
// happens, nothing runs.
class TActionUpdater : public QObject
{
    Q_OBJECT
public:
    static void Register(TTargetAction* action);
    static void Unregister(TTargetAction* action);
    // Updates every action now (menus call it before they open).
    static void UpdateAll();
    // Asks for an update at the next idle moment.
    static void Schedule();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TActionUpdater(QObject* parent);
    // The updater of the running application, made on first use; none
    // before the application object exists or after it has gone.
    static TActionUpdater* Instance();
    void Run();

    QTimer FTimer;
    std::vector<TTargetAction*> FActions;
};
