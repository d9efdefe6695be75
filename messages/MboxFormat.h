#pragma once

#include "base/BufStreams.h"

#include <QByteArray>

// The Unix mailbox format as this program writes and reads it, which is how
// other Linux mail programs read it. Lines end at LF (a CR before it belongs
// to the line break). Each message is a "From " separator line, the
// message's source, byte for byte, and one empty line; when the source does
// not end in a line break the writer adds one first (CR LF when the
// source's lines end so, else LF). A reader takes as the message everything
// after its separator line up to, not including, the one empty line before
// the next separator or before the end of the file.
//
// A line of a message that begins with "From " after an empty line would
// read back as the start of another message, in this program and in every
// other mailbox reader. Sources are therefore quoted the "mboxrd" way: a
// line that matches ">*From " gets one more ">" when written, and loses one
// when read. Every source that ends in a line break reads back byte for
// byte; files of other programs in the older, unquoted form split as those
// programs split them.

// Buffer of the mailbox streams, in bytes.
inline constexpr qint64 kMailboxBufferSize = 65536;

// One ">" more on every line that begins with ">*From ".
[[nodiscard]] QByteArray QuoteFromLines(const QByteArray& source);
// One ">" less on every line that begins with ">+From ".
[[nodiscard]] QByteArray UnquoteFromLines(const QByteArray& source);

// The separator line of a message, without its line break: "From " with
// the sender's address (8-bit, its control characters written "_") and the
// sent date (days since 1899-12-30, 0 for none) as mailbox files write it.
[[nodiscard]] QByteArray MailboxSeparator(const QByteArray& sender, double sentDays);

// The line break of a source: CR LF when its first line ends in CR LF, else LF.
[[nodiscard]] QByteArray SourceLineBreak(const QByteArray& source);

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
// A file that does not begin with a "From " line is not a mailbox: it is
// read as one message, every byte of it, as a message file is.
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
    // False once the file turned out not to begin with a separator.
    [[nodiscard]] bool IsMailbox() const { return FIsMailbox; }

private:
    // One line of the file: where it starts and ends (after its LF, or at
    // the end of the file), and what the reader needs to know of it.
    struct TLine {
        qint64 Start = 0;
        qint64 End = 0;
        bool Empty = false;      // "\n" or "\r\n"
        bool Separator = false;  // begins with "From "
    };

    // The line that starts at `start`; false at the end of the file.
    bool ReadLine(qint64 start, TLine& line);
    // Makes the buffer hold [position, position + count), or what the file has of it.
    void Load(qint64 position, qint64 count);
    // Finds where one message ends: returns the end of its bytes and sets
    // `next` to the start of the next message (after its separator line), or
    // to the size of the file.
    qint64 ScanMessage(qint64 start, qint64& next);
    QByteArray ReadRange(qint64 start, qint64 end);

    TStream& FFile;
    QByteArray FBuffer;
    qint64 FBufferStart = 0;
    qint64 FSize;
    qint64 FPosition = 0;
    bool FStarted = false;
    bool FIsMailbox = true;
};
