#include "ui/forms/MailboxFileNames.h"

#include <gtest/gtest.h>

TEST(MailboxFileNames, ExportNamesAndBackups)
{
    struct
    {
        const char* Chosen;
        const char* Written;
        const char* Backup;
    } const cases[] = {
        {"/tmp/box.mbox", "/tmp/box.mbox", "/tmp/box.~mbox"},
        {"/tmp/box.MBX", "/tmp/box.MBX", "/tmp/box.~MBX"},
        {"/tmp/box", "/tmp/box.mbox", "/tmp/box.~mbox"},
        {"/tmp/box.txt", "/tmp/box.mbox", "/tmp/box.~mbox"},
        {"/tmp/my.box.Mbox", "/tmp/my.box.Mbox", "/tmp/my.box.~Mbox"},
    };
    for (const auto& test : cases) {
        const QString written = MailboxExportName(QString::fromUtf8(test.Chosen));
        EXPECT_EQ(written.toStdString(), test.Written) << test.Chosen;
        EXPECT_EQ(MailboxBackupName(written).toStdString(), test.Backup) << test.Chosen;
    }
}
