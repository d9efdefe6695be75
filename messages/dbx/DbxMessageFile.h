#pragma once

#include "messages/dbx/DbxBytes.h"

#include <QByteArray>
#include <QDateTime>

#include <vector>

// One message of a folder's .dbx file.
struct TDbxMessage {
    quint32 DataOffset = 0;   // the first data block of its source: unique in the file
    quint32 Index = 0;        // its number in the folder (0 when recovered)
    quint32 Flags = 0;        // message info flags (DbxFormat::kFlag...)
    QDateTime Received;       // UTC; invalid when the file does not say
    bool Recovered = false;   // found by scanning the data blocks, without message info
};

// The messages of a folder's .dbx file, in the file's index order, then
// those recovered by scanning in file order.
struct TDbxMessageList {
    std::vector<TDbxMessage> Messages;
    bool IndexDamaged = false;    // the index tree could not be read whole
    int Recovered = 0;            // messages found only by scanning the data blocks
    int WithoutSource = 0;        // indexed messages whose source is not in the file
};

// How the chain of data blocks of one source ended.
enum class TDbxChainEnd {
    Complete,   // at a block with no successor
    Cycle,      // at a block already read: the source is cut there
    Broken,     // at a pointer to something that is not a data block
};

// Reads a folder's message file (Outlook Express 5/6). Pure parsing over
// the bytes of the whole file; never reads outside them, never follows a
// chain of pointers round a cycle.
class TDbxMessageFile
{
public:
    explicit TDbxMessageFile(TDbxBytes bytes) : FBytes(bytes) {}

    // The messages the index tree lists. When the tree cannot be read
    // whole, the data blocks are scanned as well and every message whose
    // blocks are intact but that the tree did not give is added.
    [[nodiscard]] TDbxMessageList Messages() const;

    // The source of the message whose first data block is at `offset`,
    // appended to `source`.
    TDbxChainEnd ReadSource(quint32 offset, QByteArray& source) const;

    // The first blocks of every chain of live data blocks, found by reading
    // the file through rather than through the index.
    [[nodiscard]] std::vector<quint32> ScanChainStarts() const;

private:
    [[nodiscard]] bool IsBlock(qint64 offset) const;
    void AddIndexed(quint32 infoOffset, TDbxMessageList& list) const;
    void AddRecovered(TDbxMessageList& list) const;

    TDbxBytes FBytes;
};
