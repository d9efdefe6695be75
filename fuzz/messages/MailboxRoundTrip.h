#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// What the mailbox fuzzer holds the mailbox files to, shared with the test
// that replays its findings:
// - any bytes read as a mailbox file, and the reading reaches the end;
// - every message so read, and the bytes themselves as one more source,
//   written into a mailbox file (with a sender taken from the bytes) read
//   back as the same sources, each with the line break that the writer adds
//   to a source that does not end in one.
// Returns what did not hold; empty when everything did.
[[nodiscard]] QString CheckMailboxRoundTrip(const QByteArray& bytes);

// The messages of a mailbox file held in memory. `problem`, when given, is
// set when the reading does not reach the end of the file or hands out an
// empty message.
[[nodiscard]] std::vector<QByteArray> ReadMailboxBytes(const QByteArray& file, QString* problem = nullptr);
// A mailbox file of the sources, each from the sender at the date (days
// since 1899-12-30).
[[nodiscard]] QByteArray WriteMailboxBytes(const std::vector<QByteArray>& sources, const QByteArray& sender,
                                           double sentDays);
// What a source reads back as from a mailbox file: itself, with the line
// break the writer adds when it does not end in one.
[[nodiscard]] QByteArray ReadBackOf(const QByteArray& source);
