#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <functional>

// Every test program runs with VELLUMO_STORE, VELLUMO_CONFIG, XDG_* and the
// runtime folder pointing into one private temporary folder, so that no
// test ever touches the user's own files. VELLUMO_DATA_DIR points at the
// shipped data in the source tree (read only).
class TTestEnvironment
{
public:
    static void SetUp();
    // The private folder of this test program run.
    [[nodiscard]] static QString Root();
    // A fresh, empty folder below Root().
    [[nodiscard]] static QString NewFolder();
    // A fresh store path below Root(), not yet created.
    [[nodiscard]] static QString NewStorePath();
};

// Reads a fixture below tests/data.
[[nodiscard]] QByteArray ReadFixture(const QString& relativePath);
[[nodiscard]] QString FixturePath(const QString& relativePath);

// Writes a whole file (failing the test when it cannot); reads one (empty when it cannot).
void WriteTestFile(const QString& path, const QByteArray& bytes);
[[nodiscard]] QByteArray ReadTestFile(const QString& path);

// Runs the event loop until `done` holds or `timeoutMs` passes; true when done.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);
