#pragma once

#include <QString>

// The file a mailbox export writes for the name the user chose: a name
// ending in ".mbox" or ".mbx" (any case) stays; any other extension, or
// none, becomes ".mbox".
[[nodiscard]] QString MailboxExportName(const QString& chosen);
// Where an existing file of that name is kept before the export replaces
// it: its extension prefixed with a tilde, "box.mbox" -> "box.~mbox".
[[nodiscard]] QString MailboxBackupName(const QString& path);
