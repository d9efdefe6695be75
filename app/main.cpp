#include "app/Activation.h"
#include "app/FolderTreeWindow.h"
#include "app/SingleInstance.h"
#include "app/StoreCheck.h"

#include "settings/AppPaths.h"
#include "settings/GlobStrings.h"
#include "store/OutlookError.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QScopeGuard>

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

    TActiveFormTracker tracker;
    instance.OnActivationRequest = [&](quint64 token) {
        HandleActivationRequest(token, instance.Token(), tracker.ActiveForm());
    };

    // The shipped English texts name the columns and fill the dialogs until
    // the settings object of the start-up sequence loads the user's language.
    TGlobStrings texts;
    const QString english = DataFolder() + QStringLiteral("/local/english.ini");
    if (QFile::exists(english)) {
        texts.LoadLanguage(english);
        SetLang(&texts);
    }
    const auto forgetTexts = qScopeGuard([] { SetLang(nullptr); });

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
