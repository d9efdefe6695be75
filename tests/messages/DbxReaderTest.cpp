// The .dbx reader against files written by the fixture writer: what goes in
// comes out byte for byte, with its state and date; damage loses only what
// it destroys, and nothing makes the reader loop or read outside the file.

#include "fuzz/messages/DbxFuzzInput.h"
#include "messages/dbx/DbxFileBytes.h"
#include "messages/dbx/DbxFileKind.h"
#include "messages/dbx/DbxFolderFile.h"
#include "messages/dbx/DbxFormat.h"
#include "messages/dbx/DbxIndexedInfo.h"
#include "messages/dbx/DbxMessageFile.h"
#include "tests/support/DbxFixtureWriter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace {

TDbxBytes View(const QByteArray& file)
{
    return {reinterpret_cast<const uchar*>(file.constData()), file.size()};
}

QByteArray Source(int number, int size = 0)
{
    QByteArray source = "From: sender" + QByteArray::number(number) + "@example.org\r\nSubject: message " +
                        QByteArray::number(number) + "\r\n\r\n";
    while (source.size() < size)
        source += "line " + QByteArray::number(source.size()) + " of the body\r\n";
    return source;
}

std::vector<TDbxFixtureMessage> Messages(int count, int size = 0)
{
    std::vector<TDbxFixtureMessage> messages;
    for (int i = 0; i < count; ++i)
        messages.push_back({Source(i, size), DbxFormat::kFlagRead, {}, false, false});
    return messages;
}

// What a shape should read back as: each message's source, how its chain
// ends, and whether it was recovered by scanning.
struct TExpected {
    QByteArray Source;
    TDbxChainEnd End = TDbxChainEnd::Complete;
    bool Recovered = false;
};

struct TShape {
    const char* Name;
    std::function<QByteArray()> Write;
    std::vector<TExpected> Expected;
    bool IndexDamaged = false;
    int WithoutSource = 0;
};

std::vector<TExpected> Complete(const std::vector<TDbxFixtureMessage>& messages, bool recovered = false)
{
    std::vector<TExpected> expected;
    for (const TDbxFixtureMessage& message : messages) {
        if (!message.Deleted && !message.HeaderOnly)
            expected.push_back({message.Source, TDbxChainEnd::Complete, recovered});
    }
    return expected;
}

std::vector<TDbxFixtureMessage> WithDeleted()
{
    std::vector<TDbxFixtureMessage> messages = Messages(5, 1500);
    messages[1].Deleted = true;
    messages[3].Deleted = true;
    return messages;
}

std::vector<TDbxFixtureMessage> WithHeaderOnly()
{
    std::vector<TDbxFixtureMessage> messages = Messages(3);
    messages[1].HeaderOnly = true;
    return messages;
}

QByteArray ZeroedIndex(const std::vector<TDbxFixtureMessage>& messages)
{
    TDbxFixtureLayout layout;
    QByteArray file = WriteDbxMessageFile(messages, &layout);
    ZeroDbxIndex(file, layout);
    return file;
}

// The last block of the second message points back at its first.
QByteArray Cycle()
{
    TDbxFixtureLayout layout;
    QByteArray file = WriteDbxMessageFile(Messages(3, 2000), &layout);
    SetDbxBlockNext(file, layout.Blocks[1].back(), layout.Blocks[1].front());
    return file;
}

// The file ends inside the second block of the last message.
QByteArray Truncated()
{
    TDbxFixtureLayout layout;
    QByteArray file = WriteDbxMessageFile(Messages(3, 2000), &layout);
    // The writer puts the data blocks before the index, so the cut takes
    // the whole index with it.
    file.truncate(layout.Blocks[2][1] + 0x20);
    return file;
}

std::vector<TExpected> TruncatedExpected()
{
    // Cutting the file removes the index (written after the blocks): every
    // message left is found by scanning, the cut one only in part.
    const std::vector<TDbxFixtureMessage> messages = Messages(3, 2000);
    return {{messages[0].Source, TDbxChainEnd::Complete, true},
            {messages[1].Source, TDbxChainEnd::Complete, true},
            {messages[2].Source.left(0x200), TDbxChainEnd::Broken, true}};
}

const TShape kShapes[] = {
    {"EmptyFolder", [] { return WriteDbxMessageFile({}); }, {}},
    {"OneMessage", [] { return WriteDbxMessageFile(Messages(1)); }, Complete(Messages(1))},
    {"ManyDataBlocks", [] { return WriteDbxMessageFile(Messages(1, 300000)); }, Complete(Messages(1, 300000))},
    {"TenThousandMessages", [] { return WriteDbxMessageFile(Messages(10000)); }, Complete(Messages(10000))},
    {"DeletedMessages", [] { return WriteDbxMessageFile(WithDeleted()); }, Complete(WithDeleted())},
    {"HeaderOnlyMessages", [] { return WriteDbxMessageFile(WithHeaderOnly()); }, Complete(WithHeaderOnly()), false, 1},
    {"CycleInBlockChain", Cycle,
     {{Messages(3, 2000)[0].Source},
      {Messages(3, 2000)[1].Source, TDbxChainEnd::Cycle},
      {Messages(3, 2000)[2].Source}}},
    {"TruncatedFile", Truncated, TruncatedExpected(), true},
    {"ZeroedIndex", [] { return ZeroedIndex(Messages(40, 1200)); }, Complete(Messages(40, 1200), true), true},
    {"ZeroedIndexWithDeleted", [] { return ZeroedIndex(WithDeleted()); }, Complete(WithDeleted(), true), true},
};

class DbxShapes : public ::testing::TestWithParam<TShape>
{
};

TEST_P(DbxShapes, ReadBackAsWritten)
{
    const TShape& shape = GetParam();
    const QByteArray file = shape.Write();
    ASSERT_EQ(DbxKindOf(View(file)), TDbxKind::Messages);
    const TDbxMessageFile reader(View(file));
    const TDbxMessageList list = reader.Messages();
    EXPECT_EQ(list.IndexDamaged, shape.IndexDamaged);
    EXPECT_EQ(list.WithoutSource, shape.WithoutSource);
    ASSERT_EQ(list.Messages.size(), shape.Expected.size());
    int recovered = 0;
    for (size_t i = 0; i < list.Messages.size(); ++i) {
        QByteArray source;
        EXPECT_EQ(reader.ReadSource(list.Messages[i].DataOffset, source), shape.Expected[i].End) << i;
        EXPECT_EQ(source, shape.Expected[i].Source) << i;
        EXPECT_EQ(list.Messages[i].Recovered, shape.Expected[i].Recovered) << i;
        recovered += list.Messages[i].Recovered ? 1 : 0;
    }
    EXPECT_EQ(list.Recovered, recovered);
}

INSTANTIATE_TEST_SUITE_P(Dbx, DbxShapes, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.Name); });

// The example of an indexed info that the published description of the
// format walks through, byte for byte at its offset 0xBA00.
TEST(DbxReader, ThePublishedIndexedInfoExampleReadsAsDescribed)
{
    QByteArray file(0xBA00, '\0');
    file += QByteArray::fromHex("00ba00001c00000000000401800a00000100000002040000"
                                "84f0300007090000800912562609811b");
    TDbxIndexedInfo info;
    ASSERT_TRUE(info.Read(View(file), 0xBA00));
    EXPECT_EQ(info.Int(0x00), 0x0Au);        // stored directly
    EXPECT_EQ(info.Int(0x01), 0x0907u);      // four bytes of data
    EXPECT_EQ(info.String(0x02), QByteArray::fromHex("800912562609811b"));   // to the end of the data
    EXPECT_EQ(info.Int(0x04), 0x30F0u);      // stored directly
    EXPECT_FALSE(info.Has(0x03));
    EXPECT_FALSE(info.Time(0x02).isValid());   // not a date a mail program wrote
    // The object cut short, or looked for at another offset, is no object.
    EXPECT_FALSE(info.Read(View(file.left(file.size() - 1)), 0xBA00));
    EXPECT_FALSE(info.Read(View(file), 0xBA04));
}

TEST(DbxReader, StateAndReceivedDateComeFromTheMessageInfo)
{
    const QDateTime received(QDate(2004, 2, 29), QTime(23, 59, 58), Qt::UTC);
    std::vector<TDbxFixtureMessage> messages = Messages(2);
    messages[0].Flags = DbxFormat::kFlagMarked | DbxFormat::kFlagAnswered | DbxFormat::kFlagDraft;
    messages[0].Received = received;
    const QByteArray file = WriteDbxMessageFile(messages);
    const TDbxMessageList list = TDbxMessageFile(View(file)).Messages();
    ASSERT_EQ(list.Messages.size(), 2u);
    EXPECT_EQ(list.Messages[0].Flags, messages[0].Flags);
    EXPECT_EQ(list.Messages[0].Received, received);
    EXPECT_EQ(list.Messages[0].Index, 1u);
    EXPECT_EQ(list.Messages[1].Flags, DbxFormat::kFlagRead);
    EXPECT_FALSE(list.Messages[1].Received.isValid());
    EXPECT_EQ(list.Messages[1].Index, 2u);
}

// Every prefix of a small file, in a buffer of exactly that size, so that
// the address sanitizer sees any read past the end.
TEST(DbxReader, EveryTruncationReadsOnlyInsideTheFile)
{
    std::vector<TDbxFixtureMessage> messages = WithDeleted();
    messages.resize(3);
    const QByteArray whole = WriteDbxMessageFile(messages);
    for (qsizetype length = 0; length <= whole.size(); length += 7) {
        const std::vector<uchar> prefix(whole.begin(), whole.begin() + length);
        const TDbxBytes bytes(prefix.data(), qint64(prefix.size()));
        (void)DbxKindOf(bytes);
        const TDbxMessageFile reader(bytes);
        for (const TDbxMessage& message : reader.Messages().Messages) {
            QByteArray source;
            reader.ReadSource(message.DataOffset, source);
            EXPECT_LE(source.size(), length);
        }
        (void)ReadDbxFolders(bytes);
    }
}

// A file cut short or removed by someone else while it is read (another
// program, removable media going away) changes nothing of what was read.
TEST(DbxReader, AFileThatShrinksAfterOpeningIsReadAsItWas)
{
    const std::vector<TDbxFixtureMessage> messages = Messages(20, 3000);
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/Inbox.dbx");
    WriteTestFile(path, WriteDbxMessageFile(messages));
    TDbxFileBytes file;
    ASSERT_TRUE(file.Open(path));
    QFile::resize(path, 0);
    const TDbxMessageFile reader(file.Bytes());
    const TDbxMessageList list = reader.Messages();
    ASSERT_EQ(list.Messages.size(), messages.size());
    QByteArray source;
    EXPECT_EQ(reader.ReadSource(list.Messages.back().DataOffset, source), TDbxChainEnd::Complete);
    EXPECT_EQ(source, messages.back().Source);
}

TEST(DbxReader, TenThousandMessagesMakeAnIndexOfSeveralLevels)
{
    TDbxFixtureLayout layout;
    const QByteArray file = WriteDbxMessageFile(Messages(10000), &layout);
    // More nodes than a root and its direct children can be: three levels at least.
    EXPECT_GT(layout.TreeNodes.size(), 1u + 0x34u);
    EXPECT_EQ(TDbxMessageFile(View(file)).Messages().Messages.size(), 10000u);
}

TEST(DbxReader, ATreeThatPointsBackAtItselfEndsAndIsReportedDamaged)
{
    TDbxFixtureLayout layout;
    QByteArray file = WriteDbxMessageFile(Messages(200), &layout);
    ASSERT_GT(layout.TreeNodes.size(), 1u);
    // The root's first child pointer now points at the root.
    const quint32 root = layout.TreeNodes.front();
    file.replace(root + 8, 4, QByteArray(reinterpret_cast<const char*>(&root), 4));
    const TDbxMessageList list = TDbxMessageFile(View(file)).Messages();
    EXPECT_TRUE(list.IndexDamaged);
    // The messages of the lost subtree are found again by scanning.
    EXPECT_EQ(list.Messages.size(), 200u);
    EXPECT_GT(list.Recovered, 0);
}

TEST(DbxReader, ASubtreeCutOffByAZeroedPointerIsFoundAgainByScanning)
{
    TDbxFixtureLayout layout;
    QByteArray file = WriteDbxMessageFile(Messages(200), &layout);
    const quint32 root = layout.TreeNodes.front();
    file.replace(root + 8, 4, QByteArray(4, '\0'));   // the root's first child: now "no subtree"
    const TDbxMessageList list = TDbxMessageFile(View(file)).Messages();
    EXPECT_TRUE(list.IndexDamaged);
    EXPECT_GT(list.Recovered, 0);
    EXPECT_EQ(list.Messages.size(), 200u);
}

TEST(DbxReader, AWrongCountInTheHeaderAloneIsNoDamage)
{
    QByteArray file = WriteDbxMessageFile(Messages(20));
    file.replace(DbxFormat::kTreeEntriesOffset, 4, QByteArray("\x07\0\0\0", 4));
    const TDbxMessageList list = TDbxMessageFile(View(file)).Messages();
    EXPECT_FALSE(list.IndexDamaged);
    EXPECT_EQ(list.Recovered, 0);
    EXPECT_EQ(list.Messages.size(), 20u);
}

TEST(DbxReader, FileKindsAreToldApartByTheirHeader)
{
    QByteArray other = WriteDbxMessageFile({});
    other[4] = char(0xC7);   // the POP3 id database
    const struct {
        QByteArray File;
        TDbxKind Kind;
    } cases[] = {
        {WriteDbxMessageFile({}), TDbxKind::Messages},
        {WriteDbxFolderFile({}), TDbxKind::Folders},
        {other, TDbxKind::Other},
        {WriteDbxMessageFile({}).left(64), TDbxKind::Messages},
        {QByteArray("From someone\r\n").repeated(1000), TDbxKind::NotDbx},
        {QByteArray(), TDbxKind::NotDbx},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DbxKindOf(View(c.File)), c.Kind);
}

TEST(DbxReader, AFileCutInsideItsHeaderIsDamagedAndEmpty)
{
    const QByteArray file = WriteDbxMessageFile(Messages(2)).left(0x100);
    const TDbxMessageList list = TDbxMessageFile(View(file)).Messages();
    EXPECT_TRUE(list.IndexDamaged);
    EXPECT_TRUE(list.Messages.empty());
}

TEST(DbxReader, SavedFuzzerFindings)
{
    const QDir dir(FixturePath(QStringLiteral("dbx-crashes")));
    for (const QString& name : dir.entryList(QDir::Files)) {
        if (name == QLatin1String("README.md"))
            continue;
        SCOPED_TRACE(name.toStdString());
        const QByteArray input = ReadFixture(QStringLiteral("dbx-crashes/") + name);
        ReadWholeDbxFile(DbxFileFromFuzzInput(reinterpret_cast<const unsigned char*>(input.constData()),
                                              std::size_t(input.size())));
    }
}

TEST(DbxFolders, TheFolderListReadsBackAsWritten)
{
    const std::vector<TDbxFixtureFolder> written = StandardDbxFolders({
        {7, 2, "Projects", "Projects.dbx", 0, 3},
        {8, 0, "news.example.org", {}, 0, 0},
        {9, 8, "comp.lang.c++", "comp.lang.c++.dbx", 0, 0},
        {10, 1, "Path", "C:\\Store\\Path.dbx", 0, 3},
    });
    const QByteArray file = WriteDbxFolderFile(written);
    ASSERT_EQ(DbxKindOf(View(file)), TDbxKind::Folders);
    const TDbxFolderList list = ReadDbxFolders(View(file));
    EXPECT_FALSE(list.Damaged);
    ASSERT_EQ(list.Folders.size(), written.size());
    for (size_t i = 0; i < written.size(); ++i) {
        const TDbxFolder& folder = list.Folders[i];
        EXPECT_EQ(folder.Index, written[i].Index);
        EXPECT_EQ(folder.Parent, written[i].Parent);
        EXPECT_EQ(folder.Name, written[i].Name);
        EXPECT_EQ(folder.Special, int(written[i].Special));
        EXPECT_EQ(folder.Local, written[i].AccountKind == 3);
    }
    EXPECT_EQ(list.Folders[2].FileName, "Inbox.dbx");
    EXPECT_TRUE(list.Folders[1].FileName.isEmpty());
    // A stored path keeps only its file name.
    EXPECT_EQ(list.Folders.back().FileName, "Path.dbx");
}

} // namespace
