// Every mailbox file kept in tests/data/mailbox (the fuzzer's findings among
// them) holds to what the mailbox fuzzer checks.

#include "fuzz/messages/MailboxRoundTrip.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(MailboxRoundTrip, SavedInputs)
{
    const QDir folder(FixturePath(QStringLiteral("mailbox")));
    const QStringList files = folder.entryList({QStringLiteral("*.mbox")}, QDir::Files);
    EXPECT_FALSE(files.isEmpty());
    for (const QString& name : files)
        EXPECT_EQ(CheckMailboxRoundTrip(ReadFixture(QStringLiteral("mailbox/") + name)), QString()) << name.toStdString();
}

} // namespace
