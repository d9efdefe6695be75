// The quick scan for the list fields against TMimeParser's Structure parse:
// wherever the scan reads a message, both give the same header fields,
// content type, charset and leaf parts; the scan gives up on the rest.

#include "content/MimeListScan.h"

#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "tests/content/ContentTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>

#include <random>

namespace {

// What the list reads of a parsed message.
QByteArray Structure(const TMimeMessage& message)
{
    QByteArray out = "type " + message.ContentType() + "; charset " + message.Charset() + '\n';
    for (const TMimeHeader& header : message.Headers().Items())
        out += "header " + header.Name + ": " + header.Value + '\n';
    for (int i = 0; i < message.PartCount(); ++i) {
        const TMimePart& part = message.Part(i);
        out += part.Kind() == TMimePart::TKind::Text ? "text " : "attachment ";
        out += part.ContentType() + "; charset " + part.Charset() + '\n';
    }
    return out;
}

QByteArray ParsedStructure(const QByteArray& source)
{
    TMimeMessage message;
    TMimeParser().Parse(source, message, TMimeParser::TMode::Structure);
    return Structure(message);
}

// The scan's reading; empty when it gave up.
QByteArray ScannedStructure(const QByteArray& source)
{
    TMimeMessage message;
    if (!ScanListStructure(source, message)) {
        EXPECT_EQ(message.Headers().Count(), 0);
        EXPECT_EQ(message.PartCount(), 0);
        return {};
    }
    return Structure(message);
}

QByteArray Fixture(const QString& name)
{
    return ReadFixture(name);
}

// Messages of the shapes that lists meet every day.
const char* const kEveryDay[] = {
    "From: a@example.org\r\nSubject: plain\r\n\r\nbody\r\n",
    "From: a@example.org\nSubject: lf only\nContent-Type: text/plain; charset=\"koi8-r\"\n\nbody\n",
    "Subject: no body at all",
    "\r\nno header\r\n",
    "Subject: folded\r\n  on two lines\r\n\tand three\r\nTo: x@y\r\n\r\n",
    "Subject: \xc1\xc2 raw 8-bit\r\nContent-Type: TEXT/Plain;CHARSET=Windows-1251;format=flowed\r\n\r\nx\r\n",
    "Content-Type: text/html; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n<p>=C3=A9</p>\r\n",
    "Content-Type: application/pdf; name=\"a.pdf\"\r\nContent-Transfer-Encoding: base64\r\n\r\nJVBERi0=\r\n",
    "Content-Type: multipart/alternative; boundary=\"b1\"\r\n\r\npreamble\r\n--b1\r\n"
    "Content-Type: text/plain; charset=us-ascii\r\n\r\nplain\r\n--b1\r\n"
    "Content-Type: text/html; charset=\"windows-1251\"\r\n\r\n<b>html</b>\r\n--b1--\r\nepilogue\r\n",
    "Content-Type: multipart/mixed;\r\n boundary=outer\r\n\r\n--outer\r\n"
    "Content-Type: multipart/alternative; boundary=inner\r\n\r\n--inner\r\n\r\ndefault type\r\n"
    "--inner\r\nContent-Type: text/html\r\n\r\nx\r\n--inner--\r\n--outer\r\n"
    "Content-Type: image/png\r\nContent-Disposition: inline\r\n\r\nPNG\r\n--outer\r\n"
    "Content-Type: text/plain\r\nContent-Disposition: attachment\r\n\r\nnotes\r\n--outer\r\n"
    "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\naGVsbG8=\r\n"
    "--outer--\r\n",
};

// Shapes the scan leaves to the full parser.
const char* const kGivenUp[] = {
    "Subject: ok\r\nnot a header line\r\n\r\nbody\r\n",
    " Subject: starts with a blank\r\n\r\n",
    "From sender@example.org Mon Jan  1 00:00:00 2024\r\nSubject: mbox\r\n\r\n",
    "Subject: bare\rCR\r\n\r\n",
    "Content-Type: text/plain; charset=\"utf-8\" (comment)\r\n\r\n",
    "Content-Type: text/plain; charset*=utf-8''x\r\n\r\n",
    "Content-Type: text/plain\r\nContent-Type: text/html\r\n\r\n",
    "Content-Type: message/rfc822\r\n\r\nSubject: inner\r\n\r\n",
    "Content-Type: multipart/mixed\r\n\r\n--x\r\n\r\nno boundary parameter\r\n--x--\r\n",
    "Content-Type: multipart/mixed; boundary=x\r\n\r\n--x\r\n\r\nnever closed\r\n",
    "Content-Type: multipart/mixed; boundary=x\r\n\r\n--x \r\n\r\nblank after\r\n--x--\r\n",
    "Content-Type: multipart/mixed; boundary=x\r\n\r\n--x\r\n\r\n--xy looks alike\r\n--x--\r\n",
    "Content-Type: multipart/digest; boundary=x\r\n\r\n--x\r\n\r\nSubject: m\r\n\r\n--x--\r\n",
    "Subject: uu\r\n\r\nbegin 644 file.txt\r\n#86)C\r\n`\r\nend\r\n",
    "Content-Transfer-Encoding: x-uuencode\r\n\r\nbegin 644 a\r\n`\r\nend\r\n",
};

} // namespace

class MimeListScan : public TContentTest
{
};

TEST_F(MimeListScan, ReadsEveryDayShapesAsTheFullParserDoes)
{
    for (const char* source : kEveryDay) {
        SCOPED_TRACE(source);
        EXPECT_EQ(ScannedStructure(source).toStdString(), ParsedStructure(source).toStdString());
    }
}

TEST_F(MimeListScan, GivesUpWhereItCannotBeSure)
{
    for (const char* source : kGivenUp) {
        SCOPED_TRACE(source);
        EXPECT_TRUE(ScannedStructure(source).isEmpty());
    }
    EXPECT_TRUE(ScannedStructure(QByteArrayLiteral("Subject: nul\0\r\n\r\n")).isEmpty());
}

// Every fixture: read exactly as the full parser does, or left to it.
TEST_F(MimeListScan, FixturesAreReadAlikeOrLeftToTheFullParser)
{
    int read = 0;
    int total = 0;
    for (const QString& folder : {QStringLiteral("mime"), QStringLiteral("view")}) {
        const QDir dir(FixturePath(folder));
        for (const QString& name : dir.entryList({QStringLiteral("*.eml")}, QDir::Files)) {
            SCOPED_TRACE(name.toStdString());
            const QByteArray source = Fixture(folder + u'/' + name);
            const QByteArray scanned = ScannedStructure(source);
            ++total;
            if (scanned.isEmpty())
                continue;
            ++read;
            EXPECT_EQ(scanned.toStdString(), ParsedStructure(source).toStdString());
        }
    }
    // The well-formed fixtures are the scan's to read.
    EXPECT_GE(read, total / 2);
}

// Random damage to well-formed and broken messages: wherever the scan still
// reads the result, it reads it as the full parser does.
TEST_F(MimeListScan, DamagedMessagesAreReadAlikeOrLeftToTheFullParser)
{
    std::vector<QByteArray> seeds(std::begin(kEveryDay), std::end(kEveryDay));
    for (const char* name : {"mime/alternative.eml", "mime/nested.eml", "mime/html-single.eml",
                             "view/three-attachments.eml", "view/alternative-cid.eml"})
        seeds.push_back(Fixture(QLatin1String(name)));
    const QByteArray pieces[] = {
        " ", "\t", "\r", "\n", "\r\n", "\r\n ", "\r\n\r\n", ":", ";", "\"", "=", "-", "--", "\r\n--", "a", "*", "(",
        "\\", "/", "boundary=", "charset=", "name=\"x\"", "filename=", "=?utf-8?q?x?=", "begin 6",
        "Content-Type: text/plain; charset=koi8-r\r\n", "Content-Disposition: attachment\r\n",
        "Content-Transfer-Encoding: base64\r\n"};
    std::mt19937 random(20260311);
    int read = 0;
    int tried = 0;
    for (const QByteArray& seed : seeds) {
        for (int round = 0; round < 300; ++round) {
            QByteArray source = seed;
            for (int change = 1 + static_cast<int>(random() % 3); change > 0 && !source.isEmpty(); --change) {
                const auto at = static_cast<qsizetype>(random() % static_cast<unsigned>(source.size()));
                switch (random() % 4) {
                case 0: source.remove(at, 1 + static_cast<qsizetype>(random() % 4)); break;
                case 1: source.insert(at, pieces[random() % std::size(pieces)]); break;
                case 2: source.truncate(at); break;
                default: {
                    // A line repeated elsewhere: delimiters and headers out of place.
                    const qsizetype start = source.lastIndexOf('\n', at) + 1;
                    const qsizetype end = source.indexOf('\n', at);
                    const QByteArray line = source.mid(start, end < 0 ? -1 : end - start + 1);
                    source.insert(static_cast<qsizetype>(random() % static_cast<unsigned>(source.size())), line);
                    break;
                }
                }
            }
            const QByteArray scanned = ScannedStructure(source);
            ++tried;
            if (scanned.isEmpty())
                continue;
            ++read;
            ASSERT_EQ(scanned.toStdString(), ParsedStructure(source).toStdString()) << source.toStdString();
        }
    }
    // Most damage is harmless (a letter in a body): the test must see reads.
    EXPECT_GT(read, tried / 4);
}
