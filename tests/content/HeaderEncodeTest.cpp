// Encoding header text and mailboxes into encoded words.

#include "settings/CodePages.h"
#include "content/IdCoderHeader.h"
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
