#include "content/attach/AttachmentNames.h"
#include "content/attach/Attachments.h"
#include "content/attach/FileDialogFilter.h"
#include "content/attach/SafeWrites.h"
#include "content/view/MesgViewModel.h"
#include "settings/AppPaths.h"
#include "settings/GlobStrings.h"
#include "tests/content/ViewTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

class AttachmentNames : public TContentTest
{
protected:
    // The display names of a fixture's attachments, in order.
    static QStringList NamesOf(const char* fixture)
    {
        TMesgViewModel model;
        model.LoadSource(ViewFixture(fixture));
        model.DisplayMessage(TViewOptions());
        QStringList names;
        for (int i = 0; i < model.AttachmentCount(); ++i)
            names.append(model.AttachmentName(i));
        return names;
    }
};

TEST_F(AttachmentNames, CyrillicNamesAreReadInEveryEncodingMailProgramsUse)
{
    EXPECT_EQ(NamesOf("rfc2231-cyrillic.eml"),
              (QStringList{QStringLiteral("Отчёт.pdf"),            // RFC 2231, UTF-8
                           QStringLiteral("План на март.xlsx"),    // RFC 2231, continued
                           QStringLiteral("Список.txt"),           // RFC 2231, windows-1251
                           QStringLiteral("Фото.jpg"),             // RFC 2047 in the name parameter
                           QStringLiteral("Данные.bin")}));        // raw 8-bit, the text part's charset
}

TEST_F(AttachmentNames, HostileNamesBecomeUsableNames)
{
    const QString longName = QString(251, QLatin1Char('A')) + QStringLiteral(".txt");
    EXPECT_EQ(NamesOf("hostile-names.eml"),
              (QStringList{QStringLiteral("bashrc"), QStringLiteral("passwd"), QStringLiteral("a"),
                           QStringLiteral("ctlname.txt"), longName, QStringLiteral("hidden"),
                           QStringLiteral("same.txt"), QStringLiteral("same.txt"),
                           QStringLiteral("attachment9"), QStringLiteral("attachment10"),
                           QStringLiteral("attachment11"), QStringLiteral("invoicefdp.exe"),
                           QStringLiteral("win.ini"), QStringLiteral("what_now_.doc"),
                           QStringLiteral("_nul")}));   // the NUL ends the field inside its quotes
}

struct TCleanCase
{
    const char* Name;
    const char16_t* Raw;
    const char16_t* Clean;
};

class CleanName : public TContentTest, public ::testing::WithParamInterface<TCleanCase>
{
};

TEST_P(CleanName, KeepsOnlyASafeLastComponent)
{
    EXPECT_EQ(CleanAttachmentName(QString::fromUtf16(GetParam().Raw)), QString::fromUtf16(GetParam().Clean));
}

INSTANTIATE_TEST_SUITE_P(
    Names, CleanName,
    ::testing::Values(TCleanCase{"ParentPath", u"../../.bashrc", u"bashrc"},
                      TCleanCase{"WindowsPath", u"C:\\temp\\a.txt", u"a.txt"},
                      TCleanCase{"ColonThenQuestionMarkGiveOneUnderscore", u"x:?y.txt", u"_y.txt"},
                      TCleanCase{"SpecialsInARowGiveOneUnderscore", u"a*?\"<>|b", u"a_b"},
                      TCleanCase{"UnderscoreNotDoubled", u"a_*b", u"a_b"},
                      TCleanCase{"ControlsDropped", u"a\u0001\u001F\u007F\u0085\u009Fb", u"ab"},
                      TCleanCase{"BidiControlsDropped", u"a\u202Ed\u2066e\u200Ff\u061C", u"adef"},
                      TCleanCase{"DotsOnly", u"..", u""},
                      TCleanCase{"LeadingDotsAndBlanks", u" . .profile ", u"profile"},
                      TCleanCase{"InnerDotsKept", u"archive.tar.gz", u"archive.tar.gz"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(AttachmentNames, ANamelessAttachmentIsNamedByItsNumberAndType)
{
    TMesgViewModel model;
    model.LoadSource(SourceOf("Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n"
                              "Content-Type: application/pdf\r\nContent-Disposition: attachment; filename=\"\x01\"\r\n\r\n"
                              "%PDF\r\n--b--\r\n"));
    model.DisplayMessage(TViewOptions());
    ASSERT_EQ(model.AttachmentCount(), 1);
    EXPECT_EQ(model.AttachmentName(0), QStringLiteral("attachment1.pdf"));
    EXPECT_EQ(CleanAttachmentName(QStringLiteral("a") + QChar(0) + QStringLiteral("b")), QStringLiteral("ab"));
}

TEST_F(AttachmentNames, LongNamesKeepTheirExtensionAndWholeCharacters)
{
    const QString cyrillic = QString(200, QChar(0x0416)) + QStringLiteral(".pdf");   // 400 bytes of letters
    const QString fitted = FitFileName(cyrillic);
    EXPECT_LE(fitted.toUtf8().size(), kMaxFileNameBytes);
    EXPECT_TRUE(fitted.endsWith(QLatin1String(".pdf")));
    EXPECT_EQ(fitted.toUtf8().size() % 2, 0) << "no letter cut in half";
    const QString emoji = QString(100, QLatin1Char('x')) + QString::fromUtf16(u"😀").repeated(60);
    EXPECT_FALSE(FitFileName(emoji).back().isHighSurrogate());
    EXPECT_EQ(NumberedFileName(QStringLiteral("report.pdf"), 1), QStringLiteral("report01.pdf"));
    EXPECT_EQ(NumberedFileName(QStringLiteral("report"), 120), QStringLiteral("report120"));
    EXPECT_LE(NumberedFileName(cyrillic, 999).toUtf8().size(), kMaxFileNameBytes);
}

// Every attachment of the hostile message gets a file of its own in the
// private folder: none leaves it, none replaces another's file or a file
// that was there (a planted symlink included), every name fits.
TEST_F(AttachmentNames, TemporaryFilesStayInThePrivateFolderAndNeverReplaceAnother)
{
    const QString folder = PrivateTempFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                                 QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());
    const QString outside = TTestEnvironment::NewFolder() + QStringLiteral("/target");
    ASSERT_TRUE(QFile::link(outside, folder + QStringLiteral("/bashrc")));
    WriteTestFile(folder + QStringLiteral("/passwd"), "already here");

    QSet<QString> paths;
    {
        TMesgViewModel model;
        model.LoadSource(ViewFixture("hostile-names.eml"));
        model.DisplayMessage(TViewOptions());
        ASSERT_EQ(model.AttachmentCount(), 15);
        for (int i = 0; i < model.AttachmentCount(); ++i) {
            const QString path = model.EnsureTempFile(i);
            EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(folder).absolutePath()) << path.toStdString();
            EXPECT_LE(QFileInfo(path).fileName().toUtf8().size(), kMaxFileNameBytes);
            EXPECT_EQ(ReadTestFile(path), QByteArray("data ") + QByteArray::number(i));
            paths.insert(path);
        }
        EXPECT_EQ(paths.size(), model.AttachmentCount());
        EXPECT_TRUE(paths.contains(folder + QStringLiteral("/same.txt")));
        EXPECT_TRUE(paths.contains(folder + QStringLiteral("/same01.txt")));
        EXPECT_TRUE(paths.contains(folder + QStringLiteral("/bashrc01")));
        EXPECT_TRUE(paths.contains(folder + QStringLiteral("/passwd01")));
        EXPECT_FALSE(QFile::exists(outside)) << "nothing was written through the symlink";
        EXPECT_EQ(ReadTestFile(folder + QStringLiteral("/passwd")), QByteArray("already here"));

        // A second open writes the same file again, even when the program
        // that had it replaced it by a symlink meanwhile.
        const QString again = folder + QStringLiteral("/same.txt");
        QFile::remove(again);
        ASSERT_TRUE(QFile::link(outside, again));
        EXPECT_EQ(model.EnsureTempFile(6), again);
        EXPECT_FALSE(QFileInfo(again).isSymLink());
        EXPECT_FALSE(QFile::exists(outside));
    }
    for (const QString& path : paths)
        EXPECT_FALSE(QFile::exists(path)) << "deleted with its attachment: " << path.toStdString();
    QFile::remove(folder + QStringLiteral("/bashrc"));
    QFile::remove(folder + QStringLiteral("/passwd"));
}

TEST_F(AttachmentNames, FileDialogFiltersAreInQtsForm)
{
    EXPECT_EQ(FileDialogFilter({QStringLiteral("eml")}), QStringLiteral("Message files (*.eml)"))
        << "no language file: the built-in English texts";
    TGlobStrings language;
    language.LoadLanguage(DataFolder() + QStringLiteral("/local/english.ini"));
    SetLang(&language);
    EXPECT_EQ(FileDialogFilter({QStringLiteral("eml"), QStringLiteral("txt"), QStringLiteral("nokey"),
                                QStringLiteral("mbox"), QStringLiteral("*.*")}),
              QStringLiteral("Message files (*.eml);;Text files (*.txt);;Mailbox files (*.mbox);;All files (*.*)"));
    SetLang(nullptr);
}

} // namespace
