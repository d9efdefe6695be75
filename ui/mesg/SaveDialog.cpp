#include "ui/mesg/SaveDialog.h"

#include <QFileDialog>

#include <utility>

namespace {

TSaveDialogHandler& Handler()
{
    static TSaveDialogHandler handler = [](const TSaveRequest& request) {
        QFileDialog dialog(nullptr, request.Title, request.Start, request.Filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(request.DefaultSuffix);
        dialog.selectFile(request.Start);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().constFirst()
                                                                                       : QString();
    };
    return handler;
}

} // namespace

QString ChooseSaveFile(const TSaveRequest& request)
{
    return Handler()(request);
}

TSaveDialogHandler SetSaveDialogHandler(TSaveDialogHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}
