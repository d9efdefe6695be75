#include "messages/MesgItems.h"

#include "base/BufStreams.h"
#include "base/FastMemoryStream.h"
#include "base/FileStream.h"
#include "base/PrivateMessages.h"
#include "base/ThreadManager.h"
#include "messages/MesgErrors.h"
#include "messages/MesgItem.h"
#include "messages/MesgTransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <mutex>

namespace {

constexpr qint64 kPasteBufferSize = 64 * 1024;

// The one interval clock of CheckBreak, for the whole process.
class TBreakClock
{
public:
    // True when no more than `intervalMs` passed since the last restart.
    bool Within(int intervalMs)
    {
        std::lock_guard lock(FMutex);
        return FTimer.isValid() && FTimer.elapsed() <= intervalMs;
    }
    void Restart()
    {
        std::lock_guard lock(FMutex);
        FTimer.start();
    }

private:
    std::mutex FMutex;
    QElapsedTimer FTimer;
};

TBreakClock& BreakClock()
{
    static TBreakClock clock;
    return clock;
}

int StateIndex(TMesgState bit)
{
    switch (bit) {
    case stUnread: return 0;
    case stAttachment: return 1;
    case stReplied: return 2;
    case stFlagged: return 3;
    case stUnsent: return 4;
    }
    return 0;
}

constexpr TMesgState kStates[kMesgStateCount] = {stUnread, stAttachment, stReplied, stFlagged, stUnsent};

} // namespace

TMesgItems::TMesgItems(QObject* owner)
    : TVirtItems(owner)
{
    setObjectName(QStringLiteral("MesgItems"));
}

TMesgItems::~TMesgItems()
{
    // The items go while this class can still see them.
    SetControl(nullptr);
    TSyncItems::Clear();
}

std::unique_ptr<TSyncItem> TMesgItems::CreateItem()
{
    return std::make_unique<TMesgItem>(this);
}

TSyncItem* TMesgItems::Insert(int index, std::unique_ptr<TSyncItem> item)
{
    TWriteGuard<TSyncItems> guard(*this);
    TSyncItem* inserted = TVirtItems::Insert(index, std::move(item));
    if (const auto* message = dynamic_cast<const TMesgItem*>(inserted))
        AddToCounters(message->State());
    // A loading folder tells the control its row count once per batch, not per row.
    if (++FInsertBatch > kInsertBatch) {
        SendCount();
        if (IVirtualListControl* control = Control()) {
            if (Count() == FInsertBatch)
                control->PostToControl(pmListFitColumns);
            control->PostToWindow(pmRefreshStatus);
        }
        FInsertBatch = 0;
    }
    return inserted;
}

void TMesgItems::InsertSorted(std::vector<std::unique_ptr<TSyncItem>> items)
{
    if (items.empty())
        return;
    TWriteGuard<TSyncItems> guard(*this);
    for (const std::unique_ptr<TSyncItem>& item : items)
        if (const auto* message = dynamic_cast<const TMesgItem*>(item.get()))
            AddToCounters(message->State());
    const bool first = Count() == 0;
    TVirtItems::InsertSorted(std::move(items));
    SendCount();
    if (IVirtualListControl* control = Control()) {
        if (first)
            control->PostToControl(pmListFitColumns);
        control->PostToWindow(pmRefreshStatus);
    }
}

void TMesgItems::Clear()
{
    TWriteGuard<TSyncItems> guard(*this);
    TVirtItems::Clear();
    for (auto& counter : FCounters)
        counter = 0;
    FInsertBatch = 0;
}

int TMesgItems::IndexOfName(const QString& name) const
{
    const QByteArray id = name.toLatin1();
    return FindIndex([&id](const TSyncItem* item) { return static_cast<const TMesgItem*>(item)->MessageId() == id; });
}

const TMimeParser& TMesgItems::Parser() const
{
    return TThreadManager::Instance().IsMainThread() ? FMainParser : FOtherParser;
}

void TMesgItems::Parse(TStream& source, TMimeMessage& message) const
{
    Parser().Parse(source, message);
}

void TMesgItems::Parse(const QByteArray& source, TMimeMessage& message) const
{
    Parser().Parse(source, message);
}

int TMesgItems::CountOf(TMesgState bit) const
{
    return FCounters[static_cast<std::size_t>(StateIndex(bit))];
}

void TMesgItems::AddToCounters(unsigned char state)
{
    for (int i = 0; i < kMesgStateCount; ++i)
        if (state & kStates[i])
            ++FCounters[static_cast<std::size_t>(i)];
}

void TMesgItems::Recount()
{
    std::array<int, kMesgStateCount> counts{};
    ForEachItem([&counts](const TSyncItem* item) {
        const unsigned char state = static_cast<const TMesgItem*>(item)->State();
        for (int i = 0; i < kMesgStateCount; ++i)
            counts[static_cast<std::size_t>(i)] += (state & kStates[i]) ? 1 : 0;
    });
    for (int i = 0; i < kMesgStateCount; ++i)
        FCounters[static_cast<std::size_t>(i)] = counts[static_cast<std::size_t>(i)];
}

void TMesgItems::AcceptIncoming(IMesgTransfer& transfer)
{
    if (transfer.FromThisRun())
        PasteMessages(transfer);
    else if (transfer.HasVirtualFiles())
        PasteVirtualFiles(transfer);
    else
        PasteFiles(transfer);
}

void TMesgItems::PasteMessages(IMesgTransfer&) {}

void TMesgItems::PasteVirtualFiles(IMesgTransfer&) {}

void TMesgItems::PasteFiles(IMesgTransfer& transfer)
{
    QStringList files;
    for (const QString& path : transfer.DroppedFiles())
        if (path.endsWith(QLatin1String(".eml"), Qt::CaseInsensitive))
            files.append(path);
    if (files.isEmpty()) {
        transfer.SetDropEffect(IMesgTransfer::TDropEffect::Refused);
        return;
    }
    for (int i = 0; i < files.size(); ++i) {
        // Only regular files are read: a folder or a device named ".eml"
        // (a link to /dev/zero never ends) is skipped like a vanished file.
        if (QFileInfo(files[i]).isFile()) {
            try {
                TReadBufStream buffered(std::make_unique<TFileStream>(files[i], TFileStream::TMode::OpenRead),
                                        kPasteBufferSize);
                ImportStream(buffered);
            } catch (...) {
                QueueFileError(files[i]);
            }
        }
        if (transfer.PasteCancelled())
            break;
        transfer.SetPasteProgress(i + 1, static_cast<int>(files.size()));
    }
}

void TMesgItems::DeleteSelected() {}

QString TMesgItems::GetCaption() const
{
    return FCaption;
}

void TMesgItems::SetCaption(const QString& caption)
{
    FCaption = caption;
}

void TMesgItems::SyncWithTree(QObject*) {}

void TMesgItems::GoToParent() {}

TMesgItem* TMesgItems::AddItem(TMesgItem*)
{
    return nullptr;
}

TMesgItem* TMesgItems::ImportStream(TStream&)
{
    return nullptr;
}

int TMesgItems::ImportSources(const std::vector<QByteArray>& sources)
{
    for (const QByteArray& source : sources) {
        auto stream = std::make_shared<TFastMemoryStream>(TFastMemoryStream::BlockSizeFor(source.size()));
        stream->WriteBuffer(source.constData(), source.size());
        stream->SetPosition(0);
        if (TMesgItem* item = ImportStream(*stream)) {
            stream->SetPosition(0);
            item->SetSource(stream);
        }
    }
    return static_cast<int>(sources.size());
}

void TMesgItems::PrepareOutgoing() {}

void TMesgItems::CopyCommand()
{
    PrepareOutgoing();
    if (FTransfer)
        FTransfer->CopyToClipboard();
}

void TMesgItems::CutCommand()
{
    PrepareOutgoing();
    if (FTransfer)
        FTransfer->CutToClipboard();
}

void TMesgItems::DragCommand()
{
    PrepareOutgoing();
    if (FTransfer)
        FTransfer->StartDrag();
}

void TMesgItems::LoadMessages() {}

void TMesgItems::Resort()
{
    const TBatchGuard batch(*this);
    Sort();
}

TSortOrder TMesgItems::SortOrder() const
{
    TReadGuard<const TSyncItems> guard(*this);
    return FSortOrder;
}

void TMesgItems::SetSortOrder(const TSortOrder& order)
{
    TWriteGuard<TSyncItems> guard(*this);
    FSortOrder = order;
}

int TMesgItems::CompareItems(const TSyncItem* a, const TSyncItem* b) const
{
    return CompareMessages(static_cast<const TMesgItem&>(*a), static_cast<const TMesgItem&>(*b), FSortOrder);
}

void TMesgItems::StopLoading()
{
    if (FLoading)
        FBreak = true;
}

bool TMesgItems::Stopping() const
{
    return FBreak || QCoreApplication::closingDown();
}

bool TMesgItems::CheckBreak(int intervalMs)
{
    if (Stopping())
        return true;
    if (intervalMs != 0 && BreakClock().Within(intervalMs))
        return false;
    // processEvents runs every event pending now; events those post wait for the next call.
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    BreakClock().Restart();
    return Stopping();
}

void TMesgItems::RestartBreakClock()
{
    BreakClock().Restart();
}
