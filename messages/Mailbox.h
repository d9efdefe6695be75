#pragma once

#include <QList>
#include <QString>

#include <functional>

class TMesgItems;

// Reports the progress of long work: (done, total); returns false to cancel.
// Export counts messages; import counts bytes of the file.
using TMailboxProgress = std::function<bool(qint64 done, qint64 total)>;

// Writes every message of the collection, in its order, into a mailbox file
// (created or replaced whole once it is complete). A failure goes to the
// background error queue with the file name. Returns the number of messages
// written; a failure or a cancel writes none and leaves an existing file as
// it was.
int ExportMailbox(TMesgItems& items, const QString& fileName, const TMailboxProgress& progress = {});

// What an import found, for a report on the file.
struct TMailboxImport
{
    int Added = 0;
    // The file did not begin with a "From " line and was read whole as one message.
    bool WholeFile = false;
    // The numbers (from 1) of the messages that begin with no header field
    // (a binary or text file): imported as they are, but worth a warning.
    QList<int> Headerless;
};

// Reads a mailbox file into the collection (for a store collection, new
// unread messages of its open folder). A failure goes to the background
// error queue with the file name. The file is read as a stream and its
// messages added in batches (see ImportSources): the messages read before
// a cancel or a failure of the file stay, and so do the batches added
// before a failure of the store, whose failed batch leaves nothing.
// Returns the number of messages added, and fills the report when one is
// given.
int ImportMailbox(TMesgItems& items, const QString& fileName, bool clearFirst,
                  const TMailboxProgress& progress = {}, TMailboxImport* report = nullptr);
