#include "messages/MesgFiles.h"

#include "content/attach/AttachmentNames.h"

#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "tests/messages/MesgTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include "base/SafeFile.h"

#include <QFile>

#include <unistd.h>

namespace {

class MesgFiles : public TMesgTest
{
};

TEST_F(MesgFiles, NamesBecomeUniqueIgnoringCaseAndEndInEml)
{
    QStringList names{QStringLiteral("Report"), QString(), QStringLiteral("report"), QStringLiteral("REPORT"),
                      QStringLiteral("other"), QString()};
    NormaliseFileNames(names);
    EXPECT_EQ(names, (QStringList{QStringLiteral("Report.eml"), QStringLiteral("no subject.eml"),
                                  QStringLiteral("Report002.eml"), QStringLiteral("Report003.eml"),
                                  QStringLiteral("other.eml"), QStringLiteral("no subject002.eml")}));
}

TEST_F(MesgFiles, UniquePathsNumberTheNameBeforeItsExtension)
{
    const QString folder = TTestEnvironment::NewFolder();
    for (const char* existing : {"a.eml", "a01.eml", "plain"}) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(existing));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(UniqueFilePath(folder, QStringLiteral("a.eml")), folder + QStringLiteral("/a02.eml"));
    EXPECT_EQ(UniqueFilePath(folder + QLatin1Char('/'), QStringLiteral("b.eml")), folder + QStringLiteral("/b.eml"));
    EXPECT_EQ(UniqueFilePath(folder, QStringLiteral("plain")), folder + QStringLiteral("/plain01"));
    EXPECT_EQ(UniqueFilePath(folder, QString()), folder + QLatin1Char('/'));
}

TEST_F(MesgFiles, ALinkToNothingIsATakenNameAndNoFreeNameGivesNone)
{
    const QString folder = TTestEnvironment::NewFolder();
    ASSERT_EQ(::symlink("/nonexistent/elsewhere", QFile::encodeName(folder + QStringLiteral("/l.eml")).constData()), 0);
    EXPECT_EQ(UniqueFilePath(folder, QStringLiteral("l.eml")), folder + QStringLiteral("/l01.eml"));
    WriteTestFile(folder + QStringLiteral("/f.eml"), "x");
    for (int i = 1; i <= 999; ++i)
        WriteTestFile(folder + QStringLiteral("/f%1.eml").arg(i, 2, 10, QLatin1Char('0')), "x");
    EXPECT_EQ(UniqueFilePath(folder, QStringLiteral("f.eml")), QString());
    EXPECT_THROW((void)CreateUniqueFile(folder, QStringLiteral("f.eml")), EFCreateError);
    const auto created = CreateUniqueFile(folder, QStringLiteral("l.eml"));
    EXPECT_EQ(created->Path(), folder + QStringLiteral("/l01.eml"));
}

TEST_F(MesgFiles, NamesAreShortenedBetweenCharacters)
{
    struct TCase {
        const char* Name;
        QString Text;
        qsizetype MaxBytes;
        QString Fitted;
    };
    const QString cjk = QString::fromUtf16(u"\u4E9C");
    const QString emoji = QString::fromUtf16(u"\U0001F600");
    const QString accent = QString::fromUtf16(u"e\u0301");   // e and a combining acute accent
    const TCase cases[] = {
        {"ShortEnoughStays", QStringLiteral("abc"), 3, QStringLiteral("abc")},
        {"AsciiCut", QStringLiteral("abcdef"), 4, QStringLiteral("abcd")},
        {"ThreeByteCharactersStayWhole", cjk.repeated(5), 8, cjk.repeated(2)},
        {"SurrogatePairsStayWhole", emoji.repeated(3), 7, emoji},
        {"CombiningMarksStayWithTheirLetter", accent.repeated(3), 5, accent},
        {"NothingFits", cjk, 2, QString()},
        {"VeryLongText", cjk.repeated(200000), 9, cjk.repeated(3)},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CutToFileNameBytes(c.Text, c.MaxBytes), c.Fitted) << c.Name;
}

TEST_F(MesgFiles, DescriptorsCarryPackedTimesAndTheSize)
{
    TMesgItems items;
    TMesgItem item(&items);
    TMimeMessage message;
    items.Parse(QByteArrayLiteral("Subject: x\r\nDate: Mon, 2 Mar 2026 10:00:07 +0000\r\n\r\nbody\r\n"), message);
    item.DeriveFields(message, DecodeListHeader(message));
    item.SetSize(0x1'0000'0010);
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-2);
    const TVirtualFileDescriptor descriptor = FillDescriptor(item, QStringLiteral("x.eml"));
    EXPECT_EQ(descriptor.Flags, 0x68u);
    // Two-second steps: 10:00:07 is kept as 10:00:06.
    EXPECT_EQ(descriptor.CreationTime, QDateTime(QDate(2026, 3, 2), QTime(10, 0, 6), Qt::UTC));
    EXPECT_GE(descriptor.LastWriteTime, before);   // no received date: now
    EXPECT_EQ(descriptor.FileSizeLow, 0x10u);
    EXPECT_EQ(descriptor.FileSizeHigh, 0u);
    EXPECT_EQ(descriptor.FileName, QStringLiteral("x.eml"));
}

} // namespace
