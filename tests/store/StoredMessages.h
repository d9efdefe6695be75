#pragma once

#include "engine/StoreNamespace.h"

#include <vector>

// One message as the store holds it.
struct TStoredMessage {
    TMessageProps Props;
    QByteArray Source;
};

// Every message of a folder with its source, in store order (failing the
// test when the folder cannot be read).
[[nodiscard]] std::vector<TStoredMessage> StoredMessages(TStoreNamespace& store, TStoreId folder);
