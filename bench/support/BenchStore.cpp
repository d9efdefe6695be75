#include "bench/support/BenchStore.h"

#include "bench/support/StoreListFields.h"
#include "bench/support/SyntheticMail.h"

#include <QFile>

#include <algorithm>

namespace {

constexpr TStoreId kInbox = 1;
constexpr int kSaveBatch = 1000;

} // namespace

TBenchStore::TBenchStore()
    : FPath(FDir.filePath(QStringLiteral("store.db")))
{
    qputenv("VELLUMO_STORE", QFile::encodeName(FPath));
    FStore.Initialize();
}

TStoreId TBenchStore::FolderOf(int count)
{
    if (const auto found = FFolders.find(count); found != FFolders.end())
        return found->second;
    TStoreId id = kNoStoreId;
    FStore.CreateFolder(kInbox, "Bench " + QByteArray::number(count), 0, &id);
    std::unique_ptr<TStoreFolder> folder;
    FStore.OpenFolder(id, 0, folder);
    for (int first = 0; first < count; first += kSaveBatch) {
        std::vector<QByteArray> sources;
        for (int i = first; i < std::min(first + kSaveBatch, count); ++i)
            sources.push_back(SyntheticMessage(i, kAverageSize, kSeed));
        folder->SaveMessages(sources, kMsgUnread, nullptr);
    }
    FFolders.emplace(count, id);
    return id;
}

std::vector<QByteArray> TBenchStore::MessagesOf(int count)
{
    std::vector<QByteArray> messages;
    messages.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        messages.push_back(SyntheticMessage(i, kAverageSize, kSeed));
    return messages;
}

void TBenchStore::ForgetListFields() const
{
    ::ForgetListFields(FPath);
}
