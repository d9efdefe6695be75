#pragma once

#include <QString>

// Where the system finds its own files.

// The key of the settings store, as the layers above name it.
inline const QString kSettingsStoreKey = QStringLiteral("software\\Quorvan\\Vellumo");

// The per-user settings file: $VELLUMO_CONFIG, else
// $XDG_CONFIG_HOME/Quorvan/Vellumo.ini.
[[nodiscard]] QString SettingsFilePath();

// The folder of the shipped data (language files in "local/", the initial
// advertisement samples, the word list), without a trailing slash:
// $VELLUMO_DATA_DIR, else "share/vellumo" beside the installed program,
// else the build tree's data folder.
[[nodiscard]] QString DataFolder();

// The program's version, "major.minor.release.build" with the last three
// padded to two digits ("0.01.00.00").
[[nodiscard]] QString ProgramVersion();
