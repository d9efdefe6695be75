#include "cli/MessageSelection.h"

#include "cli/CliCommand.h"

#include "base/ThreadManager.h"
#include "store/OeMesgItems.h"

#include <QSet>

namespace {

constexpr int kLoadTimeoutMs = 30 * 60 * 1000;

} // namespace

void OpenFolderList(TOeMesgItems& items, TStoreId folder)
{
    items.SetFolderId(folder);
    if (!items.WaitUntilParsed(kLoadTimeoutMs) || items.FolderId() != folder)
        throw ECliError(QStringLiteral("the folder could not be read"));
}

TMessageIdList SelectMessages(const TOeMesgItems& items, const QStringList& arguments)
{
    if (arguments.isEmpty())
        throw EUsageError(QStringLiteral("no message ids given (numbers, or \"all\")"));
    QSet<TStoreId> present;
    TMessageIdList all;
    items.ReadLock();
    for (int i = 0; i < items.Count(); ++i) {
        const auto id = static_cast<TStoreId>(items.Item(i)->Id());
        present.insert(id);
        all.push_back(id);
    }
    items.ReadUnlock();
    if (arguments == QStringList{QStringLiteral("all")}) {
        std::sort(all.begin(), all.end());
        return all;
    }
    TMessageIdList ids;
    for (const QString& argument : arguments) {
        bool ok = false;
        const TStoreId id = argument.toUInt(&ok);
        if (!ok || !present.contains(id))
            throw ECliError(QStringLiteral("no message %1 in this folder").arg(argument));
        ids.push_back(id);
    }
    return ids;
}

bool ReportQueuedErrors(TCliRun& run)
{
    const QStringList errors = TThreadManager::Instance().TakePendingErrors();
    for (const QString& error : errors)
        run.Err << QStringLiteral("vellumo-cli: %1\n").arg(error);
    return !errors.isEmpty();
}
