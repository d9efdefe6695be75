#pragma once

#include <QString>

#include <functional>

class QIODevice;
class TStream;

// How files that hold message content reach the disk, through the safe
// file streams of base/SafeFile.h. Failures raise the stream exceptions
// (EFCreateError when a file cannot be created, EWriteError when writing
// fails), with the path in the message, so that callers report them as
// file errors; a failed write never leaves a partial file behind.

// The private temporary folder of the run (mode 0700, removed at exit):
// the settings object's when one exists, else one of this process. Empty
// when it cannot be created. Main thread only, like the settings object's.
[[nodiscard]] QString PrivateTempFolder();

// Creates a new file exclusively and never through a symlink (O_CREAT |
// O_EXCL | O_NOFOLLOW, mode 0600) and writes the whole of `data` into it,
// from its beginning. False, with nothing written, when the name is taken.
bool WriteNewFile(const QString& path, TStream& data);

// Replaces a file of the private temporary folder: the data goes into a new
// file beside it, which is then renamed over it, so a symlink in its place
// is replaced, never followed.
void ReplacePrivateFile(const QString& path, TStream& data);

// Writes a file the user chose: into a temporary file beside it, flushed to
// the disk and renamed over the target, so that the target is either the
// old file or the whole new one. A symlink at the name is replaced, never
// followed, and the store's own files are refused.
void SaveUserFile(const QString& path, const std::function<void(QIODevice&)>& write);
void SaveUserFile(const QString& path, TStream& data);
