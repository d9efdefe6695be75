#pragma once

#include "settings/GlobStrings.h"
#include "ui/MessageForm.h"

#include <QVariantList>

// The one-call boxes. Each beeps first. Called from a thread other than the
// main one, a box is not shown: its text joins the background error queue,
// which the main thread shows.
void ErrorBox(const QString& text);
void InfoBox(const QString& text);
// Yes, No and Cancel; returns mrYes, mrNo or mrCancel.
[[nodiscard]] int ConfirmBox(const QString& text);

// Error and information boxes with texts of the language table. Numbered
// texts that the table lacks raise the list error before any box opens.
void ErrorOf(int number, int section);
void ErrorOf(int number, TLangSection section);
void InfoOf(int number, int section);
void InfoOf(int number, TLangSection section);
void ErrorIn(const QString& section, const QString& key);
// The numbered entry of the calling thread's current section.
void ErrorNumbered(int number);
// The numbered entry of "Error", formatted with the arguments.
void ErrorFormatted(int number, const QVariantList& args);

// File error codes: entries 0 to 5 of the language section "Error".
enum TFileErrorCode : int {
    feStream = 0,
    feOpen = 1,
    feCreate = 2,
    feRead = 3,
    feWrite = 4,
    feIniFile = 5,
};
// The entry of the code, a line break and the file name.
void FileErrorBox(int code, const QString& fileName);
// The file error code of the exception in flight: the more specific stream
// classes first, then ini file errors, then any other stream error; -1 for
// anything else or when no exception is in flight.
[[nodiscard]] int FileErrorCodeOfCurrentException();
// The process-wide file-error reporter, called inside a catch block: shows
// the file error box and returns true, or returns false and shows nothing
// for an exception that is not a file or stream error.
bool ReportFileErrorInBox(const QString& path);

// Shows the queued background errors, oldest first, each in the platform's
// message box with the error icon, until the queue is empty.
void ShowBackgroundErrors();

// Installs the boxes, the file-open dialog and the file-error reporter as
// the hooks of the lower layers, and the background error handler. The
// program calls it once at start-up, on the main thread.
void InstallUiHooks();
