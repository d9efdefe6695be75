// Feeds arbitrary bytes to the .dbx reader as a folder's message file and as
// a folder list: the index tree, the message and folder infos, the chains of
// data blocks and the recovery scan all see hostile input.

#include "fuzz/messages/DbxFuzzInput.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadWholeDbxFile(DbxFileFromFuzzInput(data, size));
    return 0;
}
