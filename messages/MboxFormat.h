#pragma once

#include "base/BufStreams.h"

#include <QByteArray>

// The Unix mailbox format as this program writes and reads it: each message
// is its source, byte for byte, after a "From " separator line; CR LF CR LF
// stands between messages.
//
// A line of a message that begins with "From " after an empty line would
// read back as the start of another message, in this program and in every
// other mailbox reader. Sources are therefore quoted the "mboxrd" way: a
// line that matches ">*From " gets one more ">" when written, and loses one
// when read. Every source written reads back byte for byte; files of other
// programs in the older, unquoted form split exactly as before.

// Buffer of the mailbox streams, in bytes.
inline constexpr qint64 kMailboxBufferSize = 65536;

// One ">" more on every line that begins with ">*From ". A line begins at
// the start and after every CR, LF and NUL, as the reader ends lines.
[[nodiscard]] QByteArray QuoteFromLines(const QByteArray& source);
// One ">" less on every line that begins with ">+From ".
[[nodiscard]] QByteArray UnquoteFromLines(const QByteArray& source);

// The separator line of a message, without its line break: "From " with
// the sender's address (8-bit) and the sent date (days since 1899-12-30,
// 0 for none) as mailbox files write it.
[[nodiscard]] QByteArray MailboxSeparator(const QByteArray& sender, double sentDays);

// Writes messages into a mailbox file through a 64 KiB buffer.
class TMboxWriter
{
public:
    explicit TMboxWriter(TStream& file);

    void Append(const QByteArray& sender, double sentDays, const QByteArray& source);
    // Writes out the buffer; raises the stream's write error.
    void Flush();
    [[nodiscard]] int Count() const { return FCount; }

private:
    TWriteBufStream FStream;
    int FCount = 0;
};

// Reads the messages of a mailbox file one by one through a 64 KiB buffer.
// The first line of the file is taken as the first separator, whatever it
// says; a message ends before an empty line that a "From " line follows.
class TMboxReader
{
public:
    explicit TMboxReader(TStream& file);

    // The next message's source (unquoted); false at the end of the file.
    // Empty messages are skipped.
    bool Next(QByteArray& source);
    // How far the reading has got, and the file's size (for progress).
    [[nodiscard]] qint64 Position() const { return FPosition; }
    [[nodiscard]] qint64 Size() const { return FSize; }

private:
    // Reads one message's lines; returns where its bytes end, and leaves the
    // stream after the next separator line (or at the end of the file).
    qint64 ScanMessage(qint64 start);
    QByteArray ReadRange(qint64 start, qint64 end);

    TReadBufStream FStream;
    qint64 FSize;
    qint64 FPosition = 0;
    bool FStarted = false;
};
