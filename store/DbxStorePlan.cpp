#include "store/DbxStorePlan.h"

#include "engine/StoreTypes.h"
#include "messages/dbx/DbxFileKind.h"
#include "messages/dbx/DbxFolderFile.h"
#include "messages/dbx/DbxFormat.h"
#include "messages/dbx/DbxFileBytes.h"
#include "settings/SystemCodePage.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <map>
#include <optional>
#include <set>

namespace {

const QString kFolderListName = QStringLiteral("folders.dbx");

// The .dbx files of a folder by their lower-case names: names written on
// Windows may come back in any case after a copy.
QHash<QString, QString> DbxFilesOf(const QString& dir)
{
    QHash<QString, QString> files;
    const QFileInfoList entries =
        QDir(dir).entryInfoList({QStringLiteral("*.dbx")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& entry : entries)
        files.insert(entry.fileName().toLower(), entry.filePath());
    return files;
}

TDbxKind KindOfFile(const QString& path)
{
    TDbxFileBytes file;
    return file.Open(path) ? DbxKindOf(file.Bytes()) : TDbxKind::NotDbx;
}

// A folder name the store takes: not empty, at most 255 bytes.
QByteArray StoreName(QByteArray name, const QString& file)
{
    if (name.isEmpty())
        name = EncodeSystemText(QFileInfo(file).completeBaseName());
    if (name.isEmpty())
        name = "Imported folder";
    return name.left(kMaxFolderNameBytes);
}

// Lays the folder list out as planned folders. Iterative throughout: a
// hostile list may nest folders many thousands deep.
class TListPlanner
{
public:
    TListPlanner(const std::vector<TDbxFolder>& folders, const QHash<QString, QString>& files, TDbxStorePlan& plan)
        : FFolders(folders), FFiles(files), FPlan(plan), FNeeded(folders.size(), false)
    {
        for (size_t i = 0; i < folders.size(); ++i)
            FByIndex.emplace(folders[i].Index, i);
        for (size_t i = 0; i < folders.size(); ++i) {
            if (const auto parent = ParentOf(i))
                FChildren[*parent].push_back(i);
        }
        MarkNeeded();
    }

    // Places every folder; returns the files it used (lower-case names).
    std::set<QString> Plan()
    {
        // Roots first, then folders whose parent is missing, then whatever a
        // cycle of parents kept out of reach: each of those at the top.
        for (size_t i = 0; i < FFolders.size(); ++i) {
            if (FFolders[i].Parent == DbxFormat::kNoParent)
                PlaceTree(i, true);
        }
        for (size_t i = 0; i < FFolders.size(); ++i) {
            if (!FPlaced.contains(i) && !ParentOf(i))
                PlaceTree(i, false);
        }
        for (size_t i = 0; i < FFolders.size(); ++i) {
            if (!FPlaced.contains(i))
                PlaceTree(i, false);
        }
        return FUsed;
    }

private:
    [[nodiscard]] std::optional<size_t> ParentOf(size_t folder) const
    {
        const auto parent = FByIndex.find(FFolders[folder].Parent);
        if (parent == FByIndex.end() || parent->second == folder)
            return std::nullopt;
        return parent->second;
    }

    [[nodiscard]] QString LowerFileName(const TDbxFolder& folder) const
    {
        return DecodeSystemText(folder.FileName).toLower();
    }

    // A folder is needed when it or one below it has a message file here:
    // walk up from every such folder (at most once round any cycle).
    void MarkNeeded()
    {
        for (size_t i = 0; i < FFolders.size(); ++i) {
            if (FFolders[i].FileName.isEmpty() || !FFiles.contains(LowerFileName(FFolders[i])))
                continue;
            std::optional<size_t> at = i;
            for (size_t steps = 0; at && !FNeeded[*at] && steps <= FFolders.size(); ++steps) {
                FNeeded[*at] = true;
                at = ParentOf(*at);
            }
        }
    }

    QString FileOf(const TDbxFolder& folder)
    {
        if (folder.FileName.isEmpty())
            return {};
        const QString name = LowerFileName(folder);
        const auto found = FFiles.find(name);
        if (found == FFiles.end()) {
            FPlan.MissingFiles.push_back(DecodeSystemText(folder.FileName));
            return {};
        }
        FUsed.insert(name);
        return found.value();
    }

    // One folder below `parent`; returns the planned folder its children go
    // into. `top`: the folder sits directly in the store's root or in the
    // local folders' container, where the special folders live.
    int Place(size_t index, int parent, bool top)
    {
        const TDbxFolder& folder = FFolders[index];
        const QString file = FileOf(folder);
        const bool root = folder.Parent == DbxFormat::kNoParent;
        const bool localContainer = top && folder.Local && folder.FileName.isEmpty();
        if (root || localContainer)
            return parent;
        TDbxPlannedFolder planned;
        planned.Parent = parent;
        planned.Name = StoreName(folder.Name, file);
        planned.File = file;
        if (top && folder.Local && folder.Special >= 1 && folder.Special <= 5)
            planned.Special = folder.Special - 1;
        FPlan.Folders.push_back(planned);
        return int(FPlan.Folders.size()) - 1;
    }

    void PlaceTree(size_t start, bool top)
    {
        struct TStep {
            size_t Index;
            int Parent;
            bool Top;
        };
        std::vector<TStep> stack{{start, -1, top}};
        while (!stack.empty()) {
            const TStep step = stack.back();
            stack.pop_back();
            if (!FPlaced.insert(step.Index).second)
                continue;
            if (!FNeeded[step.Index]) {
                FileOf(FFolders[step.Index]);   // reports a missing file
                continue;
            }
            const int placed = Place(step.Index, step.Parent, step.Top);
            const bool childrenOnTop = placed == step.Parent;
            const std::vector<size_t>& children = FChildren[step.Index];
            for (auto child = children.rbegin(); child != children.rend(); ++child)
                stack.push_back({*child, placed, childrenOnTop});
        }
    }

    const std::vector<TDbxFolder>& FFolders;
    const QHash<QString, QString>& FFiles;
    TDbxStorePlan& FPlan;
    std::vector<bool> FNeeded;
    std::map<quint32, size_t> FByIndex;
    std::map<size_t, std::vector<size_t>> FChildren;
    std::set<size_t> FPlaced;
    std::set<QString> FUsed;
};

std::set<QString> PlanFolderList(const QString& path, const QHash<QString, QString>& files, TDbxStorePlan& plan)
{
    TDbxFileBytes file;
    if (!file.Open(path)) {
        plan.FolderListProblem = file.Error();
        return {};
    }
    if (DbxKindOf(file.Bytes()) != TDbxKind::Folders) {
        plan.FolderListProblem = QStringLiteral("not a folder list");
        return {};
    }
    const TDbxFolderList list = ReadDbxFolders(file.Bytes());
    if (list.Damaged)
        plan.FolderListProblem = QStringLiteral("damaged");
    return TListPlanner(list.Folders, files, plan).Plan();
}

} // namespace

TDbxStorePlan PlanDbxStore(const QString& dir)
{
    TDbxStorePlan plan;
    const QHash<QString, QString> files = DbxFilesOf(dir);
    plan.DbxFiles = int(files.size());
    std::set<QString> used;
    if (files.contains(kFolderListName))
        used = PlanFolderList(files.value(kFolderListName), files, plan);
    else
        plan.FolderListProblem = QStringLiteral("missing");
    used.insert(kFolderListName);
    // Files the list does not name, in name order.
    std::map<QString, QString> rest;
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (!used.contains(it.key()))
            rest.emplace(it.key(), it.value());
    }
    for (const auto& [name, path] : rest) {
        if (KindOfFile(path) != TDbxKind::Messages) {
            plan.SkippedFiles.push_back(path);
            continue;
        }
        plan.Folders.push_back({-1, StoreName({}, path), -1, path});
    }
    return plan;
}
