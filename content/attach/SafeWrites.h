#pragma once

#include <QString>

class TStream;

// Files of message content in the run's private temporary folder (opened
// attachments). Every file is written through the safe file streams of
// base/SafeFile.h, which the reading pane's saves use as well; failures
// raise EFCreateError or EWriteError with the path and the system's reason,
// and never leave a partial file behind.

// The private temporary folder of the run (mode 0700, removed at exit):
// the settings object's when one exists, else one of this process. Empty
// when it cannot be created. Main thread only, like the settings object's.
[[nodiscard]] QString PrivateTempFolder();

// Creates a new file exclusively and never through a symlink (O_CREAT |
// O_EXCL | O_NOFOLLOW, mode 0600) and writes the whole of `data` into it,
// from its beginning. False, with nothing written, when the name is taken.
bool WriteNewFile(const QString& path, TStream& data);
