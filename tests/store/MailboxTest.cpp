// Mailbox export and import through the store: what goes out comes back
// byte for byte, a failing store keeps what was imported before the failure.

#include "messages/Mailbox.h"

#include "messages/MboxFormat.h"

#include "base/ThreadManager.h"
#include "engine/StoreFaults.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "tests/store/StoredMessages.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QIODevice>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr TStoreId kInbox = 1;
constexpr TStoreId kDeletedItems = 4;
constexpr TStoreId kDrafts = 5;

class MailboxStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(TTestEnvironment::NewStorePath()));
        FModel = std::make_unique<TOEFolders>();
        FFolder = TTestEnvironment::NewFolder();
        (void)TThreadManager::Instance().TakePendingErrors();
    }
    void TearDown() override { TStoreFaults::Reset(); }

    void Save(TStoreId folder, const std::vector<QByteArray>& sources)
    {
        std::unique_ptr<TStoreFolder> open;
        ASSERT_EQ(FModel->Namespace().OpenFolder(folder, 0, open), srOk);
        for (const QByteArray& source : sources)
            ASSERT_EQ(open->SaveMessage(source, 0, nullptr), srOk);
    }

    // Every source of a folder, in store order.
    std::vector<QByteArray> Sources(TStoreId folder)
    {
        std::vector<QByteArray> sources;
        for (const TStoredMessage& message : StoredMessages(FModel->Namespace(), folder))
            sources.push_back(message.Source);
        return sources;
    }

    static void Open(TOeMesgItems& items, TStoreId folder)
    {
        items.SetFolderId(folder);
        ASSERT_TRUE(items.WaitUntilParsed(120000));
    }

    // Exports `from`, imports the file into `to`; returns the file's path.
    QString RoundTrip(TStoreId from, TStoreId to)
    {
        const QString file = FFolder + QStringLiteral("/round.mbox");
        TOeMesgItems source;
        Open(source, from);
        EXPECT_EQ(ExportMailbox(source, file), source.Count());
        TOeMesgItems target;
        Open(target, to);
        EXPECT_EQ(ImportMailbox(target, file, false), source.Count());
        WaitUntil([] { return false; }, 100);
        return file;
    }

    std::unique_ptr<TOEFolders> FModel;
    QString FFolder;
};

// Sorted, since the export writes in list order and the import in file order.
std::vector<QByteArray> Sorted(std::vector<QByteArray> sources)
{
    std::sort(sources.begin(), sources.end());
    return sources;
}

TEST_F(MailboxStore, ExportThenImportGivesIdenticalSources)
{
    QByteArray large = "Subject: large\r\n\r\n";
    while (large.size() < 20 * 1024 * 1024)
        large += "From the start of a line, again and again.\r\n\r\n";
    std::vector<QByteArray> sources{
        "Subject: from lines\r\n\r\nfirst\r\n\r\nFrom here on\r\n\r\n>From quoted\r\n",
        "Subject: lf only\n\nline\n\nFrom x\n",
        "Subject: cr only\r\rline\r\rFrom y\r",
        QByteArrayLiteral("Subject: nul\r\n\r\na\0\0From b\0c"),
        "Subject: no final line break\r\n\r\nend",
        large,
    };
    for (const QString& name : QDir(FixturePath(QStringLiteral("mime"))).entryList({QStringLiteral("*.eml")}))
        sources.push_back(ReadFixture(QStringLiteral("mime/") + name));
    Save(kInbox, sources);
    RoundTrip(kInbox, kDrafts);
    // A source without a final line break comes back with the one the
    // export adds (mailbox files hold whole lines only).
    std::vector<QByteArray> expected;
    for (const QByteArray& source : sources)
        expected.push_back(source.endsWith('\n') ? source : source + SourceLineBreak(source));
    EXPECT_EQ(Sorted(Sources(kDrafts)), Sorted(expected));
    EXPECT_TRUE(TThreadManager::Instance().TakePendingErrors().isEmpty());
}

TEST_F(MailboxStore, ImportedMessagesAreNewAndUnread)
{
    const QString file = FFolder + QStringLiteral("/foreign.mbox");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("From alice Mon Jan  3 10:00:00 1983\nSubject: one\n\nfirst\n\n"
              "From bob Tue Jan  4 11:00:00 1983\nSubject: two\n\nsecond\n");
    out.close();
    TOeMesgItems items;
    Open(items, kDrafts);
    EXPECT_EQ(ImportMailbox(items, file, false), 2);
    EXPECT_EQ(items.Count(), 2);
    TFolderProps props;
    ASSERT_EQ(FModel->GetFolderInfo(kDrafts, props), srOk);
    EXPECT_EQ(props.UnreadCount, 2);
    EXPECT_EQ(Sorted(Sources(kDrafts)), Sorted({"Subject: one\n\nfirst\n", "Subject: two\n\nsecond\n"}));
}

// The import saves its messages in batches: a batch the store fails leaves
// nothing of itself, the batches before it stay, and no message is half saved.
TEST_F(MailboxStore, AFailingStoreKeepsTheBatchesImportedBeforeIt)
{
    std::vector<QByteArray> sources;
    for (int i = 0; i < 150; ++i)
        sources.push_back("Subject: " + QByteArray::number(i) + "\r\n\r\nbody\r\n");
    Save(kInbox, sources);
    const QString file = FFolder + QStringLiteral("/half.mbox");
    {
        TOeMesgItems items;
        Open(items, kInbox);
        ASSERT_EQ(ExportMailbox(items, file), 150);
    }
    TOeMesgItems target;
    Open(target, kDrafts);
    TStoreFaults::Inject(TStoreOp::SaveMessage, 1, 1);
    // The first batch, of 64 small messages, is saved; the second fails.
    const int added = ImportMailbox(target, file, false);
    EXPECT_EQ(added, 64);
    EXPECT_EQ(target.Count(), added);
    const std::vector<QByteArray> kept = Sources(kDrafts);
    EXPECT_EQ(static_cast<int>(kept.size()), added);
    for (const QByteArray& source : kept)
        EXPECT_NE(std::find(sources.begin(), sources.end(), source), sources.end());
    const QStringList errors = TThreadManager::Instance().TakePendingErrors();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().contains(QStringLiteral("Error creating new message: injected failure")))
        << errors.front().toStdString();
}

TEST_F(MailboxStore, AnImportIntoAFolderThatIsGoneSaysSo)
{
    TStoreId gone = kNoStoreId;
    ASSERT_EQ(FModel->Namespace().CreateFolder(kDeletedItems, "Gone", 0, &gone), srOk);
    const QString file = FFolder + QStringLiteral("/one.mbox");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("From a\nSubject: x\n\nbody\n");
    out.close();
    TOeMesgItems target;
    Open(target, gone);
    // Another window deletes the folder for good; this list has not heard of it yet.
    TStoreNamespace other;
    ASSERT_EQ(other.Initialize(), srOk);
    ASSERT_EQ(other.DeleteFolder(gone, 0), srOk);
    EXPECT_EQ(ImportMailbox(target, file, false), 0);
    const QStringList errors = TThreadManager::Instance().TakePendingErrors();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.front(), QStringLiteral("Error creating new message: no such folder or message"));
}

TEST_F(MailboxStore, ACancelledExportWritesNothingAndAnImportKeepsWhatWasDone)
{
    Save(kInbox, {"Subject: a\r\n\r\n1\r\n", "Subject: b\r\n\r\n2\r\n", "Subject: c\r\n\r\n3\r\n"});
    TOeMesgItems items;
    Open(items, kInbox);
    const QString file = FFolder + QStringLiteral("/cancel.mbox");
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    std::vector<qint64> seen;
    EXPECT_EQ(ExportMailbox(items, file, [&](qint64 done, qint64 total) {
        seen.push_back(done);
        EXPECT_EQ(total, 3);
        return done < 2;
    }), 0);
    EXPECT_EQ(seen, (std::vector<qint64>{1, 2}));
    EXPECT_EQ(ReadTestFile(file), QByteArray("old"));
    EXPECT_EQ(QDir(FFolder).entryList(QDir::Files | QDir::Hidden).size(), 1);

    ASSERT_EQ(ExportMailbox(items, file), 3);
    TOeMesgItems target;
    Open(target, kDrafts);
    EXPECT_EQ(ImportMailbox(target, file, false, [](qint64, qint64) { return false; }), 1);
}

TEST_F(MailboxStore, FilesThatCannotBeOpenedOrCreatedAreReportedWithTheirName)
{
    TOeMesgItems items;
    Open(items, kInbox);
    const QString missing = FFolder + QStringLiteral("/missing.mbox");
    const QString uncreatable = FFolder + QStringLiteral("/no/such/folder/out.mbox");
    EXPECT_EQ(ImportMailbox(items, missing, false), 0);
    EXPECT_EQ(ExportMailbox(items, uncreatable), 0);
    const QStringList errors = TThreadManager::Instance().TakePendingErrors();
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].contains(missing)) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains(uncreatable)) << errors[1].toStdString();
    EXPECT_FALSE(QFile::exists(uncreatable));
}

TEST_F(MailboxStore, AnEmptyListExportsAnEmptyFile)
{
    TOeMesgItems items;
    Open(items, kDrafts);
    const QString file = FFolder + QStringLiteral("/empty.mbox");
    EXPECT_EQ(ExportMailbox(items, file), 0);
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(QFileInfo(file).size(), 0);
}

} // namespace
