#include "content/GMimeHandle.h"

#include <mutex>

void EnsureGMimeInitialized()
{
    static std::once_flag once;
    // RFC 2047 workarounds stay off: header words are decoded by this
    // program's own decoder, never by GMime.
    std::call_once(once, [] { g_mime_init(); });
}
