#include "base/BufStreams.h"
#include "base/FastMemoryStream.h"
#include "tests/base/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::unique_ptr<TFastMemoryStream> StreamOf(const QByteArray& bytes)
{
    auto stream = std::make_unique<TFastMemoryStream>(16);
    stream->WriteBuffer(bytes.constData(), bytes.size());
    stream->SetPosition(0);
    return stream;
}

QList<QByteArray> ReadAllLines(const QByteArray& content, qint64 bufferSize)
{
    TReadBufStream reader(StreamOf(content), bufferSize);
    QList<QByteArray> lines;
    while (reader.Position() < reader.Size())
        lines.append(reader.ReadLine());
    return lines;
}

struct TLineCase {
    const char* Name;
    QByteArray Content;
    QList<QByteArray> Lines;
};

// Line reading with buffers of 1, 2, 3 and 64 bytes, so that every
// terminator also falls on a buffer boundary.
class LineReading : public ::testing::TestWithParam<std::tuple<TLineCase, int>>
{
};

TEST_P(LineReading, SplitsAtEveryTerminator)
{
    const auto& [c, bufferSize] = GetParam();
    EXPECT_EQ(ReadAllLines(c.Content, bufferSize), c.Lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineReading,
    ::testing::Combine(
        ::testing::Values(
            TLineCase{"MixedTerminators", QByteArray("a\r\nb\rc\nd"), {"a", "b", "c", "d"}},
            TLineCase{"LfCrLeavesAnEmptyLine", QByteArray("a\n\rb"), {"a", "", "b"}},
            TLineCase{"NulEndsALine", QByteArray("ab\0cd\0", 6), {"ab", "cd"}},
            TLineCase{"CrCrIsTwoLineEnds", QByteArray("x\r\r\ny"), {"x", "", "y"}},
            TLineCase{"TrailingCrLf", QByteArray("From a\r\nbody\r\n"), {"From a", "body"}},
            TLineCase{"LongLine", QByteArray(200, 'q') + "\nz", {QByteArray(200, 'q'), "z"}}),
        ::testing::Values(1, 2, 3, 64)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).Name) + "_Buffer" + std::to_string(std::get<1>(info.param));
    });

TEST(ReadBufStream, ReadingLinesAtTheEndGivesEmptyLines)
{
    TReadBufStream reader(StreamOf("last"), 4);
    EXPECT_EQ(reader.ReadLine(), QByteArray("last"));
    EXPECT_EQ(reader.ReadLine(), QByteArray());
    EXPECT_EQ(reader.ReadLine(), QByteArray());
    EXPECT_EQ(reader.Position(), 4);
}

// Random seeks and reads of every size, small ones through the buffer and
// large ones straight from the target, deliver exactly the target's bytes.
TEST(ReadBufStream, RandomReadsMatchTheTarget)
{
    const QByteArray bytes = Pattern(5000);
    TReadBufStream reader(StreamOf(bytes), 64);
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        if (random() % 4 == 0)
            reader.SetPosition(random() % 5100);
        const qint64 at = reader.Position();
        const qint64 count = random() % 3 == 0 ? random() % 300 : random() % 70;
        QByteArray part(count, '\0');
        const qint64 got = reader.Read(part.data(), count);
        ASSERT_EQ(got, std::clamp<qint64>(bytes.size() - at, 0, count));
        ASSERT_EQ(part.left(got), bytes.mid(at, got)) << "at " << at << " count " << count;
        ASSERT_EQ(reader.Position(), at + got);
    }
}

// Line reading and byte reading share the position, as the mailbox import needs.
TEST(ReadBufStream, LinesAndBytesShareThePosition)
{
    TReadBufStream reader(StreamOf("From x\r\nHeader: 1\r\n\r\nbody"), 5);
    EXPECT_EQ(reader.ReadLine(), QByteArray("From x"));
    const qint64 start = reader.Position();
    EXPECT_EQ(reader.ReadLine(), QByteArray("Header: 1"));
    EXPECT_EQ(reader.ReadLine(), QByteArray());
    reader.SetPosition(start);
    QByteArray message(reader.Size() - start, '\0');
    reader.ReadBuffer(message.data(), message.size());
    EXPECT_EQ(message, QByteArray("Header: 1\r\n\r\nbody"));
}

TEST(WriteBufStream, SequentialWritesOfEverySizeReachTheTarget)
{
    const QByteArray bytes = Pattern(20000);
    TFastMemoryStream target(100);
    {
        TWriteBufStream writer(target, 64);
        std::mt19937 random(11);
        for (qint64 at = 0; at < bytes.size();) {
            const qint64 n = std::min<qint64>(random() % 3 == 0 ? random() % 200 : random() % 50, bytes.size() - at);
            EXPECT_EQ(writer.Write(bytes.constData() + at, n), n);
            at += n;
        }
        EXPECT_EQ(writer.Size(), bytes.size());
    }   // destruction flushes
    EXPECT_EQ(target.ToByteArray(), bytes);
}

TEST(WriteBufStream, WriteLineEndsWithCrLf)
{
    TFastMemoryStream target;
    TWriteBufStream writer(target, 8);
    EXPECT_EQ(writer.WriteLine("From a b"), 10);
    EXPECT_EQ(writer.WriteLine(""), 2);
    writer.Flush();
    EXPECT_EQ(target.ToByteArray(), QByteArray("From a b\r\n\r\n"));
    EXPECT_EQ(writer.Position(), 12);
}

// A write after a seek lands at the position sought, also when bytes are
// still buffered elsewhere (they used to be placed after the flushed bytes).
TEST(WriteBufStream, WritesAfterASeekLandWhereSought)
{
    TFastMemoryStream target;
    TWriteBufStream writer(target, 16);
    writer.WriteBuffer("0123456789", 10);
    writer.Flush();
    writer.WriteBuffer("abcdefghij", 10);
    writer.SetPosition(2);
    writer.WriteBuffer("XY", 2);
    writer.Seek(0, TSeekOrigin::End);
    writer.WriteBuffer("!", 1);
    writer.Flush();
    EXPECT_EQ(target.ToByteArray(), QByteArray("01XY456789abcdefghij!"));
}

TEST(AbstractBufStreamAdapter, ReadAndWriteAreNotImplemented)
{
    TFastMemoryStream target;
    TAbstractBufStreamAdapter adapter(target, 16);
    char byte = 0;
    try {
        adapter.Read(&byte, 1);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Read method is not Implemented"));
    }
    try {
        adapter.Write(&byte, 1);
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Write method is not Implemented"));
    }
}

TEST(WriteBufStream, SetTargetFlushesAndStartsOver)
{
    TFastMemoryStream first;
    TWriteBufStream writer(first, 16);
    writer.WriteBuffer("abc", 3);
    EXPECT_EQ(first.Size(), 0);   // still buffered
    auto second = std::make_unique<TFastMemoryStream>();
    second->WriteBuffer("zz", 2);
    TFastMemoryStream* secondRaw = second.get();
    writer.SetTarget(std::move(second));
    EXPECT_EQ(first.ToByteArray(), QByteArray("abc"));
    EXPECT_EQ(writer.Position(), 0);
    writer.WriteBuffer("y", 1);
    writer.Flush();
    EXPECT_EQ(secondRaw->ToByteArray(), QByteArray("yz"));
}

} // namespace
