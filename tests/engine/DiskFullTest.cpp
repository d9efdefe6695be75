// A full disk, simulated below SQLite by a file-system shim whose writes fail
// with SQLITE_FULL while the disk is "full": the failing operation reports
// it, and everything stored before stays readable and intact.

#include "tests/engine/StoreTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <QIODevice>

#include <sqlite3.h>

#include <atomic>

namespace {

std::atomic<bool> gDiskFull{false};
sqlite3_vfs* gRealVfs = nullptr;
sqlite3_vfs gShimVfs;

// The shim's file: the real file's state follows this header.
struct TShimFile {
    sqlite3_file Base;
    sqlite3_file* Real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

TShimFile* Shim(sqlite3_file* file)
{
    return reinterpret_cast<TShimFile*>(file);
}

int ShimWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset)
{
    if (gDiskFull)
        return SQLITE_FULL;
    return Shim(file)->Real()->pMethods->xWrite(Shim(file)->Real(), data, amount, offset);
}

sqlite3_file* Real(sqlite3_file* file)
{
    return Shim(file)->Real();
}

// Every method but xWrite forwards to the real file.
const sqlite3_io_methods* ShimMethods()
{
    static const sqlite3_io_methods methods = [] {
        sqlite3_io_methods m{};
        m.iVersion = 2;
        m.xClose = [](sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); };
        m.xRead = [](sqlite3_file* f, void* d, int n, sqlite3_int64 o) { return Real(f)->pMethods->xRead(Real(f), d, n, o); };
        m.xWrite = ShimWrite;
        m.xTruncate = [](sqlite3_file* f, sqlite3_int64 s) { return Real(f)->pMethods->xTruncate(Real(f), s); };
        m.xSync = [](sqlite3_file* f, int fl) { return Real(f)->pMethods->xSync(Real(f), fl); };
        m.xFileSize = [](sqlite3_file* f, sqlite3_int64* s) { return Real(f)->pMethods->xFileSize(Real(f), s); };
        m.xLock = [](sqlite3_file* f, int l) { return Real(f)->pMethods->xLock(Real(f), l); };
        m.xUnlock = [](sqlite3_file* f, int l) { return Real(f)->pMethods->xUnlock(Real(f), l); };
        m.xCheckReservedLock = [](sqlite3_file* f, int* r) { return Real(f)->pMethods->xCheckReservedLock(Real(f), r); };
        m.xFileControl = [](sqlite3_file* f, int op, void* a) { return Real(f)->pMethods->xFileControl(Real(f), op, a); };
        m.xSectorSize = [](sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); };
        m.xDeviceCharacteristics = [](sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); };
        m.xShmMap = [](sqlite3_file* f, int i, int s, int e, void volatile** p) { return Real(f)->pMethods->xShmMap(Real(f), i, s, e, p); };
        m.xShmLock = [](sqlite3_file* f, int o, int n, int fl) { return Real(f)->pMethods->xShmLock(Real(f), o, n, fl); };
        m.xShmBarrier = [](sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); };
        m.xShmUnmap = [](sqlite3_file* f, int d) { return Real(f)->pMethods->xShmUnmap(Real(f), d); };
        return m;
    }();
    return &methods;
}

int ShimOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    const int rc = gRealVfs->xOpen(gRealVfs, name, Real(file), flags, outFlags);
    file->pMethods = rc == SQLITE_OK && Real(file)->pMethods ? ShimMethods() : nullptr;
    return rc;
}

// Installs the shim as the default file system for the rest of this program.
void InstallShim()
{
    if (gRealVfs)
        return;
    gRealVfs = sqlite3_vfs_find(nullptr);
    gShimVfs = *gRealVfs;
    gShimVfs.zName = "vellumo-test-shim";
    gShimVfs.szOsFile = static_cast<int>(sizeof(TShimFile)) + gRealVfs->szOsFile;
    gShimVfs.xOpen = ShimOpen;
    sqlite3_vfs_register(&gShimVfs, 1);
}

} // namespace

TEST(StoreDiskFull, AFullDiskFailsTheOperationAndKeepsWhatWasStored)
{
    InstallShim();
    const QString path = TTestEnvironment::NewStorePath();
    TStoreNamespace store;
    ASSERT_EQ(store.Initialize(path), srOk);
    std::unique_ptr<TStoreFolder> inbox;
    std::unique_ptr<TStoreFolder> drafts;
    ASSERT_EQ(store.OpenFolder(1, 0, inbox), srOk);
    ASSERT_EQ(store.OpenFolder(5, 0, drafts), srOk);
    TStoreId kept = kNoStoreId;
    ASSERT_EQ(inbox->SaveMessage(QByteArray(20000, 'k'), 0, &kept), srOk);

    gDiskFull = true;
    TStoreId lost = kNoStoreId;
    EXPECT_EQ(inbox->SaveMessage(QByteArray(20000, 'n'), 0, &lost), srDiskFull);
    EXPECT_EQ(inbox->CopyMoveMessages(*drafts, {kept}, 1, 0, nullptr), srDiskFull);
    EXPECT_EQ(store.CreateFolder(1, "x", 0, nullptr), srDiskFull);
    gDiskFull = false;

    TStoreNamespace reopened;
    ASSERT_EQ(reopened.Initialize(path), srOk);
    TFolderProps props;
    ASSERT_EQ(reopened.GetFolderProperties(1, 0, props), srOk);
    EXPECT_EQ(props.MessageCount, 1);
    EXPECT_EQ(props.SubFolderCount, 0);
    std::unique_ptr<TStoreFolder> again;
    ASSERT_EQ(reopened.OpenFolder(1, 0, again), srOk);
    std::unique_ptr<QIODevice> stream;
    ASSERT_EQ(again->OpenMessage(kept, stream), srOk);
    EXPECT_EQ(stream->readAll(), QByteArray(20000, 'k'));
    // Once there is room again, the store takes changes as before.
    EXPECT_EQ(again->SaveMessage(QByteArray(10, 'a'), 0, nullptr), srOk);
}
