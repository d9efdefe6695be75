#include "ui/forms/BackgroundTask.h"

#include "settings/GlobStrings.h"

#include <QEventLoop>
#include <QProgressDialog>

#include <atomic>
#include <thread>

TStoreResult RunInBackground(QWidget* parent, const QString& label,
                             const std::function<TStoreResult(const TStoreKeepGoing&)>& work)
{
    QProgressDialog dialog(label, Lang().CancelText(), 0, 0, parent);
    dialog.setObjectName(QStringLiteral("BackgroundProgress"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(400);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    std::atomic<bool> cancelled{false};
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&cancelled] { cancelled = true; });
    QEventLoop loop;
    TStoreResult result = srFail;
    std::thread worker([&] {
        result = work([&cancelled] { return !cancelled.load(); });
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Starts the clock after which the dialog shows.
    dialog.setValue(0);
    loop.exec();
    worker.join();
    return result;
}
