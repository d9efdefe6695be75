#include "app/Activation.h"
#include "app/CommandLine.h"
#include "app/MessageFiles.h"
#include "app/ReadyReport.h"
#include "app/SingleInstance.h"
#include "app/StoreCheck.h"

#include "settings/Options.h"
#include "store/OEFavorites.h"
#include "store/OeMesgItems.h"
#include "store/OutlookError.h"
#include "ui/clipboard/OEClipboard.h"
#include "ui/forms/TriForm.h"
#include "ui/forms/WindowLayout.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>

namespace {

const QString kProductName = QStringLiteral("Vellumo");
const QString kSingleInstanceMutex = QStringLiteral("VellumoOneExeMutex");

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> status = AnswerInfoOptions(argc, argv))
        return *status;

    QApplication application(argc, argv);
    QApplication::setApplicationName(kProductName);
    QApplication::setOrganizationName(QStringLiteral("Quorvan"));
    QApplication::setDesktopFileName(QStringLiteral("vellumo"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vellumo"), QIcon(QStringLiteral(":/icons/vellumo.svg"))));
    InstallUiHooks();

    if (!StorePresent(kProductName))
        return 1;

    TSingleInstance instance(kSingleInstanceMutex);
    // A second start hands its files to the running instance, which opens
    // them; only this process has a terminal to say that it could not.
    if (!instance.IsFirstInstance()) {
        if (instance.RequestActivation(QApplication::arguments().mid(1)))
            return 0;
        std::fprintf(stderr, "vellumo: the running Vellumo does not answer; nothing was opened\n");
        return 1;
    }

    // The settings object loads the language the user chose before any
    // window takes its texts; without any language file the run ends.
    TOptions options;
    if (options.StopRequested())
        return 1;

    TActiveFormTracker tracker;
    instance.OnActivationRequest = [&](const TActivationRequest& request) {
        HandleActivationRequest(request, instance.Token(), tracker.ActiveForm());
    };

    // The internal clipboard comes before any window, whose lists and trees
    // register with it. The favourites live for the whole run; the settings
    // file them. The windows of the last run come back; without them, one
    // browser window with every pane opens on the Inbox. Each window frees
    // itself when it closes; the run ends with the last.
    std::unique_ptr<TOEClipboard> clipboard;
    std::unique_ptr<TOEFavorites> favorites;
    try {
        clipboard = std::make_unique<TOEClipboard>();
        clipboard->Install();
        favorites = std::make_unique<TOEFavorites>();
        options.SetFavorites(favorites.get());
        favorites->OnChange = [](TOEFavorites*) { TTriForm::RebuildFavoriteMenus(); };
        RegisterFormClass(QStringLiteral("TTriForm"), [] { return new TTriForm; });
        // Message files named on the command line (a double click in the
        // file manager) open in message windows of their own; otherwise
        // the windows of the last run come back.
        if (OpenMessageFiles(QApplication::arguments().mid(1)).Windows.empty() && RestoreWindowLayout() == 0) {
            auto* window = new TTriForm;
            window->SetShowTree(true);
            window->SetShowEditor(true);
            window->SetShowTextToolbar(true);
            window->SetShowStatusBar(true);
            window->Messages().GoToInbox();
            window->show();
        }
    } catch (const EOutlookError& error) {
        std::fprintf(stderr, "vellumo: %s\n", error.what());
        QMessageBox::critical(nullptr, kProductName, error.Message());
        return 1;
    }
    ReportWhenReady();
    const int status = application.exec();
    // Windows whose deferred deletion the ended loop did not reach go now,
    // before the settings object and the store.
    qDeleteAll(TTaskForm::Forms());
    return status;
}
