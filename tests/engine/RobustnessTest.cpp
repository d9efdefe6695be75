// The store under hostile conditions: files that are not stores, and a
// process killed in the middle of moving messages.

#include "tests/engine/StoreTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <QFile>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

TEST(StoreFiles, AFileThatIsNotAStoreIsRefusedAndLeftUntouched)
{
    const QString path = TTestEnvironment::NewStorePath();
    const QByteArray text = QByteArray("This is a text file, not a database.\n").repeated(200);
    WriteTestFile(path, text);
    TStoreNamespace store;
    EXPECT_EQ(store.Initialize(path), srNotADatabase);
    EXPECT_FALSE(store.IsInitialized());
    EXPECT_EQ(ReadTestFile(path), text);
    TFolderProps props;
    EXPECT_NE(store.GetFolderProperties(0, 0, props), srOk);
}

TEST(StoreFiles, AFolderInPlaceOfTheFileIsRefused)
{
    const QString path = TTestEnvironment::NewFolder();
    TStoreNamespace store;
    EXPECT_NE(store.Initialize(path), srOk);
}

TEST(StoreFiles, AReadOnlyStoreFailsToChangeButStillReads)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root";
    const QString path = TTestEnvironment::NewStorePath();
    {
        TStoreNamespace store;
        ASSERT_EQ(store.Initialize(path), srOk);
    }
    const QString folder = path.left(path.lastIndexOf(QLatin1Char('/')));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(path, QFile::ReadOwner);
    TStoreNamespace store;
    const TStoreResult opened = store.Initialize(path);
    if (opened == srOk) {
        EXPECT_NE(store.CreateFolder(1, "x", 0, nullptr), srOk);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A child process moves a batch of messages and is killed while the move is
// running; afterwards every message is wholly in one of the two folders and
// the store opens cleanly.
TEST(StoreCrash, AKilledMoveLeavesEveryMessageWhollyInOnePlace)
{
    const QString path = TTestEnvironment::NewStorePath();
    TMessageIdList ids;
    {
        TStoreNamespace store;
        ASSERT_EQ(store.Initialize(path), srOk);
        std::unique_ptr<TStoreFolder> inbox;
        ASSERT_EQ(store.OpenFolder(1, 0, inbox), srOk);
        for (int i = 0; i < 400; ++i) {
            TStoreId id = kNoStoreId;
            ASSERT_EQ(inbox->SaveMessage(QByteArray(8000, char('a' + i % 26)), kMsgUnread, &id), srOk);
            ids.push_back(id);
        }
    }
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Half way through the move, tell the parent and wait to be killed.
        struct Sink : IStoreProgress {
            int Fd;
            void NotifyProgress(quint32 current, quint32 maximum) override
            {
                if (current == maximum / 2) {
                    const char c = 'x';
                    (void)!write(Fd, &c, 1);
                    pause();
                }
            }
        } sink;
        sink.Fd = pipeFds[1];
        TStoreNamespace store;
        std::unique_ptr<TStoreFolder> inbox;
        std::unique_ptr<TStoreFolder> drafts;
        if (store.Initialize(path) != srOk || store.OpenFolder(1, 0, inbox) != srOk
            || store.OpenFolder(5, 0, drafts) != srOk)
            _exit(2);
        inbox->CopyMoveMessages(*drafts, ids, 1, 0, &sink);
        _exit(3);
    }
    char c = 0;
    ASSERT_EQ(read(pipeFds[0], &c, 1), 1);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipeFds[0]);
    close(pipeFds[1]);
    ASSERT_TRUE(WIFSIGNALED(status));

    TStoreNamespace store;
    ASSERT_EQ(store.Initialize(path), srOk);
    TFolderProps inbox;
    TFolderProps drafts;
    ASSERT_EQ(store.GetFolderProperties(1, 0, inbox), srOk);
    ASSERT_EQ(store.GetFolderProperties(5, 0, drafts), srOk);
    // The move never committed: all messages are still in the Inbox.
    EXPECT_EQ(inbox.MessageCount, 400);
    EXPECT_EQ(drafts.MessageCount, 0);
    EXPECT_EQ(inbox.UnreadCount, 400);
    std::unique_ptr<TStoreFolder> folder;
    ASSERT_EQ(store.OpenFolder(1, 0, folder), srOk);
    std::unique_ptr<QIODevice> stream;
    ASSERT_EQ(folder->OpenMessage(ids[199], stream), srOk);
    EXPECT_EQ(stream->readAll(), QByteArray(8000, char('a' + 199 % 26)));
    // And the store still accepts the move.
    std::unique_ptr<TStoreFolder> target;
    ASSERT_EQ(store.OpenFolder(5, 0, target), srOk);
    EXPECT_EQ(folder->CopyMoveMessages(*target, ids, 1, 0, nullptr), srOk);
}
