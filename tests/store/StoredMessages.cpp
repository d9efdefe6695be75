#include "tests/store/StoredMessages.h"

#include <QIODevice>

#include <gtest/gtest.h>

std::vector<TStoredMessage> StoredMessages(TStoreNamespace& store, TStoreId folder)
{
    std::unique_ptr<TStoreFolder> open;
    EXPECT_EQ(store.OpenFolder(folder, 0, open), srOk);
    std::vector<TStoredMessage> messages;
    if (!open)
        return messages;
    TMessageProps props;
    TEnumHandle handle = 0;
    for (TStoreResult r = open->GetFirstMessage(1, 0, kNoStoreId, props, handle); r == srOk;
         r = open->GetNextMessage(handle, 0, props)) {
        std::unique_ptr<QIODevice> stream;
        EXPECT_EQ(open->OpenMessage(props.Id, stream), srOk);
        messages.push_back({props, stream ? stream->readAll() : QByteArray()});
    }
    open->GetMessageClose(handle);
    return messages;
}
