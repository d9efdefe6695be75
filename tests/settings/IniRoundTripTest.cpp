// Every file kept in tests/data/ini (the fuzzers' findings among them) holds
// to what the settings and language file fuzzers check.

#include "fuzz/settings/IniRoundTrip.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(IniRoundTrip, SavedInputs)
{
    const QDir folder(FixturePath(QStringLiteral("ini")));
    const QStringList files = folder.entryList({QStringLiteral("*.ini")}, QDir::Files);
    EXPECT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        const QByteArray bytes = ReadFixture(QStringLiteral("ini/") + name);
        EXPECT_EQ(CheckLanguageFile(bytes), QString()) << name.toStdString();
        EXPECT_EQ(CheckSettingsFile(bytes, TTestEnvironment::NewFolder()), QString()) << name.toStdString();
    }
}

} // namespace
