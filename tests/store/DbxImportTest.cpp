// Importing Outlook Express stores and folder files into the store: the
// folder tree, the special folders, every source byte for byte with its
// state and date; no duplicates on a second import; damage, cancels and
// store failures keep what was done and say so.

#include "store/DbxImporter.h"

#include "engine/StoreFaults.h"
#include "store/OEFolders.h"
#include "tests/store/StoredMessages.h"
#include "tests/support/DbxFixtureWriter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr TStoreId kInbox = 1;
constexpr TStoreId kSentItems = 3;
constexpr TStoreId kDrafts = 5;
constexpr quint32 kRead = 0x80;

struct TStored {
    QByteArray Source;
    quint32 State;
    QDateTime Received;
};

TDbxFixtureMessage Message(const QByteArray& subject, quint32 flags = kRead, QDateTime received = {})
{
    return {"Subject: " + subject + "\r\n\r\nbody of " + subject + "\r\n", flags, received, false, false};
}

class DbxImport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(TTestEnvironment::NewStorePath()));
        FModel = std::make_unique<TOEFolders>();
        FDir = TTestEnvironment::NewFolder();
    }
    void TearDown() override { TStoreFaults::Reset(); }

    TDbxImportSummary Import(TStoreId target, const QStringList& paths, const TDbxImportProgress& progress = {})
    {
        return TDbxImporter(*FModel, target).Import(paths, progress);
    }

    std::vector<TStored> Stored(TStoreId folder)
    {
        std::vector<TStored> stored;
        for (const TStoredMessage& message : StoredMessages(FModel->Namespace(), folder))
            stored.push_back({message.Source, message.Props.State, message.Props.Received});
        return stored;
    }

    std::vector<QByteArray> Subjects(TStoreId folder)
    {
        std::vector<QByteArray> subjects;
        for (const TStored& message : Stored(folder))
            subjects.push_back(message.Source.mid(9, message.Source.indexOf('\r') - 9));
        return subjects;
    }

    TStoreId Child(TStoreId parent, const QByteArray& name)
    {
        TStoreId found = kNoStoreId;
        int matches = 0;
        FModel->ForEachChild(parent, [&](const TFolderProps& child) {
            if (child.Name == name) {
                found = child.Id;
                ++matches;
            }
            return true;
        });
        EXPECT_LE(matches, 1) << name.constData();
        return found;
    }

    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = QDir(FDir).filePath(name);
        WriteTestFile(path, bytes);
        return path;
    }

    // A store folder: the standard folders, a folder below the Inbox, a
    // top-level folder with a subfolder, and a newsgroup of a news account.
    void WriteStore()
    {
        ASSERT_TRUE(WriteDbxStore(
            FDir,
            StandardDbxFolders({{7, 2, "Projects", "Projects.dbx", 0, 3},
                                {8, 1, "Archive", "Archive.dbx", 0, 3},
                                {9, 8, "2004", "2004.dbx", 0, 3},
                                {10, 0, "news.example.org", {}, 0, 0},
                                {11, 10, "comp.mail", "comp.mail.dbx", 0, 0},
                                {12, 1, "Empty", "Empty.dbx", 0, 3}}),
            {{QStringLiteral("Inbox.dbx"), {Message("in 1", 0), Message("in 2")}},
             {QStringLiteral("Sent Items.dbx"), {Message("sent", kRead | 0x80000)}},
             {QStringLiteral("Drafts.dbx"), {Message("draft", kRead | 0x08)}},
             {QStringLiteral("Outbox.dbx"), {}},
             {QStringLiteral("Deleted Items.dbx"), {}},
             {QStringLiteral("Projects.dbx"), {Message("project", kRead | 0x20)}},
             {QStringLiteral("Archive.dbx"), {Message("old")}},
             {QStringLiteral("2004.dbx"), {Message("older")}},
             {QStringLiteral("comp.mail.dbx"), {Message("article")}},
             {QStringLiteral("Empty.dbx"), {}}}));
    }

    std::unique_ptr<TOEFolders> FModel;
    QString FDir;
};

TEST_F(DbxImport, AStoreFolderRecreatesTheTreeAndFillsOurSpecialFolders)
{
    WriteStore();
    const TStoreId target = FModel->AddFolder(0, "Old mail");
    const TDbxImportSummary summary = Import(target, {FDir});
    EXPECT_TRUE(summary.Complete());
    EXPECT_EQ(summary.Imported(), 8);
    EXPECT_TRUE(summary.MissingFiles.isEmpty());

    EXPECT_EQ(Subjects(kInbox), (std::vector<QByteArray>{"in 1", "in 2"}));
    EXPECT_EQ(Subjects(kSentItems), (std::vector<QByteArray>{"sent"}));
    EXPECT_EQ(Subjects(kDrafts), (std::vector<QByteArray>{"draft"}));
    EXPECT_EQ(Subjects(Child(kInbox, "Projects")), (std::vector<QByteArray>{"project"}));
    const TStoreId archive = Child(target, "Archive");
    EXPECT_EQ(Subjects(archive), (std::vector<QByteArray>{"old"}));
    EXPECT_EQ(Subjects(Child(archive, "2004")), (std::vector<QByteArray>{"older"}));
    EXPECT_EQ(Subjects(Child(Child(target, "news.example.org"), "comp.mail")), (std::vector<QByteArray>{"article"}));
    EXPECT_NE(Child(target, "Empty"), kNoStoreId);
    // Neither the root of the old store nor its local folders' container
    // becomes a folder, nor do copies of the special folders.
    for (const char* name : {"Outlook Express", "Local Folders", "Inbox", "Drafts", "Outbox"})
        EXPECT_EQ(Child(target, name), kNoStoreId) << name;
}

TEST_F(DbxImport, SourcesStatesAndReceivedDatesArriveAsTheFileHasThem)
{
    const QDateTime received(QDate(2002, 11, 5), QTime(14, 3, 9), Qt::UTC);
    QByteArray odd = "Received: from x; Sat, 1 Jan 2000 00:00:00 +0000\r\nSubject: odd\r\n\r\n";
    odd += QByteArray("\0\r\x01\xff From line\r\n", 16).repeated(3000);
    const struct {
        TDbxFixtureMessage Message;
        quint32 State;
        QDateTime Received;
    } cases[] = {
        {Message("unread", 0), kMsgUnread, {}},
        {Message("read", kRead, received), 0, received},
        {Message("flagged", kRead | 0x20), kMsgFlagged, {}},
        {Message("replied", 0x80000), kMsgUnread | kMsgReplied, {}},
        {Message("unsent", kRead | 0x08), kMsgUnsent, {}},
        {{odd, kRead, {}, false, false}, 0, QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC)},
    };
    std::vector<TDbxFixtureMessage> messages;
    for (const auto& c : cases)
        messages.push_back(c.Message);
    const QString file = WriteFile(QStringLiteral("Folder.dbx"), WriteDbxMessageFile(messages));
    ASSERT_TRUE(Import(kDrafts, {file}).Complete());
    const std::vector<TStored> stored = Stored(kDrafts);
    ASSERT_EQ(stored.size(), std::size(cases));
    for (size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(stored[i].Source, cases[i].Message.Source) << i;
        EXPECT_EQ(stored[i].State, cases[i].State) << i;
        if (cases[i].Received.isValid()) {
            EXPECT_EQ(stored[i].Received, cases[i].Received) << i;
        }
    }
}

TEST_F(DbxImport, ImportingTheSameFilesAgainAddsNothing)
{
    WriteStore();
    ASSERT_EQ(Import(kRootFolderId, {FDir}).Imported(), 8);
    // Also under another name, from another place: the contents decide.
    const QString copy = TTestEnvironment::NewFolder() + QStringLiteral("/renamed.dbx");
    ASSERT_TRUE(QFile::copy(QDir(FDir).filePath(QStringLiteral("Archive.dbx")), copy));
    const TDbxImportSummary again = Import(kRootFolderId, {FDir, copy});
    EXPECT_TRUE(again.Complete());
    EXPECT_EQ(again.Imported(), 0);
    EXPECT_EQ(again.AlreadyImported(), 9);
    EXPECT_EQ(Stored(kInbox).size(), 2u);
    EXPECT_EQ(Subjects(Child(kRootFolderId, "Archive")), (std::vector<QByteArray>{"old"}));
}

TEST_F(DbxImport, AMessageDeletedForGoodComesBackOnTheNextImport)
{
    const QString file = WriteFile(QStringLiteral("One.dbx"), WriteDbxMessageFile({Message("a"), Message("b")}));
    ASSERT_EQ(Import(kDrafts, {file}).Imported(), 2);
    std::unique_ptr<TStoreFolder> drafts;
    ASSERT_EQ(FModel->Namespace().OpenFolder(kDrafts, 0, drafts), srOk);
    TMessageProps props;
    TEnumHandle handle = 0;
    ASSERT_EQ(drafts->GetFirstMessage(1, 0, kNoStoreId, props, handle), srOk);
    drafts->GetMessageClose(handle);
    ASSERT_EQ(drafts->DeleteMessages({props.Id}, 0, nullptr), srOk);   // into Deleted Items
    EXPECT_EQ(Import(kDrafts, {file}).Imported(), 0);
    std::unique_ptr<TStoreFolder> deleted;
    ASSERT_EQ(FModel->Namespace().OpenFolder(4, 0, deleted), srOk);
    ASSERT_EQ(deleted->DeleteMessages({props.Id}, 0, nullptr), srOk);   // for good
    EXPECT_EQ(Import(kDrafts, {file}).Imported(), 1);
    EXPECT_EQ(Subjects(kDrafts), (std::vector<QByteArray>{"b", "a"}));
}

TEST_F(DbxImport, DamagedFilesGiveUpOnlyWhatIsDestroyedAndSaySo)
{
    std::vector<TDbxFixtureMessage> messages;
    for (int i = 0; i < 30; ++i)
        messages.push_back(Message("m" + QByteArray::number(i) + QByteArray(1500, 'x')));
    TDbxFixtureLayout layout;
    QByteArray zeroed = WriteDbxMessageFile(messages, &layout);
    ZeroDbxIndex(zeroed, layout);
    QByteArray cycle = WriteDbxMessageFile(messages, &layout);
    SetDbxBlockNext(cycle, layout.Blocks[4].back(), layout.Blocks[4].front());

    const QString empty = TTestEnvironment::NewFolder();
    const TDbxImportSummary summary = Import(
        kDrafts, {WriteFile(QStringLiteral("Zeroed.dbx"), zeroed), WriteFile(QStringLiteral("Cycle.dbx"), cycle),
                  WriteFile(QStringLiteral("Text.dbx"), "not a dbx file"),
                  QDir(FDir).filePath(QStringLiteral("Absent.dbx")), empty});
    EXPECT_FALSE(summary.Complete());
    EXPECT_TRUE(summary.Failure.isEmpty());
    auto report = [&](const QString& name) {
        const auto found = std::find_if(summary.Files.begin(), summary.Files.end(),
                                        [&](const TDbxFileReport& file) { return file.File.endsWith(name); });
        return found != summary.Files.end() ? *found : TDbxFileReport{};
    };
    ASSERT_EQ(summary.Files.size(), 5u);
    const TDbxFileReport recovered = report(QStringLiteral("Zeroed.dbx"));
    EXPECT_TRUE(recovered.IndexDamaged);
    EXPECT_EQ(recovered.Recovered, 30);
    EXPECT_EQ(recovered.Imported, 30);
    const TDbxFileReport cut = report(QStringLiteral("Cycle.dbx"));
    EXPECT_FALSE(cut.IndexDamaged);
    EXPECT_EQ(cut.Imported, 30);
    EXPECT_EQ(cut.Incomplete, 1);
    EXPECT_FALSE(report(QStringLiteral("Text.dbx")).Error.isEmpty());
    EXPECT_FALSE(report(QStringLiteral("Absent.dbx")).Error.isEmpty());
    EXPECT_EQ(report(empty).Error, QStringLiteral("no .dbx files in this folder"));
    EXPECT_EQ(Stored(kDrafts).size(), 60u);
    // Recovered messages have no message info: they come in unread.
    EXPECT_EQ(Stored(kDrafts).front().State, kMsgUnread);
}

TEST_F(DbxImport, ACancelKeepsWhatWasSavedAndTheNextImportGoesOnFromThere)
{
    std::vector<TDbxFixtureMessage> messages;
    for (int i = 0; i < 10; ++i)
        messages.push_back(Message(QByteArray::number(i)));
    const QString file = WriteFile(QStringLiteral("Ten.dbx"), WriteDbxMessageFile(messages));
    int calls = 0;
    qint64 last = 0;
    const TDbxImportSummary cancelled = Import(kDrafts, {file}, [&](qint64 done, qint64 total) {
        EXPECT_EQ(total, QFileInfo(file).size());
        EXPECT_GE(done, last);
        last = done;
        return ++calls < 4;
    });
    EXPECT_TRUE(cancelled.Cancelled);
    EXPECT_EQ(cancelled.Imported(), 4);
    EXPECT_EQ(Stored(kDrafts).size(), 4u);
    const TDbxImportSummary rest = Import(kDrafts, {file});
    EXPECT_TRUE(rest.Complete());
    EXPECT_EQ(rest.Imported(), 6);
    EXPECT_EQ(rest.AlreadyImported(), 4);
    EXPECT_EQ(Subjects(kDrafts), (std::vector<QByteArray>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
}

TEST_F(DbxImport, AStoreFailureStopsTheImportAndKeepsWhatWasSaved)
{
    const QString first = WriteFile(QStringLiteral("First.dbx"), WriteDbxMessageFile({Message("1"), Message("2")}));
    const QString second = WriteFile(QStringLiteral("Second.dbx"), WriteDbxMessageFile({Message("3"), Message("4")}));
    const QString third = WriteFile(QStringLiteral("Third.dbx"), WriteDbxMessageFile({Message("5")}));
    TStoreFaults::Inject(TStoreOp::SaveMessage, 1, 1);
    const TDbxImportSummary failed = Import(kDrafts, {first, second, third});
    EXPECT_FALSE(failed.Failure.isEmpty());
    EXPECT_FALSE(failed.Complete());
    EXPECT_EQ(failed.Imported(), 2);
    EXPECT_EQ(failed.Files.size(), 2u);
    EXPECT_EQ(Subjects(kDrafts), (std::vector<QByteArray>{"1", "2"}));
    TStoreFaults::Reset();
    const TDbxImportSummary rest = Import(kDrafts, {first, second, third});
    EXPECT_EQ(rest.Imported(), 3);
    EXPECT_EQ(rest.AlreadyImported(), 2);
}

TEST_F(DbxImport, WithoutAUsableFolderListEveryMessageFileBecomesAFolderNamedAfterIt)
{
    WriteFile(QStringLiteral("Inbox.dbx"), WriteDbxMessageFile({Message("x")}));
    WriteFile(QStringLiteral("My Folder.DBX"), WriteDbxMessageFile({Message("y")}));
    QByteArray pop3 = WriteDbxMessageFile({});
    pop3[4] = char(0xC7);
    WriteFile(QStringLiteral("Pop3uidl.dbx"), pop3);
    WriteFile(QStringLiteral("Folders.dbx"), "garbage");
    const TStoreId target = FModel->AddFolder(0, "Recovered");
    const TDbxImportSummary summary = Import(target, {QDir(FDir).filePath(QStringLiteral("Folders.dbx"))});
    EXPECT_EQ(summary.FolderListProblems.size(), 1);
    EXPECT_EQ(summary.SkippedFiles.size(), 1);
    EXPECT_EQ(Subjects(Child(target, "Inbox")), (std::vector<QByteArray>{"x"}));
    EXPECT_EQ(Subjects(Child(target, "My Folder")), (std::vector<QByteArray>{"y"}));
    EXPECT_TRUE(Stored(kInbox).empty());
}

TEST_F(DbxImport, FilesTheListNamesButLacksAreReportedAndFilesItLacksAreKept)
{
    ASSERT_TRUE(WriteDbxStore(FDir,
                              StandardDbxFolders({{7, 1, "Gone", "Gone.dbx", 0, 3},
                                                  {8, 1, "Case", "CASE.dbx", 0, 3}}),
                              {{QStringLiteral("Inbox.dbx"), {Message("in")}},
                               {QStringLiteral("case.dbx"), {Message("case")}},
                               {QStringLiteral("Stray.dbx"), {Message("stray")}}}));
    const TDbxImportSummary summary = Import(kRootFolderId, {FDir});
    EXPECT_TRUE(summary.MissingFiles.contains(QStringLiteral("Gone.dbx")));
    EXPECT_EQ(Child(kRootFolderId, "Gone"), kNoStoreId);
    EXPECT_EQ(Subjects(Child(kRootFolderId, "Case")), (std::vector<QByteArray>{"case"}));
    EXPECT_EQ(Subjects(Child(kRootFolderId, "Stray")), (std::vector<QByteArray>{"stray"}));
    EXPECT_EQ(Subjects(kInbox), (std::vector<QByteArray>{"in"}));
}

TEST_F(DbxImport, AFolderListWhoseParentsGoRoundInACircleStillBringsEveryFolderIn)
{
    ASSERT_TRUE(WriteDbxStore(FDir,
                              {{20, 21, "A", "A.dbx", 0, 3}, {21, 20, "B", "B.dbx", 0, 3},
                               {22, 22, "Self", "Self.dbx", 0, 3}},
                              {{QStringLiteral("A.dbx"), {Message("a")}},
                               {QStringLiteral("B.dbx"), {Message("b")}},
                               {QStringLiteral("Self.dbx"), {Message("self")}}}));
    const TStoreId target = FModel->AddFolder(0, "Circle");
    ASSERT_TRUE(Import(target, {FDir}).Complete());
    EXPECT_EQ(Subjects(Child(target, "A")), (std::vector<QByteArray>{"a"}));
    EXPECT_EQ(Subjects(Child(Child(target, "A"), "B")), (std::vector<QByteArray>{"b"}));
    EXPECT_EQ(Subjects(Child(target, "Self")), (std::vector<QByteArray>{"self"}));
}

} // namespace
