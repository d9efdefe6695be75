#include "app/ReadyReport.h"

#include "engine/StoreTypes.h"
#include "store/OeMesgItems.h"
#include "ui/forms/TriForm.h"
#include "ui/mesglist/MesgListView.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

QList<TTriForm*> Browsers()
{
    QList<TTriForm*> browsers;
    for (TTaskForm* form : TTaskForm::Forms())
        if (auto* browser = qobject_cast<TTriForm*>(form))
            browsers.append(browser);
    return browsers;
}

bool Listed(TTriForm& form)
{
    TOeMesgItems& messages = form.Messages();
    return messages.FolderId() != kNoStoreId && !messages.LoadRunning()
           && form.List().ItemCount() == messages.Count();
}

bool AllListed()
{
    const QList<TTriForm*> browsers = Browsers();
    return !browsers.isEmpty() && std::all_of(browsers.begin(), browsers.end(), [](TTriForm* form) {
        return Listed(*form);
    });
}

} // namespace

void ReportWhenReady()
{
    const QByteArray mode = qgetenv("VELLUMO_REPORT_READY");
    if (mode.isEmpty())
        return;
    // Only in this mode does anything look again and again.
    auto* timer = new QTimer(qApp);
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, mode] {
        if (!AllListed())
            return;
        timer->stop();
        timer->deleteLater();
        for (TTriForm* form : Browsers())
            form->List().viewport()->repaint();
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        if (mode == "exit")
            QCoreApplication::quit();
    });
    timer->start();
}
