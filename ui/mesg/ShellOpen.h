#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Opening files and links with the desktop's programs (xdg-open).

// Result codes in the numbering the "ShellError" texts follow: 32 and above
// is success; below are the failures.
enum TShellResult : int {
    srOutOfMemory = 0,
    srFileNotFound = 2,
    srPathNotFound = 3,
    srAccessDenied = 5,
    srNoAssociation = 31,
    srOpened = 33,
};

// Opens a file with the program the desktop associates with its type. When
// there is none, the user may pick a program (the program chooser); a
// failure shows its "ShellError" text, a line break and the path in an
// error box. Returns the result code.
int ShellOpenFile(const QString& path);
// The "ShellError" text of a result code; empty for codes without one.
[[nodiscard]] QString ShellErrorText(int code);

// Opens a link a user clicked in a message: web, ftp and mail addresses
// only. Links to local files, scripts and anything else are refused, so a
// message can never make the program open a file of the user's. False when
// refused or when no program could open it (which the error box says).
bool OpenMessageLink(const QUrl& url);
// Whether OpenMessageLink would pass the link to the desktop.
[[nodiscard]] bool IsOpenableLink(const QUrl& url);

// Hands a URL to the desktop (QDesktopServices, that is xdg-open); tests
// replace it. Returns the previous one.
using TDesktopOpener = std::function<bool(const QUrl& url)>;
TDesktopOpener SetDesktopOpener(TDesktopOpener opener);
// Lets the user choose a program for a file no program is associated with
// and starts it on the file: true when it started. Tests replace it.
using TProgramChooser = std::function<bool(const QString& path)>;
TProgramChooser SetProgramChooser(TProgramChooser chooser);
