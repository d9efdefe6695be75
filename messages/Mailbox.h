#pragma once

#include <QString>

#include <functional>

class TMesgItems;

// Reports the progress of long work: (done, total); returns false to cancel.
// Export counts messages; import counts bytes of the file.
using TMailboxProgress = std::function<bool(qint64 done, qint64 total)>;

// Writes every message of the collection, in its order, into a mailbox file
// (created or overwritten). A failure goes to the background error queue
// with the file name. Returns the number of messages written; a cancel
// leaves the file with the messages written before it.
int ExportMailbox(TMesgItems& items, const QString& fileName, const TMailboxProgress& progress = {});

// Reads a mailbox file into the collection (for a store collection, new
// unread messages of its open folder). A failure goes to the background
// error queue with the file name. The file is read as a stream and its
// messages added in batches (see ImportSources): the messages read before
// a cancel or a failure of the file stay, and so do the batches added
// before a failure of the store, whose failed batch leaves nothing.
// Returns the number of messages added.
int ImportMailbox(TMesgItems& items, const QString& fileName, bool clearFirst,
                  const TMailboxProgress& progress = {});
