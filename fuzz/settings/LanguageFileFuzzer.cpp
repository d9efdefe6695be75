// Feeds arbitrary bytes to the language table as a language file (see
// IniRoundTrip.h for what must hold).

#include "fuzz/settings/IniRoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString problem = CheckLanguageFile(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "language file: %s\n", problem.toUtf8().constData());
        std::abort();
    }
    return 0;
}
