// Feeds arbitrary bytes to the mailbox reader as a file, and writes what it
// read (and the bytes themselves as a message) back into a mailbox that must
// read back unchanged (see MailboxRoundTrip.h).

#include "fuzz/messages/MailboxRoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString problem = CheckMailboxRoundTrip(bytes);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "mailbox round trip: %s\n", problem.toUtf8().constData());
        std::abort();
    }
    return 0;
}
