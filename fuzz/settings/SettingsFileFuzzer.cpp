// Feeds arbitrary bytes to the settings file reader as the file's content,
// in a private temporary folder (see IniRoundTrip.h for what must hold).

#include "fuzz/settings/IniRoundTrip.h"

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QTemporaryDir folder;
    const QString problem =
        CheckSettingsFile(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), folder.path());
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "settings file: %s\n", problem.toUtf8().constData());
        std::abort();
    }
    return 0;
}
