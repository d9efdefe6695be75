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
        TMboxReader reader(file);
        QByteArray source;
        while (reader.Next(source)) {
            auto stream = std::make_shared<TFastMemoryStream>(TFastMemoryStream::BlockSizeFor(source.size()));
            stream->WriteBuffer(source.constData(), source.size());
            stream->SetPosition(0);
            if (TMesgItem* item = items.ImportStream(*stream)) {
                stream->SetPosition(0);
                item->SetSource(stream);
            }
            ++found.Added;
            found.WholeFile = !reader.IsMailbox();
            if (!StartsWithHeaderField(source))
                found.Headerless.append(found.Added);
            // A worker thread stops here when asked to.
            ThreadCheck();
            if (!Continue(progress, reader.Position(), reader.Size()))
                break;
        }
    } catch (...) {
        QueueFileError(fileName);
    }
    if (report)
        *report = found;
    return found.Added;
}
