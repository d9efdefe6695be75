// Encoding header text and mailboxes into encoded words.

#include "settings/CodePages.h"
#include "content/IdCoderHeader.h"
#include "content/Utf16Funcs.h"
#include "settings/SystemCodePage.h"
#include "content/WideIdEMailAddress.h"
#include "tests/content/ContentTestSupport.h"

#include <QLocale>

namespace {

QByteArray Cp1251(std::u16string_view text)
{
    return UnicodeToCodePage(U(text), 1251);
}

class HeaderEncoding : public TContentTest
{
};

TEST_F(HeaderEncoding, AsciiTextStaysAsItIs)
{
    EXPECT_EQ(EncodeHeaderText("Hello, world", {}, 'B', THeaderTransfer::Bit8, "utf-8"), QByteArray("Hello, world"));
    EXPECT_EQ(EncodeHeaderText({}, {}, 'B', THeaderTransfer::Bit8, "utf-8"), QByteArray());
}

TEST_F(HeaderEncoding, AdjacentWordsShareOneRun)
{
    EXPECT_EQ(EncodeHeaderText(Cp1251(u"Привет мир and more"), {}, 'Q', THeaderTransfer::Bit8, "windows-1251"),
              QByteArray("=?windows-1251?Q?=CF=F0=E8=E2=E5=F2_=EC=E8=F0?= and more"));
    EXPECT_EQ(EncodeHeaderText(Cp1251(u"Re:  Привет"), {}, 'B', THeaderTransfer::Bit8, "windows-1251"),
              QByteArray("Re:  =?windows-1251?B?z/Do4uXy?="));
}

TEST_F(HeaderEncoding, QEscapesItsOwnSpecialCharactersInsideARun)
{
    EXPECT_EQ(EncodeHeaderText(QByteArray("\xE9=?_\tx"), {}, 'Q', THeaderTransfer::Bit8, "iso-8859-1"),
              QByteArray("=?iso-8859-1?Q?=E9=3D=3F=5F?=\tx"));
}

TEST_F(HeaderEncoding, LetterEightLeavesTextRaw)
{
    EXPECT_EQ(EncodeHeaderText(Cp1251(u"Привет"), {}, '8', THeaderTransfer::Bit8, "windows-1251"), Cp1251(u"Привет"));
}

TEST_F(HeaderEncoding, TextThatReadsAsEncodedWordIsEncoded)
{
    const QByteArray encoded = EncodeHeaderText("=?utf-8?Q?x?=", {}, 'Q', THeaderTransfer::Bit8, "utf-8");
    EXPECT_EQ(encoded, QByteArray("=?utf-8?Q?=3D=3Futf-8=3FQ=3Fx=3F=3D?="));
    EXPECT_EQ(DecodeEncodedWordsAnsi(encoded), QByteArray("=?utf-8?Q?x?="));
}

TEST_F(HeaderEncoding, SpecialsForceEncoding)
{
    EXPECT_EQ(EncodeHeaderText("Doe, John", AddressSpecials(), 'Q', THeaderTransfer::Bit8, "us-ascii"),
              QByteArray("=?us-ascii?Q?Doe=2C?= John"));
}

TEST_F(HeaderEncoding, LongRunsAreSplitIntoLinesOf75)
{
    const QByteArray text(200, '\xE9');
    for (char letter : {'Q', 'B'}) {
        const QByteArray encoded = EncodeHeaderText(text, {}, letter, THeaderTransfer::Bit8, "iso-8859-1");
        const QList<QByteArray> lines = encoded.split('\n');
        ASSERT_GT(lines.size(), 2) << letter;
        for (const QByteArray& line : lines) {
            const QByteArray word = line.trimmed();
            EXPECT_LE(word.size(), 75) << letter;
            EXPECT_TRUE(word.startsWith("=?iso-8859-1?") && word.endsWith("?=")) << word.toStdString();
        }
        EXPECT_EQ(DecodeEncodedWordsAnsi(encoded), text) << letter;
    }
}

// Long runs in single-byte charsets fold where they always did.
TEST_F(HeaderEncoding, SingleByteRunsFoldAtTheSamePlaces)
{
    const QByteArray cyrillic = Cp1251(u"Съешь же ещё этих мягких французских булок, да выпей чаю");
    EXPECT_EQ(EncodeHeaderText(cyrillic, {}, 'Q', THeaderTransfer::Bit8, "windows-1251"), QByteArray("=?windows-1251?Q?=D1=FA=E5=F8=FC_=E6=E5_=E5=F9=B8_=FD=F2=E8=F5_=EC=FF=E3?=\r\n"
                         " =?windows-1251?Q?=EA=E8=F5_=F4=F0=E0=ED=F6=F3=E7=F1=EA=E8=F5_=E1=F3=EB=EE?=\r\n"
                         " =?windows-1251?Q?=EA,_=E4=E0_=E2=FB=EF=E5=E9_=F7=E0=FE?="));
    EXPECT_EQ(EncodeHeaderText(cyrillic, {}, 'B', THeaderTransfer::Bit8, "windows-1251"), QByteArray("=?windows-1251?B?0frl+Pwg5uUg5fm4IP3y6PUg7P/j6uj1IPTw4O328+fx6uj1IOHz6+7q?=\r\n"
                         " =?windows-1251?B?LCDk4CDi++/l6SD34P4=?="));
}

struct TFoldCase {
    const char* Name;
    const char16_t* Text;
    const char* Charset;
    char Letter;
    THeaderTransfer Transfer;
    unsigned CodePage;   // the system code page while decoding (ISO-2022-JP words widen through it)
};

void PrintTo(const TFoldCase& c, std::ostream* out)
{
    *out << c.Name;
}

class HeaderFolding : public TContentTest, public ::testing::WithParamInterface<TFoldCase>
{
};

// Every encoded word holds whole characters and reads on its own; an
// ISO-2022-JP word ends in ASCII mode; all words together read as the text.
TEST_P(HeaderFolding, EachEncodedWordHoldsWholeCharacters)
{
    const TFoldCase& c = GetParam();
    const QString text = QString::fromUtf16(c.Text);
    SetSystemCodePage(c.CodePage);
    const QByteArray bytes = c.Transfer == THeaderTransfer::Iso2022Jp
                                 ? UnicodeToCodePage(text, 932)
                                 : EncodeCharsetText(text, CharsetFromName(QString::fromLatin1(c.Charset)));
    const QByteArray encoded = EncodeHeaderText(bytes, {}, c.Letter, c.Transfer, c.Charset);
    const QList<QByteArray> lines = encoded.split('\n');
    EXPECT_GT(lines.size(), 1) << encoded.toStdString();
    for (const QByteArray& line : lines) {
        const QByteArray word = line.trimmed();
        EXPECT_LE(word.size(), 75) << word.toStdString();
        const QString decoded = DecodeEncodedWords(QString::fromLatin1(word));
        EXPECT_FALSE(decoded.contains(QChar(0xFFFD))) << word.toStdString();
        EXPECT_TRUE(text.contains(decoded)) << word.toStdString();
        const QByteArray raw = DecodeEncodedWordsAnsi(word);
        if (c.Transfer == THeaderTransfer::Iso2022Jp) {
            EXPECT_TRUE(!raw.contains('\x1B') || raw.endsWith("\x1B(B")) << word.toStdString();
        }
    }
    EXPECT_EQ(DecodeEncodedWords(QString::fromLatin1(encoded)), text);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderFolding,
    ::testing::Values(
        TFoldCase{"Utf8Q", u"a\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C", "utf-8", 'Q',
                  THeaderTransfer::Bit8, 1252},
        TFoldCase{"Utf8B", u"\u65E5\u672C\u8A9E\u306E\u4EF6\u540D\u3067\u3059\u3002\u65E5\u672C\u8A9E\u306E\u4EF6"
                           u"\u540D\u3067\u3059\u3002\u65E5\u672C\u8A9E\u306E\u4EF6\u540D\u3067\u3059\u3002",
                  "utf-8", 'B', THeaderTransfer::Bit8, 1252},
        TFoldCase{"Utf8SurrogatePairs", u"\U0001F600\U0001F601\U0001F602\U0001F603\U0001F604\U0001F605\U0001F606"
                                        u"\U0001F607\U0001F608\U0001F609\U0001F60A\U0001F60B\U0001F60C\U0001F60D",
                  "utf-8", 'B', THeaderTransfer::Bit8, 1252},
        TFoldCase{"Iso2022JpTransfer", u"\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C"
                                       u"\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C\u4E9C",
                  "ISO-2022-JP", 'B', THeaderTransfer::Iso2022Jp, 932},
        TFoldCase{"Iso2022JpWordsAndSpaces", u"\u65E5\u672C\u8A9E \u65E5\u672C\u8A9E\u65E5\u672C\u8A9E \u3042\u3044 "
                                             u"\u65E5\u672C\u8A9E\u65E5\u672C\u8A9E \u3042 \u65E5\u672C\u8A9E\u65E5"
                                             u"\u672C\u8A9E\u65E5\u672C\u8A9E \u304B\u304D",
                  "ISO-2022-JP", 'Q', THeaderTransfer::Iso2022Jp, 932},
        TFoldCase{"ShiftJisQ", u"\u65E5\u672C\u8A9E\u306E\u4EF6\u540D\u3067\u3059\u3002\u65E5\u672C\u8A9E\u306E"
                               u"\u4EF6\u540D",
                  "Shift_JIS", 'Q', THeaderTransfer::Bit8, 1252},
        TFoldCase{"EucJpB", u"\u65E5\u672C\u8A9E\u306E\u4EF6\u540D\u3067\u3059\u3002\u65E5\u672C\u8A9E\u306E"
                            u"\u4EF6\u540D\u3067\u3059\u3002\u65E5\u672C\u8A9E\u306E\u4EF6\u540D\u3067\u3059",
                  "EUC-JP", 'B', THeaderTransfer::Bit8, 1252},
        TFoldCase{"GbkQ", u"\u4E2D\u6587\u90AE\u4EF6\u4E3B\u9898\u4E2D\u6587\u90AE\u4EF6\u4E3B\u9898\u4E2D\u6587",
                  "GBK", 'Q', THeaderTransfer::Bit8, 936},
        TFoldCase{"Big5B", u"\u4E2D\u6587\u90F5\u4EF6\u4E3B\u984C\u4E2D\u6587\u90F5\u4EF6\u4E3B\u984C\u4E2D\u6587"
                           u"\u90F5\u4EF6\u4E3B\u984C\u4E2D\u6587\u90F5\u4EF6\u4E3B\u984C\u4E2D\u6587",
                  "Big5", 'B', THeaderTransfer::Bit8, 950},
        TFoldCase{"EucKrQ", u"\uD55C\uAD6D\uC5B4 \uBA54\uC77C \uC81C\uBAA9\uC785\uB2C8\uB2E4 \uD55C\uAD6D\uC5B4",
                  "EUC-KR", 'Q', THeaderTransfer::Bit8, 1252}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(HeaderEncoding, Iso2022JpTransferConvertsShiftJisFirst)
{
    EXPECT_EQ(EncodeHeaderText(QByteArray("\x93\xFA\x96\x7B"), {}, 'B', THeaderTransfer::Iso2022Jp, "ISO-2022-JP"),
              QByteArray("=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?="));
}

TEST_F(HeaderEncoding, DefaultsFollowTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    THeaderEncoding encoding = DefaultHeaderEncoding();
    EXPECT_EQ(encoding.Letter, 'Q');
    EXPECT_EQ(encoding.Charset, QByteArray("ISO-8859-1"));
    QLocale::setDefault(QLocale(QStringLiteral("ja_JP")));
    encoding = DefaultHeaderEncoding();
    EXPECT_EQ(encoding.Letter, 'B');
    EXPECT_EQ(encoding.Transfer, THeaderTransfer::Iso2022Jp);
    EXPECT_EQ(encoding.Charset, QByteArray("ISO-2022-JP"));
    QLocale::setDefault(saved);
}

class MailboxEncoding : public TContentTest
{
};

TEST_F(MailboxEncoding, PlainNameIsQuotedWithEscapes)
{
    const TWideIdEMailAddressItem item(QStringLiteral("Say \"hi\" \\o/"), QStringLiteral("a@example.com"));
    EXPECT_EQ(EncodeMailbox(item, 'B', THeaderTransfer::Bit8, "utf-8", false),
              QByteArray("\"Say \\\"hi\\\" \\\\o/\" <a@example.com>"));
}

TEST_F(MailboxEncoding, NonAsciiNameIsEncodedInTheCharset)
{
    const TWideIdEMailAddressItem item(U(u"René"), QStringLiteral("rene@example.fr"));
    EXPECT_EQ(EncodeMailbox(item, 'B', THeaderTransfer::Bit8, "utf-8", false),
              QByteArray("=?utf-8?B?UmVuw6k=?= <rene@example.fr>"));
    EXPECT_EQ(EncodeMailbox(item, '8', THeaderTransfer::Bit8, "windows-1252", false),
              QByteArray("Ren\xE9 <rene@example.fr>"));
}

TEST_F(MailboxEncoding, EmptyNameGivesAddressOrAddressAsName)
{
    const TWideIdEMailAddressItem item(QString(), QStringLiteral("a@example.com"));
    EXPECT_EQ(EncodeMailbox(item, 'B', THeaderTransfer::Bit8, "utf-8", false), QByteArray("a@example.com"));
    EXPECT_EQ(EncodeMailbox(item, 'B', THeaderTransfer::Bit8, "utf-8", true),
              QByteArray("\"a@example.com\" <a@example.com>"));
}

TEST_F(MailboxEncoding, ListJoinsWithCommas)
{
    TWideIdEMailAddressList list;
    list.SetAddressListText(QStringLiteral("Ann <ann@example.com>, bob@example.com"));
    EXPECT_EQ(EncodeMailboxList(list, 'B', THeaderTransfer::Bit8, "utf-8", false),
              QByteArray("\"Ann\" <ann@example.com>, bob@example.com"));
}

} // namespace
