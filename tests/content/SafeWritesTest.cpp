#include "base/FastMemoryStream.h"
#include "base/SafeFile.h"
#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "content/attach/SafeWrites.h"
#include "tests/content/ViewTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <thread>

namespace {

class SafeWrites : public TContentTest
{
protected:
    static std::unique_ptr<TFastMemoryStream> Stream(const QByteArray& bytes)
    {
        auto stream = std::make_unique<TFastMemoryStream>();
        stream->WriteBuffer(bytes.constData(), bytes.size());
        return stream;
    }
};

TEST_F(SafeWrites, ANewFileIsCreatedOnlyWhereNothingIs)
{
    const QString folder = TTestEnvironment::NewFolder();
    const auto data = Stream("new content");
    const QString path = folder + QStringLiteral("/a.txt");
    ASSERT_TRUE(WriteNewFile(path, *data));
    EXPECT_EQ(ReadTestFile(path), QByteArray("new content"));
    EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
    EXPECT_FALSE(WriteNewFile(path, *data)) << "an existing file is never replaced";
    const QString dangling = folder + QStringLiteral("/link");
    ASSERT_TRUE(QFile::link(folder + QStringLiteral("/nowhere"), dangling));
    EXPECT_FALSE(WriteNewFile(dangling, *data)) << "nor is a symlink followed";
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/nowhere")));
    EXPECT_THROW(WriteNewFile(folder + QStringLiteral("/missing/a.txt"), *data), EFCreateError);
}

// The reading pane's saves go through the safe file streams: the whole of
// the source from its beginning, or the old file as it was.
TEST_F(SafeWrites, AUserFileIsTheOldOneOrTheWholeNewOne)
{
    const QString folder = TTestEnvironment::NewFolder();
    const QString path = folder + QStringLiteral("/chosen.txt");
    WriteTestFile(path, "old");
    const auto data = Stream("new and longer");   // positioned at its end
    WriteFileSafely(path, *data, TSafeFileStream::TMode::Replace);
    EXPECT_EQ(ReadTestFile(path), QByteArray("new and longer"));

    {
        TSafeFileStream file(path, TSafeFileStream::TMode::Replace);
        file.WriteBuffer("partial", 7);
        // Gone without a commit, as when writing fails half way.
    }
    EXPECT_EQ(ReadTestFile(path), QByteArray("new and longer"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("chosen.txt")})
        << "no temporary file is left behind";
    EXPECT_THROW(WriteFileSafely(folder + QStringLiteral("/missing/x.txt"), *data, TSafeFileStream::TMode::Replace),
                 EFCreateError);
}

// Several threads read one shared source at once (the list's parser and
// the reading pane); each reads through its own view.
TEST_F(SafeWrites, ThreadsShareOneSourceWithoutDisturbingEachOther)
{
    const TSharedSource source = ViewFixture("three-attachments.eml");
    TMimeMessage reference;
    TMimeParser().Parse(source, reference, TMimeParser::TMode::Full);
    const QByteArray expected = static_cast<TMimeAttachment&>(reference.Part(2)).DataBytes();
    std::vector<QByteArray> results(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&source, &results, t] {
            for (int round = 0; round < 20; ++round) {
                TMimeMessage message;
                TMimeParser().Parse(source, message, TMimeParser::TMode::Deferred);
                results[t] = static_cast<TMimeAttachment&>(message.Part(2)).DataBytes();
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    for (const QByteArray& result : results)
        EXPECT_EQ(result, expected);
}

} // namespace
