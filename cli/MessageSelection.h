#pragma once

#include "engine/StoreTypes.h"

#include <QStringList>

class TCliRun;
class TOeMesgItems;

// Opens a folder's messages as the message list does: loaded, parsed and
// sorted. Raises ECliError when the load does not finish.
void OpenFolderList(TOeMesgItems& items, TStoreId folder);

// Message ids from the command line: numbers, or "all" for every message
// of the list. Every id must be a message of the folder (ECliError otherwise).
[[nodiscard]] TMessageIdList SelectMessages(const TOeMesgItems& items, const QStringList& arguments);

// Prints the errors that the background queue gathered; true when there were any.
bool ReportQueuedErrors(TCliRun& run);
