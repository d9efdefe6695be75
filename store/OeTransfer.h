#pragma once

#include "engine/StoreTypes.h"
#include "messages/MesgFiles.h"

// What the store collection needs of the process-wide transfer object
// beyond IMesgTransfer: the store messages behind the offered files, and
// pasting them or incoming message files into a store folder. The internal
// clipboard implements both; the collection finds this face by a cast of
// its transfer object.
class IOeTransfer
{
public:
    virtual ~IOeTransfer() = default;

    // Forgets the messages offered before.
    virtual void ClearOutgoing() = 0;
    // Offers the stored message under the descriptor's file name; its
    // source is read from the store only when a receiver asks for it.
    virtual void AddOutgoing(TStoreId id, const TVirtualFileDescriptor& descriptor) = 0;
    // The offered messages are those of `folder`; their names are made
    // unique and given the ".eml" extension.
    virtual void FinishOutgoing(TStoreId folder) = 0;
    // Copies or, after a cut or a moving drag, moves the offered messages
    // of this run into the folder.
    virtual void PasteIntoFolder(TStoreId folder) = 0;
    // Saves every incoming virtual ".eml" file into the folder as a new
    // unread message.
    virtual void SaveVirtualFiles(TStoreId folder) = 0;
};
