#include "store/DbxImporter.h"

#include "engine/StoreNamespace.h"
#include "messages/dbx/DbxFileKind.h"
#include "messages/dbx/DbxFormat.h"
#include "messages/dbx/DbxFileBytes.h"
#include "messages/dbx/DbxMessageFile.h"
#include "settings/SystemCodePage.h"
#include "store/DbxStorePlan.h"
#include "store/OEFolder.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <memory>
#include <numeric>

namespace {

// The identity of a message file, by which a second import recognises it
// whatever its name or place: its size and its first and last 64 KiB (the
// header, with the file's own pointers and counters, and the newest objects).
QByteArray FileIdentity(const TDbxBytes& bytes)
{
    constexpr qint64 kSample = 65536;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const qint64 size = bytes.Size();
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(&size), sizeof size));
    const auto* data = reinterpret_cast<const char*>(bytes.Data());
    hash.addData(QByteArrayView(data, std::min(size, kSample)));
    hash.addData(QByteArrayView(data + std::max<qint64>(0, size - kSample), std::min(size, kSample)));
    return hash.result();
}

// Our state flags from the message info's; a message recovered without its
// info is unread, as any message newly brought in.
quint32 StoreState(const TDbxMessage& message)
{
    if (message.Recovered)
        return kMsgUnread;
    quint32 state = 0;
    if (!(message.Flags & DbxFormat::kFlagRead))
        state |= kMsgUnread;
    if (message.Flags & DbxFormat::kFlagDraft)
        state |= kMsgUnsent;
    if (message.Flags & DbxFormat::kFlagAnswered)
        state |= kMsgReplied;
    if (message.Flags & DbxFormat::kFlagMarked)
        state |= kMsgFlagged;
    return state;
}

// Messages waiting to be saved together: one transaction for many messages
// writes the store's index pages once instead of once a message.
class TImportBatch
{
public:
    TImportBatch(TStoreFolder& folder, TDbxFileReport& report) : FFolder(folder), FReport(report) {}

    void Add(TImportedMessage message, bool complete)
    {
        FBytes += message.Source.size();
        FIncomplete += complete ? 0 : 1;
        FMessages.push_back(std::move(message));
    }

    [[nodiscard]] bool Full() const { return FMessages.size() >= kMessages || FBytes >= kBytes; }

    // Saves the waiting messages and counts them in the report.
    TStoreResult Save()
    {
        if (FMessages.empty())
            return srOk;
        const TStoreResult result = FFolder.SaveImportedMessages(FMessages, nullptr);
        if (result != srOk)
            return result;
        FReport.Imported += int(FMessages.size());
        FReport.Incomplete += FIncomplete;
        FMessages.clear();
        FBytes = 0;
        FIncomplete = 0;
        return srOk;
    }

private:
    static constexpr size_t kMessages = 256;
    static constexpr qint64 kBytes = 8 * 1024 * 1024;

    TStoreFolder& FFolder;
    TDbxFileReport& FReport;
    std::vector<TImportedMessage> FMessages;
    qint64 FBytes = 0;
    int FIncomplete = 0;
};

QString StoreFailure(const QString& what, TStoreResult result)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLatin1(StoreResultText(result)));
}

} // namespace

int TDbxImportSummary::Imported() const
{
    return std::accumulate(Files.begin(), Files.end(), 0, [](int sum, const auto& f) { return sum + f.Imported; });
}

int TDbxImportSummary::AlreadyImported() const
{
    return std::accumulate(Files.begin(), Files.end(), 0,
                           [](int sum, const auto& f) { return sum + f.AlreadyImported; });
}

int TDbxImportSummary::Recovered() const
{
    return std::accumulate(Files.begin(), Files.end(), 0, [](int sum, const auto& f) { return sum + f.Recovered; });
}

bool TDbxImportSummary::Complete() const
{
    return !Cancelled && Failure.isEmpty() &&
           std::all_of(Files.begin(), Files.end(), [](const auto& f) { return f.Error.isEmpty(); });
}

TDbxImporter::TDbxImporter(TOEFolder& folders, TStoreId target)
    : FFolders(folders)
    , FTarget(target)
{
}

TDbxImportSummary TDbxImporter::Import(const QStringList& paths, const TDbxImportProgress& progress)
{
    TDbxImportSummary summary;
    FProgress = progress;
    FDone = 0;
    FTotal = 0;
    std::vector<TJob> jobs;
    for (const QString& path : paths) {
        if (!PlanPath(path, jobs, summary))
            return summary;
    }
    for (const TJob& job : jobs)
        FTotal += QFileInfo(job.File).size();
    for (const TJob& job : jobs) {
        if (!ImportFile(job, summary))
            break;
    }
    return summary;
}

bool TDbxImporter::PlanPath(const QString& path, std::vector<TJob>& jobs, TDbxImportSummary& summary)
{
    const QFileInfo info(path);
    if (info.isDir())
        return PlanStore(path, jobs, summary);
    if (info.fileName().compare(QLatin1String("Folders.dbx"), Qt::CaseInsensitive) == 0)
        return PlanStore(info.absolutePath(), jobs, summary);
    jobs.push_back({path, FTarget});
    return true;
}

bool TDbxImporter::PlanStore(const QString& dir, std::vector<TJob>& jobs, TDbxImportSummary& summary)
{
    const TDbxStorePlan plan = PlanDbxStore(dir);
    if (plan.DbxFiles == 0) {
        summary.Files.push_back({});
        summary.Files.back().File = dir;
        summary.Files.back().Error = QStringLiteral("no .dbx files in this folder");
        return true;
    }
    summary.MissingFiles += plan.MissingFiles;
    summary.SkippedFiles += plan.SkippedFiles;
    if (!plan.FolderListProblem.isEmpty())
        summary.FolderListProblems.push_back(QStringLiteral("%1: Folders.dbx %2").arg(dir, plan.FolderListProblem));
    std::vector<TStoreId> ids;
    for (const TDbxPlannedFolder& planned : plan.Folders) {
        const TStoreId parent = planned.Parent < 0 ? FTarget : ids[size_t(planned.Parent)];
        TStoreId id = planned.Special >= 0 ? FFolders.FindSpecialFolder(planned.Special) : kNoStoreId;
        if (id == kNoStoreId)
            id = FindOrCreateFolder(parent, planned.Name);
        if (id == kNoStoreId) {
            summary.Failure = QStringLiteral("cannot create the folder \"%1\"").arg(DecodeSystemText(planned.Name));
            return false;
        }
        ids.push_back(id);
        if (!planned.File.isEmpty())
            jobs.push_back({planned.File, id});
    }
    return true;
}

TStoreId TDbxImporter::FindOrCreateFolder(TStoreId parent, const QByteArray& name)
{
    // A folder of that name from an earlier import is filled again, so that
    // importing twice does not double the tree.
    TStoreId found = kNoStoreId;
    FFolders.ForEachChild(parent, [&](const TFolderProps& child) {
        if (child.Name == name)
            found = child.Id;
        return found == kNoStoreId;
    });
    return found != kNoStoreId ? found : FFolders.AddFolder(parent, name);
}

bool TDbxImporter::ImportFile(const TJob& job, TDbxImportSummary& summary)
{
    summary.Files.push_back({});
    TDbxFileReport& report = summary.Files.back();
    report.File = job.File;
    report.Folder = job.Folder;
    TDbxFileBytes file;
    if (!file.Open(job.File)) {
        report.Error = file.Error();
        FDone += QFileInfo(job.File).size();
        return true;
    }
    const TDbxBytes bytes = file.Bytes();
    if (DbxKindOf(bytes) != TDbxKind::Messages) {
        report.Error = QStringLiteral("not a message file of Outlook Express 5 or 6");
        FDone += bytes.Size();
        return true;
    }
    const TDbxMessageFile reader(bytes);
    const TDbxMessageList list = reader.Messages();
    report.Found = int(list.Messages.size());
    report.Recovered = list.Recovered;
    report.WithoutSource = list.WithoutSource;
    report.IndexDamaged = list.IndexDamaged;
    std::unique_ptr<TStoreFolder> folder;
    if (const TStoreResult result = FFolders.Namespace().OpenFolder(job.Folder, 0, folder); result != srOk) {
        summary.Failure = StoreFailure(QStringLiteral("cannot open the target folder"), result);
        return false;
    }
    const QByteArray identity = FileIdentity(bytes);
    TImportBatch batch(*folder, report);
    auto save = [&] {
        const TStoreResult result = batch.Save();
        if (result != srOk)
            summary.Failure = StoreFailure(QStringLiteral("cannot save messages"), result);
        return result == srOk;
    };
    for (size_t i = 0; i < list.Messages.size(); ++i) {
        const TDbxMessage& message = list.Messages[i];
        // The first data block tells a message apart within its file, and
        // is the same whether the message was found by the index or by a scan.
        const TImportOrigin origin{identity, message.DataOffset};
        if (FFolders.Namespace().FindImportedMessage(origin, nullptr) == srOk) {
            ++report.AlreadyImported;
        } else {
            QByteArray source;
            const bool complete = reader.ReadSource(message.DataOffset, source) == TDbxChainEnd::Complete;
            batch.Add({origin, std::move(source), StoreState(message), message.Received}, complete);
            if (batch.Full() && !save())
                return false;
        }
        const qint64 done = FDone + bytes.Size() * qint64(i + 1) / qint64(list.Messages.size());
        if (FProgress && !FProgress(done, FTotal)) {
            // What was read before the cancel is kept.
            summary.Cancelled = save();
            return false;
        }
    }
    if (!save())
        return false;
    FDone += bytes.Size();
    return true;
}
