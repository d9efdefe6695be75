#include "base/FastMemoryStream.h"
#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "settings/AppPaths.h"
#include "tests/content/ContentTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QLocale>

#include <thread>

namespace {

class MesgUtils : public TContentTest
{
protected:
    void SetUp() override
    {
        TContentTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    static void Parse(const QByteArray& source, TMimeMessage& message) { TMimeParser().Parse(source, message); }
};

TEST_F(MesgUtils, UnsentMarkerSurvivesWritingAndReadingBack)
{
    EXPECT_FALSE(IsUnsent(nullptr));
    TMimeMessage message;
    Parse("From: a@b\r\nSubject: draft\r\n\r\ntext\r\n", message);
    EXPECT_FALSE(IsUnsent(&message));
    // The editor records the marker among the generated fields of a rebuilt message.
    message.GeneratedHeaders().Set("Unsent", "1");
    TFastMemoryStream written;
    WriteMessage(message, written);
    TMimeMessage reread;
    Parse(written.ToByteArray(), reread);
    EXPECT_TRUE(IsUnsent(&reread));
}

struct TTextBodyCase
{
    const char* Name;
    QByteArray Source;
    const char* Charset;
    const char16_t* Text;
};

void PrintTo(const TTextBodyCase& c, std::ostream* out)
{
    *out << c.Name;
}

class TextBodyOf : public MesgUtils, public ::testing::WithParamInterface<TTextBodyCase>
{
};

// Trimming comes after decoding: in ISO-2022-JP the escape that opens the
// text is a control byte, and in UTF-16 every other byte may be one.
TEST_P(TextBodyOf, PicksThePartDecodesAndThenTrims)
{
    TMimeMessage message;
    Parse(GetParam().Source, message);
    QByteArray charset;
    QByteArray text;
    TextBody(message, charset, text);
    EXPECT_EQ(charset, QByteArray(GetParam().Charset));
    EXPECT_EQ(DecodedTextBody(message, 0), QString::fromUtf16(GetParam().Text));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, TextBodyOf,
    ::testing::Values(
        TTextBodyCase{"PlainBeforeHtml",
                      "Content-Type: multipart/alternative; boundary=b\r\n\r\n--b\r\nContent-Type: text/html; "
                      "charset=utf-8\r\n\r\n<p>h</p>\r\n--b\r\nContent-Type: TEXT/PLAIN; charset=koi8-r\r\n\r\n\t plain \x01\r\n--b--\r\n",
                      "koi8-r", u"plain"},
        TTextBodyCase{"HtmlWhenNoPlain",
                      "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: text/html\r\n\r\n<p>h</p>\r\n--b--\r\n",
                      "", u"<p>h</p>"},
        TTextBodyCase{"PartWithoutCharsetTakesTheMessages",
                      "Content-Type: multipart/mixed; boundary=b; charset=iso-8859-2\r\n\r\n--b\r\n\r\nx\r\n--b--\r\n",
                      "iso-8859-2", u"x"},
        TTextBodyCase{"BodyWithoutParts", "Content-Type: text/plain; charset=utf-8\r\n\r\n\r\n  body  \r\n\r\n", "utf-8",
                      u"body"},
        TTextBodyCase{"AttachmentIsNoText",
                      "Content-Type: multipart/mixed; boundary=b\r\n\r\npreamble\r\n--b\r\nContent-Type: text/plain; "
                      "name=a.txt\r\n\r\nfile\r\n--b--\r\n",
                      "", u"preamble"},
        TTextBodyCase{"Iso2022JpOpeningWithAnEscape",
                      "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n\x1b$BK\\J8$G$9!#\x1b(B\r\n", "ISO-2022-JP",
                      u"\u672C\u6587\u3067\u3059\u3002"},
        TTextBodyCase{"Iso2022JpAfterBlankLines",
                      "Content-Type: text/plain; charset=iso-2022-jp\r\n\r\n\r\n \r\n\x1b$BK\\J8\x1b(B end\r\n", "iso-2022-jp",
                      u"\u672C\u6587 end"},
        TTextBodyCase{"Utf7", "Content-Type: text/plain; charset=utf-7\r\n\r\n\r\n+ZeVnLIqe-\r\n", "utf-7",
                      u"\u65E5\u672C\u8A9E"},
        TTextBodyCase{"Utf16WithControlBytes",
                      QByteArray("Content-Type: text/plain; charset=utf-16le\r\nContent-Transfer-Encoding: base64\r\n\r\n") +
                          QByteArray(" \0A\0\n\0", 6).toBase64() + "\r\n",
                      "utf-16le", u"A"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MesgUtils, WriteMessageFileCreatesTheFileAndIgnoresAnEmptyName)
{
    TMimeMessage message;
    Parse("Subject: saved\r\n\r\nbody\r\n", message);
    WriteMessageFile(message, QString());
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/m.eml");
    WriteMessageFile(message, path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Subject: saved\r\n\r\nbody\r\n"));
}

TEST_F(MesgUtils, SetMailerSetsHeaderAndGeneratedField)
{
    TMimeMessage message;
    SetMailer(message);
    const QByteArray expected = QStringLiteral("Quorvan Mailer (v %1)").arg(ProgramVersion()).toLatin1();
    EXPECT_EQ(message.Headers().Value("X-Mailer"), expected);
    EXPECT_EQ(message.GeneratedHeaders().Value("x-mailer"), expected);
}

TEST_F(MesgUtils, DigestSubjects)
{
    EXPECT_TRUE(IsDigestSubject(QStringLiteral("Linux list digest NUMBER 42")));
    EXPECT_FALSE(IsDigestSubject(QStringLiteral("Re: Linux list Digest number 42")));
    EXPECT_FALSE(IsDigestSubject(QStringLiteral("Reports, Digest number 3")));   // begins with "re"
    EXPECT_FALSE(IsDigestSubject(QStringLiteral("Daily digest")));
}

TEST_F(MesgUtils, SubjectOrderFollowsReplyDepth)
{
    const QString ordered[] = {QStringLiteral("Budget"), QStringLiteral("Re: Budget"), QStringLiteral("RE: re: Budget"),
                               QStringLiteral("Re[2]: Budget")};
    for (int i = 0; i + 1 < 4; ++i) {
        EXPECT_LT(CompareSubjects(ordered[i], ordered[i + 1]), 0) << i;
        EXPECT_GT(CompareSubjects(ordered[i + 1], ordered[i]), 0) << i;
    }
    // One extra final character is cut off before comparing.
    EXPECT_EQ(CompareSubjects(QStringLiteral("Budget"), QStringLiteral("Budget!")), 0);
    EXPECT_LT(CompareSubjects(QString(), QStringLiteral("a")), 0);
    EXPECT_LT(CompareSubjects(QStringLiteral("apple"), QStringLiteral("Re: banana")), 0);
}

TEST_F(MesgUtils, DatesForDisplayAndMailboxes)
{
    EXPECT_TRUE(FormatMessageDate(0, 0).isEmpty());
    const double date = DateTimeToDays(QDateTime(QDate(2006, 1, 2), QTime(3, 4, 5), Qt::LocalTime));
    EXPECT_EQ(FormatMessageDate(1, date), QStringLiteral("Monday, January 2, 2006"));
    EXPECT_EQ(FormatMessageDate(2, date), QLocale().toString(QTime(3, 4), QLocale::ShortFormat));
    EXPECT_EQ(FormatMessageDate(0, date), FormatMessageDate(1, date) + u' ' + FormatMessageDate(2, date));
    EXPECT_EQ(MailboxDate(date), QStringLiteral("Mon Jan  2 03:04:05 2006"));
}

TEST_F(MesgUtils, DaysCountFromTheEndOf1899)
{
    EXPECT_EQ(DateTimeToDays(QDateTime(QDate(1900, 1, 1), QTime(12, 0), Qt::LocalTime)), 2.5);
    EXPECT_EQ(DateTimeToDays(QDateTime()), 0);
    const QDateTime when(QDate(2026, 3, 3), QTime(9, 59, 58), Qt::LocalTime);
    EXPECT_EQ(DaysToDateTime(DateTimeToDays(when)), when);
}

// Every instant of `instants` as the C library reads it in the zone,
// checked on a thread of its own, which starts with nothing looked up.
void ExpectDaysAsTheLibraryReadsThem(const char* zone, const std::vector<qint64>& instants)
{
    SCOPED_TRACE(zone);
    qputenv("TZ", zone);
    tzset();
    std::thread([&] {
        for (qint64 ms : instants) {
            const QDateTime local = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toLocalTime();
            const double expected = static_cast<double>(QDate(1899, 12, 30).daysTo(local.date()))
                                    + local.time().msecsSinceStartOfDay() / 86400000.0;
            ASSERT_EQ(DateTimeToDays(QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC)), expected) << ms;
        }
    }).join();
}

// The zone's offsets are looked up once per span between two transitions
// (or for decades, in a zone without them): every instant, also those right
// at a change of daylight saving time, still reads as the C library reads it.
TEST_F(MesgUtils, DaysFollowTheLocalZoneAcrossDaylightSavingChanges)
{
    std::vector<qint64> instants;
    const qint64 start = QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    for (qint64 ms = start; ms < start + 800LL * 86400000; ms += 37 * 60000 + 13)
        instants.push_back(ms);
    // The changes of 2024 and 2025 in Europe and the milliseconds around
    // them, and dates decades away.
    for (const QDateTime& change : {QDateTime(QDate(2024, 3, 31), QTime(1, 0), Qt::UTC),
                                   QDateTime(QDate(2024, 10, 27), QTime(1, 0), Qt::UTC),
                                   QDateTime(QDate(2025, 3, 30), QTime(1, 0), Qt::UTC),
                                   QDateTime(QDate(1971, 6, 1), QTime(12, 0), Qt::UTC),
                                   QDateTime(QDate(2069, 1, 1), QTime(0, 0), Qt::UTC)})
        for (qint64 delta : {-1, 0, 1})
            instants.push_back(change.toMSecsSinceEpoch() + delta);
    const QByteArray previous = qgetenv("TZ");
    for (const char* zone : {"Europe/Berlin", "UTC", "Asia/Kolkata", "America/Sao_Paulo"})
        ExpectDaysAsTheLibraryReadsThem(zone, instants);
    if (previous.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", previous);
    tzset();
}

TEST_F(MesgUtils, StripAnglesAndFileUrls)
{
    EXPECT_EQ(StripAngles(QByteArray("  <id@host>  ")), QByteArray("id@host"));
    EXPECT_EQ(StripAngles(QByteArray("<<a>>")), QByteArray("<a>"));
    EXPECT_EQ(StripAngles(QStringLiteral("id>")), QStringLiteral("id"));
    EXPECT_EQ(FileUrlPath(QStringLiteral("/tmp/my file*#%<>\\x.png")),
              QStringLiteral("/tmp/my%20file%2A%23%25%3C%3E\\x.png"));
}

TEST_F(MesgUtils, HeaderFieldsAreToldApartFromOtherData)
{
    struct TCase {
        const char* Name;
        QByteArray Source;
        bool HasHeader;
    };
    const TCase cases[] = {
        {"Field", "Subject: x\r\n\r\nbody", true},
        {"FieldWithoutBlank", "X-Mailer:y", true},
        {"EmptyValueAtTheEnd", "Subject:", true},
        {"Empty", "", false},
        {"EmptyLineFirst", "\r\nSubject: x", false},
        {"Text", "Dear John, how are you?\n", false},
        {"SpaceBeforeColon", "From alice Mon Jan  3 10:00:00 1983\n", false},
        {"ColonFirst", ":x", false},
        {"Binary", QByteArray("\x89PNG\r\n\x1a\n\0\0", 10), false},
        {"NameOnly", "Subject", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(StartsWithHeaderField(c.Source), c.HasHeader) << c.Name;
}

TEST_F(MesgUtils, CleanFileNames)
{
    EXPECT_EQ(CleanFileName(QStringLiteral("a:?b")), QStringLiteral("a_b"));
    EXPECT_EQ(CleanFileName(QStringLiteral("\\/:*?\"<>|")), QStringLiteral("_"));
    EXPECT_EQ(CleanFileName(QStringLiteral("x_:y")), QStringLiteral("x_y"));
    EXPECT_EQ(CleanFileName(QStringLiteral("tab\there\n")), QStringLiteral("tabhere"));
    // DEL, C1 controls and bidirectional overrides never reach a file name.
    EXPECT_EQ(CleanFileName(QString::fromUtf16(u"a\u007fb\u0085c\u009bd")), QStringLiteral("abcd"));
    EXPECT_EQ(CleanFileName(QString::fromUtf16(u"invoice\u202Egpj.exe\u2066\u200F")), QStringLiteral("invoicegpj.exe"));
}

} // namespace
