#include "base/FastMemStreamAdapter.h"
#include "base/FastMemoryStream.h"
#include "base/FileStream.h"
#include "tests/base/StreamTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

struct TBlockCase {
    const char* Name;
    qint64 ContentSize;
    qint64 BlockSize;
    int Blocks;
};

class BlockSizeRule : public ::testing::TestWithParam<TBlockCase>
{
};

// Loading a platform stream into an empty memory stream picks the block size from the content size.
TEST_P(BlockSizeRule, LoadFromDeviceChoosesBlocks)
{
    const TBlockCase& c = GetParam();
    QByteArray source = Pattern(c.ContentSize);
    QBuffer device(&source);
    device.open(QIODevice::ReadOnly);

    TFastMemoryStream stream;
    stream.LoadFromDevice(device);

    EXPECT_EQ(stream.BlockSize(), c.BlockSize);
    EXPECT_EQ(stream.BlockCount(), c.Blocks);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(stream.ToByteArray(), source);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BlockSizeRule,
    ::testing::Values(TBlockCase{"OneByte", 1, 1, 1},
                      TBlockCase{"Exactly64K", 65536, 65536, 1},
                      TBlockCase{"Above64K", 65537, 32768, 3},
                      TBlockCase{"Exactly128K", 131072, 32768, 4},
                      TBlockCase{"Above128K", 131073, 65536, 3}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FastMemoryStream, EmptyContentGetsTheDefaultBlockSize)
{
    EXPECT_EQ(TFastMemoryStream::BlockSizeFor(0), 4096);
    EXPECT_EQ(TFastMemoryStream(0).BlockSize(), 4096);

    // Copying an empty stream used to leave a block size of 0 behind.
    TFastMemoryStream empty;
    TFastMemoryStream copy(100);
    copy.Assign(empty);
    EXPECT_EQ(copy.BlockSize(), 4096);
    const QByteArray bytes = Pattern(10000);
    copy.WriteBuffer(bytes.constData(), bytes.size());
    EXPECT_EQ(copy.ToByteArray(), bytes);
}

// Writes and reads of odd sizes cross block boundaries at every offset.
TEST(FastMemoryStream, ReadsAndWritesAcrossBlocks)
{
    const QByteArray bytes = Pattern(1000);
    TFastMemoryStream stream(7);
    for (qint64 at = 0, chunk = 1; at < bytes.size(); at += chunk, chunk = chunk % 13 + 1)
        stream.WriteBuffer(bytes.constData() + at, std::min<qint64>(chunk, bytes.size() - at));
    EXPECT_EQ(stream.Size(), 1000);
    EXPECT_EQ(stream.BlockCount(), 143);

    stream.SetPosition(3);
    QByteArray part(500, '\0');
    EXPECT_EQ(stream.Read(part.data(), 500), 500);
    EXPECT_EQ(part, bytes.mid(3, 500));
    EXPECT_EQ(stream.Position(), 503);

    // Only what lies before the end is delivered.
    stream.SetPosition(990);
    EXPECT_EQ(stream.Read(part.data(), 500), 10);
    EXPECT_EQ(stream.Read(part.data(), 500), 0);
}

TEST(FastMemoryStream, NegativePositionOrCountMovesNothing)
{
    TFastMemoryStream stream;
    const QByteArray bytes = Pattern(100);
    stream.WriteBuffer(bytes.constData(), bytes.size());
    char buffer[10];
    EXPECT_EQ(stream.Read(buffer, -1), 0);
    EXPECT_EQ(stream.Seek(-5, TSeekOrigin::Begin), -5);
    EXPECT_EQ(stream.Read(buffer, 10), 0);
    EXPECT_EQ(stream.Write(buffer, 10), 0);
    EXPECT_EQ(stream.Size(), 100);
    EXPECT_EQ(stream.Seek(-10, TSeekOrigin::End), 90);
}

// Content never shows stale or uninitialised bytes, whichever way the size grows.
TEST(FastMemoryStream, GrowingFillsWithZeros)
{
    TFastMemoryStream stream(16);
    stream.WriteBuffer("abcdefghij", 10);
    stream.SetSize(4);
    EXPECT_EQ(stream.BlockCount(), 1);
    stream.SetSize(20);
    EXPECT_EQ(stream.BlockCount(), 2);
    EXPECT_EQ(stream.ToByteArray(), QByteArray("abcd") + QByteArray(16, '\0'));

    // Writing beyond the end leaves a gap of zeros.
    stream.Seek(10, TSeekOrigin::End);
    stream.WriteBuffer("xy", 2);
    EXPECT_EQ(stream.Size(), 32);
    EXPECT_EQ(stream.ToByteArray().mid(20), QByteArray(10, '\0') + "xy");
}

TEST(FastMemoryStream, SetSizeKeepsExactlyTheNeededBlocks)
{
    TFastMemoryStream stream(10);
    stream.SetSize(95);
    EXPECT_EQ(stream.BlockCount(), 10);
    stream.SetPosition(50);
    stream.SetSize(30);
    EXPECT_EQ(stream.BlockCount(), 3);
    EXPECT_EQ(stream.Position(), 50);   // only size 0 rewinds
    stream.Clear();
    EXPECT_EQ(stream.BlockCount(), 0);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_THROW(stream.SetSize(-1), EStreamError);
}

TEST(FastMemoryStream, AssignCopiesBytesAndPosition)
{
    TFastMemoryStream source(100);
    const QByteArray bytes = Pattern(70000);
    source.WriteBuffer(bytes.constData(), bytes.size());
    source.SetPosition(1234);

    TFastMemoryStream copy(3);
    copy.WriteBuffer("old", 3);
    copy.Assign(source);
    EXPECT_EQ(copy.BlockSize(), 32768);
    EXPECT_EQ(copy.ToByteArray(), bytes);
    EXPECT_EQ(copy.Position(), 1234);
}

TEST(FastMemoryStream, LoadFromStreamAndSaveToFileRoundTrip)
{
    const QByteArray bytes = Pattern(5000);
    TFastMemoryStream source(64);
    source.WriteBuffer(bytes.constData(), bytes.size());

    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/saved.eml");
    source.SaveToFile(path);

    TFileStream file(path, TFileStream::TMode::OpenRead);
    file.SetPosition(100);   // loading reads from the beginning whatever the position
    TFastMemoryStream loaded(1000);
    loaded.LoadFromStream(file);
    EXPECT_EQ(loaded.ToByteArray(), bytes);
    EXPECT_EQ(loaded.Position(), 0);
}

TEST(FastMemoryStream, ShortDeviceReadFailsAndKeepsWhatArrived)
{
    const QByteArray bytes = Pattern(70000);
    TLimitedDevice device(bytes, 40000);
    TFastMemoryStream stream;
    try {
        stream.LoadFromDevice(device);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("FastMemoryStream: Error reading from IStream"));
    }
    EXPECT_EQ(stream.ToByteArray(), bytes.left(40000));
}

TEST(FastMemoryStream, EmptyDeviceEmptiesTheStream)
{
    TFastMemoryStream stream;
    stream.WriteBuffer("abc", 3);
    QBuffer device;
    device.open(QIODevice::ReadOnly);
    stream.LoadFromDevice(device);
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(FileStream, OpenAndCreateFailuresNameThePath)
{
    const QString folder = TTestEnvironment::NewFolder();
    const QString missing = folder + QStringLiteral("/missing.eml");
    try {
        TFileStream stream(missing, TFileStream::TMode::OpenRead);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_TRUE(e.Message().contains(missing));
    }
    EXPECT_THROW(TFileStream(folder + QStringLiteral("/no/such/dir.eml"), TFileStream::TMode::Create), EFCreateError);
    EXPECT_FALSE(QFile::exists(missing));
}

// The adapter is a seekable QIODevice over the memory stream itself.
TEST(FastMemStreamAdapter, ReadsWritesAndSeeksTheStream)
{
    TFastMemoryStream stream(5);
    TFastMemStreamAdapter adapter(stream);
    ASSERT_TRUE(adapter.open(QIODevice::ReadWrite));
    EXPECT_EQ(adapter.write("hello world"), 11);
    EXPECT_EQ(stream.ToByteArray(), QByteArray("hello world"));
    EXPECT_EQ(adapter.size(), 11);
    ASSERT_TRUE(adapter.seek(6));
    EXPECT_EQ(adapter.readAll(), QByteArray("world"));
    EXPECT_EQ(stream.Position(), 11);
}

struct TCopyCase {
    const char* Name;
    qint64 Count;
    qint64 DestinationLimit;
    quint32 Result;
    qint64 Read;
    qint64 Written;
};

class AdapterCopyTo : public ::testing::TestWithParam<TCopyCase>
{
};

// Copies start at the stream's beginning whatever its position; a negative count copies all.
TEST_P(AdapterCopyTo, CopiesFromTheBeginning)
{
    const TCopyCase& c = GetParam();
    const QByteArray bytes = Pattern(100000);
    TFastMemoryStream stream(32768);
    stream.WriteBuffer(bytes.constData(), bytes.size());
    TFastMemStreamAdapter adapter(stream);
    adapter.open(QIODevice::ReadOnly);
    adapter.seek(500);

    TLimitedDevice destination({}, c.DestinationLimit);
    const auto result = adapter.CopyTo(destination, c.Count);

    EXPECT_EQ(result.Result, c.Result);
    EXPECT_EQ(result.BytesRead, c.Read);
    EXPECT_EQ(result.BytesWritten, c.Written);
    EXPECT_EQ(destination.Written(), bytes.left(c.Written));
    EXPECT_EQ(adapter.pos(), c.Count < 0 ? 0 : 500);
}

INSTANTIATE_TEST_SUITE_P(Cases, AdapterCopyTo,
    ::testing::Values(TCopyCase{"Part", 40000, 1 << 20, TFastMemStreamAdapter::kOk, 40000, 40000},
                      TCopyCase{"MoreThanSize", 500000, 1 << 20, TFastMemStreamAdapter::kOk, 100000, 100000},
                      TCopyCase{"WholeAndRewind", -1, 1 << 20, TFastMemStreamAdapter::kOk, 100000, 100000},
                      TCopyCase{"ShortWrite", -1, 50000, TFastMemStreamAdapter::kFail, 65536, 50000}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
