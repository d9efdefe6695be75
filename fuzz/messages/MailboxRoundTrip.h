#pragma once

#include <QByteArray>
#include <QString>

// What the mailbox fuzzer holds the mailbox files to, shared with the test
// that replays its findings:
// - any bytes read as a mailbox file, and the reading reaches the end;
// - every message so read, and the bytes themselves as one more source,
//   written into a mailbox file (with a sender taken from the bytes) read
//   back as the same sources, each with the line break that the writer adds
//   to a source that does not end in one.
// Returns what did not hold; empty when everything did.
[[nodiscard]] QString CheckMailboxRoundTrip(const QByteArray& bytes);
