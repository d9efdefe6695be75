#pragma once

#include <QString>

#include <functional>

// What a file dialog is asked: its title, the folder or file it starts
// at, its filter (Qt's form) and whether it picks a file to write.
struct TFileDialogRequest
{
    QString Title;
    QString Start;
    QString Filter;
    bool Save = false;
    // A folder rather than a file.
    bool Folder = false;
};

// Answers a file dialog request with a path, or an empty text for Cancel.
using TFileDialogHandler = std::function<QString(const TFileDialogRequest& request)>;

// Asks the user for a file through the desktop's file dialog. A dialog for
// writing does not ask about replacing a file: the callers keep the old
// one as their own rules say.
[[nodiscard]] QString AskFileName(const TFileDialogRequest& request);

// Replaces the dialog (tests answer it); returns the previous handler.
// None restores the desktop's dialog.
TFileDialogHandler SetFileDialogHandler(TFileDialogHandler handler);
