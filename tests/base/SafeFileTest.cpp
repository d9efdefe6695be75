// Files written on the user's behalf: a temporary beside the target, renamed
// over it only once everything is on the disk; new files created
// exclusively and never through a link; the store's files never a target.

#include "base/SafeFile.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using TMode = TSafeFileStream::TMode;

class SafeFile : public ::testing::Test
{
protected:
    void SetUp() override { FFolder = TTestEnvironment::NewFolder(); }

    [[nodiscard]] QString PathOf(const char* name) const { return FFolder + QLatin1Char('/') + QLatin1String(name); }
    // Every entry of the folder, hidden ones included.
    [[nodiscard]] QStringList Entries() const
    {
        return QDir(FFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                       QDir::Name);
    }
    static void Link(const QString& target, const QString& link)
    {
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
    }

    QString FFolder;
};

TEST_F(SafeFile, TheTargetChangesOnlyAtTheCommit)
{
    const QString path = PathOf("export.mbox");
    WriteTestFile(path, "old");
    {
        TSafeFileStream file(path, TMode::Replace);
        file.WriteBuffer("new content", 11);
        EXPECT_EQ(ReadTestFile(path), QByteArray("old"));
        EXPECT_EQ(Entries().size(), 2);   // the target and the temporary beside it
        file.Commit();
    }
    EXPECT_EQ(ReadTestFile(path), QByteArray("new content"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("export.mbox")});
}

TEST_F(SafeFile, AnUncommittedWriteLeavesTheOldFileAndNoTrace)
{
    const QString path = PathOf("export.mbox");
    WriteTestFile(path, "old");
    {
        TSafeFileStream file(path, TMode::Replace);
        file.WriteBuffer("half", 4);
    }
    EXPECT_EQ(ReadTestFile(path), QByteArray("old"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("export.mbox")});
}

// The file-size limit stands in for a full disk: both make a write fail
// part-way.
TEST_F(SafeFile, AWriteOverTheFileSizeLimitFailsAndKeepsTheOldFile)
{
    const QString path = PathOf("export.mbox");
    WriteTestFile(path, "old");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    QString reason;
    try {
        TSafeFileStream file(path, TMode::Replace);
        const QByteArray big(64 * 1024, 'x');
        file.WriteBuffer(big.constData(), big.size());
        file.Commit();
    } catch (const EWriteError& error) {
        failed = true;
        reason = error.Reason();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_TRUE(failed);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(ReadTestFile(path), QByteArray("old"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("export.mbox")});
}

TEST_F(SafeFile, ANewFileIsNeverCreatedThroughAnExistingName)
{
    const QString elsewhere = TTestEnvironment::NewFolder() + QStringLiteral("/elsewhere");
    const QString existing = PathOf("existing.eml");
    WriteTestFile(existing, "keep");
    Link(elsewhere, PathOf("dangling.eml"));
    Link(existing, PathOf("link.eml"));
    ASSERT_TRUE(QDir(FFolder).mkdir(QStringLiteral("folder.eml")));
    for (const char* name : {"existing.eml", "dangling.eml", "link.eml", "folder.eml"})
        EXPECT_THROW(TSafeFileStream(PathOf(name), TMode::CreateNew), EFileExistsError) << name;
    EXPECT_FALSE(QFileInfo::exists(elsewhere));
    EXPECT_EQ(ReadTestFile(existing), QByteArray("keep"));
    EXPECT_EQ(Entries().size(), 4);
}

TEST_F(SafeFile, ANewFileAppearsWholeOrNotAtAll)
{
    const QString path = PathOf("new.eml");
    {
        TSafeFileStream file(path, TMode::CreateNew);
        file.WriteBuffer("abc", 3);
    }
    EXPECT_TRUE(Entries().isEmpty());
    WriteFileSafely(path, "abc", TMode::CreateNew);
    EXPECT_EQ(ReadTestFile(path), QByteArray("abc"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("new.eml")});
}

// A link at the name is replaced itself: the write lands where the path
// says, never where a link planted by someone else points.
TEST_F(SafeFile, ALinkAtTheNameIsReplacedNeverFollowed)
{
    const QString elsewhere = TTestEnvironment::NewFolder();
    const QString real = elsewhere + QStringLiteral("/bashrc");
    WriteTestFile(real, "old");
    Link(real, PathOf("link.mbox"));
    const QString missing = elsewhere + QStringLiteral("/missing.mbox");
    Link(missing, PathOf("dangling.mbox"));
    for (const char* name : {"link.mbox", "dangling.mbox"}) {
        WriteFileSafely(PathOf(name), "new", TMode::Replace);
        EXPECT_FALSE(QFileInfo(PathOf(name)).isSymLink()) << name;
        EXPECT_EQ(ReadTestFile(PathOf(name)), QByteArray("new")) << name;
    }
    EXPECT_EQ(ReadTestFile(real), QByteArray("old"));
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(SafeFile, ProtectedFilesAreRefusedByAnyName)
{
    const QString store = PathOf("store.db");
    WriteTestFile(store, "store");
    WriteTestFile(store + QStringLiteral("-wal"), "wal");
    ProtectFromWrites(store);
    ProtectFromWrites(store + QStringLiteral("-wal"));
    Link(store, PathOf("soft.mbox"));
    ASSERT_EQ(::link(QFile::encodeName(store).constData(), QFile::encodeName(PathOf("hard.mbox")).constData()), 0);
    for (const QString& path : {store, store + QStringLiteral("-wal"), PathOf("soft.mbox"), PathOf("hard.mbox"),
                                FFolder + QStringLiteral("/./store.db")})
        EXPECT_THROW(WriteFileSafely(path, "mbox", TMode::Replace), EFCreateError) << path.toStdString();
    EXPECT_EQ(ReadTestFile(store), QByteArray("store"));
    EXPECT_EQ(ReadTestFile(store + QStringLiteral("-wal")), QByteArray("wal"));
    EXPECT_TRUE(IsProtectedFile(PathOf("hard.mbox")));
    EXPECT_FALSE(IsProtectedFile(PathOf("other.mbox")));
}

// A new file follows the umask, or is its owner's alone; a replaced file
// keeps its permissions, a private one only its owner's part of them.
TEST_F(SafeFile, ModesFollowTheUmaskOrTheReplacedFile)
{
    using TAccess = TSafeFileStream::TAccess;
    struct TCase
    {
        const char* Name;
        mode_t Before;   // 0: no file there
        TMode Mode;
        TAccess Access;
        mode_t After;
    };
    const TCase cases[] = {
        {"new.eml", 0, TMode::CreateNew, TAccess::Default, 0644},
        {"private.eml", 0, TMode::CreateNew, TAccess::Private, 0600},
        {"created.eml", 0, TMode::Replace, TAccess::Default, 0644},
        {"replaced.eml", 0600, TMode::Replace, TAccess::Default, 0600},
        {"shared.eml", 0664, TMode::Replace, TAccess::Default, 0664},
        {"made-private.eml", 0644, TMode::Replace, TAccess::Private, 0600},
        {"owner-only.eml", 0700, TMode::Replace, TAccess::Private, 0700},
    };
    const mode_t old = ::umask(022);
    for (const TCase& c : cases) {
        const QByteArray path = QFile::encodeName(PathOf(c.Name));
        if (c.Before != 0) {
            WriteTestFile(PathOf(c.Name), "old");
            ::chmod(path.constData(), c.Before);
        }
        WriteFileSafely(PathOf(c.Name), "x", c.Mode, c.Access);
        struct stat info {};
        ASSERT_EQ(::stat(path.constData(), &info), 0) << c.Name;
        EXPECT_EQ(info.st_mode & 0777, c.After) << c.Name;
    }
    ::umask(old);
}

TEST_F(SafeFile, FoldersAndMissingFoldersAreRefused)
{
    ASSERT_TRUE(QDir(FFolder).mkdir(QStringLiteral("dir")));
    EXPECT_THROW(WriteFileSafely(PathOf("dir"), "x", TMode::Replace), EFCreateError);
    EXPECT_THROW(WriteFileSafely(PathOf("no/such/file"), "x", TMode::Replace), EFCreateError);
    EXPECT_THROW(WriteFileSafely(PathOf("no/such/file"), "x", TMode::CreateNew), EFCreateError);
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("dir")});
}

} // namespace
