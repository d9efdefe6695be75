#include "app/Activation.h"
#include "app/FolderTreeWindow.h"
#include "app/SingleInstance.h"
#include "app/StoreCheck.h"

#include "settings/Options.h"
#include "store/OutlookError.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

const QString kProductName = QStringLiteral("Vellumo");
const QString kSingleInstanceMutex = QStringLiteral("VellumoOneExeMutex");

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(kProductName);
    QApplication::setOrganizationName(QStringLiteral("Quorvan"));
    InstallUiHooks();

    if (!StorePresent(kProductName))
        return 1;

    TSingleInstance instance(kSingleInstanceMutex);
    if (!instance.IsFirstInstance()) {
        instance.RequestActivation();
        return 0;
    }

    // The settings object loads the language the user chose before any
    // window takes its texts; without any language file the run ends.
    TOptions options;
    if (options.StopRequested())
        return 1;

    TActiveFormTracker tracker;
    instance.OnActivationRequest = [&](quint64 token) {
        HandleActivationRequest(token, instance.Token(), tracker.ActiveForm());
    };

    std::unique_ptr<TFolderTreeWindow> window;
    try {
        window = std::make_unique<TFolderTreeWindow>();
    } catch (const EOutlookError& error) {
        std::fprintf(stderr, "vellumo: %s\n", error.what());
        QMessageBox::critical(nullptr, kProductName, error.Message());
        return 1;
    }
    window->show();
    return application.exec();
}
