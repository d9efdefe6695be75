#include "ui/dialogs/FileDialogs.h"

#include <QApplication>
#include <QFileDialog>

namespace {

QString AskDesktop(const TFileDialogRequest& request)
{
    QWidget* parent = QApplication::activeWindow();
    if (request.Folder)
        return QFileDialog::getExistingDirectory(parent, request.Title, request.Start);
    if (request.Save)
        return QFileDialog::getSaveFileName(parent, request.Title, request.Start, request.Filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    return QFileDialog::getOpenFileName(parent, request.Title, request.Start, request.Filter);
}

TFileDialogHandler& Handler()
{
    static TFileDialogHandler handler = AskDesktop;
    return handler;
}

} // namespace

QString AskFileName(const TFileDialogRequest& request)
{
    return Handler()(request);
}

TFileDialogHandler SetFileDialogHandler(TFileDialogHandler handler)
{
    return std::exchange(Handler(), handler ? std::move(handler) : TFileDialogHandler(AskDesktop));
}
