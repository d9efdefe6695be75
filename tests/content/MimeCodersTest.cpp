#include "content/MimeCoders.h"
#include "tests/content/ContentTestSupport.h"
#include "tests/support/TestEnvironment.h"

namespace {

struct TLineCase
{
    const char* Name;
    const char* Line;
    TLineCoder Coder;
    const char* Bytes;
};

class CodedLine : public ::testing::TestWithParam<TLineCase>
{
};

TEST_P(CodedLine, Decodes)
{
    EXPECT_EQ(DecodeCodedLine(GetParam().Line, GetParam().Coder), QByteArray(GetParam().Bytes));
}

INSTANTIATE_TEST_SUITE_P(Lines, CodedLine,
                         ::testing::Values(TLineCase{"UueWord", "%:&5L;&\\`", TLineCoder::Uue, "hello"},
                                           TLineCase{"UueZeroLine", "`", TLineCoder::Uue, ""},
                                           // A line cut short gives the bytes it holds.
                                           TLineCase{"UueShortLine", "%:&5L", TLineCoder::Uue, "hel"},
                                           TLineCase{"XxeWord", "3O4JgP4w+", TLineCoder::Xxe, "hello"},
                                           TLineCase{"XxeZeroLine", "+", TLineCoder::Xxe, ""}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(EmbeddedFiles, BlockWithoutEndKeepsTheDataSoFar)
{
    const TEmbeddedScan scan = ExtractEmbeddedFiles("text\r\nbegin 600 a.txt\r\n%:&5L;&\\`\r\n");
    ASSERT_EQ(scan.Files.size(), 1u);
    EXPECT_EQ(scan.Files[0].Name, QByteArray("a.txt"));
    EXPECT_EQ(scan.Files[0].Data, QByteArray("hello"));
    EXPECT_EQ(scan.Text, QByteArray("text\r\n"));
}

TEST(EmbeddedFiles, LinesThatOnlyLookLikeABlockStayText)
{
    const QByteArray body = "begin the meeting at 10\r\nbegin 99 x\r\nend\r\n";
    const TEmbeddedScan scan = ExtractEmbeddedFiles(body);
    EXPECT_TRUE(scan.Files.empty());
    EXPECT_EQ(scan.Text, body);
}

TEST(EmbeddedFiles, TellsXxencodeFromUuencodeByTheFirstLine)
{
    const TEmbeddedScan scan = ExtractEmbeddedFiles("begin 644 x\n3O4JgP4w+\n+\nend\nbegin 644 u\n%:&5L;&\\`\n`\nend\n");
    ASSERT_EQ(scan.Files.size(), 2u);
    EXPECT_EQ(scan.Files[0].Data, QByteArray("hello"));
    EXPECT_EQ(scan.Files[1].Data, QByteArray("hello"));
    EXPECT_TRUE(scan.Text.isEmpty());
}

// The BinHex block of the corpus, cut at several places.
QByteArray BinHexBlock()
{
    const QByteArray mail = ReadFixture(QStringLiteral("mime/binhex.eml"));
    const qsizetype start = mail.indexOf("(This file");
    return mail.mid(start, mail.indexOf(":\r\n\r\nThat") + 1 - start);
}

TEST(BinHex, DecodesNameAndDataFork)
{
    TEmbeddedFile file;
    ASSERT_TRUE(DecodeBinHex(BinHexBlock(), file));
    EXPECT_EQ(file.Name, QByteArray("ReadMe"));
    ASSERT_EQ(file.Data.size(), 305);
    EXPECT_TRUE(file.Data.startsWith("Mac text\rMac text\rMac text\r\x90\x90" "AAAA"));
}

TEST(BinHex, DataForkCutShortKeepsWhatArrived)
{
    TEmbeddedFile file;
    ASSERT_TRUE(DecodeBinHex(BinHexBlock().left(120), file));
    EXPECT_EQ(file.Name, QByteArray("ReadMe"));
    EXPECT_GT(file.Data.size(), 0);
    EXPECT_LT(file.Data.size(), 305);
}

TEST(BinHex, HeaderCutShortIsNoFileAndStaysText)
{
    TEmbeddedFile file;
    const QByteArray cut = BinHexBlock().left(60);
    EXPECT_FALSE(DecodeBinHex(cut, file));
    const TEmbeddedScan scan = ExtractEmbeddedFiles("before\r\n" + cut + "\r\n");
    EXPECT_TRUE(scan.Files.empty());
    EXPECT_EQ(scan.Text, "before\r\n" + cut + "\r\n");
}

} // namespace
