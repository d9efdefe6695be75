#pragma once

#include <QString>

#include <functional>

// What a message window asks the platform's save dialog.
struct TSaveRequest
{
    QString Title;
    QString Start;           // the proposed path (folder and name)
    QString Filter;          // FileDialogFilter's form
    QString DefaultSuffix;   // added when the user types a name without one
};

// Asks for the file to save to; empty text when the user cancels.
[[nodiscard]] QString ChooseSaveFile(const TSaveRequest& request);
// Tests replace the platform's dialog; returns the previous handler.
using TSaveDialogHandler = std::function<QString(const TSaveRequest& request)>;
TSaveDialogHandler SetSaveDialogHandler(TSaveDialogHandler handler);
