#include "messages/Mailbox.h"

#include "base/ExtThread.h"
#include "base/FastMemoryStream.h"
#include "base/FileStream.h"
#include "base/SafeFile.h"
#include "content/MesgUtils.h"
#include "messages/MboxFormat.h"
#include "messages/MesgErrors.h"
#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "settings/SystemCodePage.h"

#include <utility>
#include <vector>

namespace {

// The collection in update mode and write-locked while the file is read or written.
class TUpdateScope
{
public:
    explicit TUpdateScope(TMesgItems& items) : FItems(items)
    {
        FItems.BeginDisplayUpdate();
        FItems.WriteLock();
    }
    ~TUpdateScope()
    {
        FItems.WriteUnlock();
        FItems.EndDisplayUpdate();
    }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TMesgItems& FItems;
};

QByteArray SourceOf(TMesgItem& item)
{
    TFastMemoryStream stream(TFastMemoryStream::BlockSizeFor(item.Size()));
    item.WriteSource(stream);
    return stream.ToByteArray();
}

bool Continue(const TMailboxProgress& progress, qint64 done, qint64 total)
{
    return !progress || progress(done, total);
}

// Messages read from a mailbox, added to a collection together: a store
// saves each batch in one transaction, so that an import killed on the
// way keeps whole batches, and costs one commit per batch, not per message.
class TImportBatch
{
public:
    TImportBatch(TMesgItems& items, int& added) : FItems(items), FAdded(added) {}

    void Add(QByteArray source)
    {
        FBytes += source.size();
        FSources.push_back(std::move(source));
        if (FSources.size() >= kBatchMessages || FBytes >= kBatchBytes)
            Flush();
    }

    void Flush()
    {
        if (FSources.empty())
            return;
        // Emptied first: a batch that fails is not tried again.
        const std::vector<QByteArray> sources = std::exchange(FSources, {});
        FBytes = 0;
        FAdded += FItems.ImportSources(sources);
    }

private:
    static constexpr size_t kBatchMessages = 64;
    static constexpr qint64 kBatchBytes = 8 * 1024 * 1024;

    TMesgItems& FItems;
    int& FAdded;
    std::vector<QByteArray> FSources;
    qint64 FBytes = 0;
};

// Reads the file's messages into the batch until its end or a cancel,
// noting what the report tells about them.
void ReadMessages(TFileStream& file, TImportBatch& batch, const TMailboxProgress& progress, TMailboxImport& found)
{
    TMboxReader reader(file);
    QByteArray source;
    int read = 0;
    while (reader.Next(source)) {
        ++read;
        found.WholeFile = !reader.IsMailbox();
        if (!StartsWithHeaderField(source))
            found.Headerless.append(read);
        batch.Add(std::exchange(source, {}));
        // A worker thread stops here when asked to.
        ThreadCheck();
        if (!Continue(progress, reader.Position(), reader.Size()))
            break;
    }
}

} // namespace

int ExportMailbox(TMesgItems& items, const QString& fileName, const TMailboxProgress& progress)
{
    try {
        // The file is replaced only once every message is on the disk: a
        // failure or a cancel leaves the old file as it was.
        TSafeFileStream file(fileName, TSafeFileStream::TMode::Replace);
        TUpdateScope scope(items);
        TMboxWriter writer(file);
        const int count = items.Count();
        for (int index = 0; index < count; ++index) {
            auto& item = static_cast<TMesgItem&>(*items.Item(index));
            writer.Append(EncodeSystemText(item.FromAddress()), item.DateSent(), SourceOf(item));
            if (!Continue(progress, index + 1, count))
                return 0;
        }
        writer.Flush();
        file.Commit();
        // Nothing in the list changed: it is not redrawn for the export.
        items.SetModified(false);
        return count;
    } catch (...) {
        QueueFileError(fileName);
    }
    return 0;
}

int ImportMailbox(TMesgItems& items, const QString& fileName, bool clearFirst, const TMailboxProgress& progress,
                  TMailboxImport* report)
{
    TMailboxImport found;
    try {
        TFileStream file(fileName, TFileStream::TMode::OpenRead);
        TUpdateScope scope(items);
        if (clearFirst)
            items.Clear();
        TImportBatch batch(items, found.Added);
        try {
            ReadMessages(file, batch, progress, found);
        } catch (...) {
            // The messages read whole before the failure are kept, unless
            // the store fails them too; the first failure is reported.
            try {
                batch.Flush();
            } catch (...) {
            }
            throw;
        }
        batch.Flush();
    } catch (...) {
        QueueFileError(fileName);
    }
    if (report)
        *report = found;
    return found.Added;
}
