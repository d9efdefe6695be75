#include "app/Activation.h"
#include "app/SingleInstance.h"

#include "settings/Options.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/TestEnvironment.h"
#include "tests/ui/BoxAnswers.h"
#include "ui/forms/MEditForm.h"

#include <QDir>
#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Table cases print as their names.
using ::PrintTo;

struct TRequestCase
{
    std::string Name;
    QStringList Files;
};

class ActivationRequestFraming : public ::testing::TestWithParam<TRequestCase>
{
};

TEST_P(ActivationRequestFraming, SurvivesTheWayThereAsOneLinePerFile)
{
    const TActivationRequest request{0xFEDCBA9876543210ULL, GetParam().Files};
    const QByteArray bytes = EncodeActivationRequest(request);
    EXPECT_EQ(bytes.count('\n'), request.Files.size() + 1) << bytes.constData();
    EXPECT_EQ(DecodeActivationRequest(bytes), request) << bytes.constData();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ActivationRequestFraming,
    ::testing::Values(TRequestCase{"NoFiles", {}},
                      TRequestCase{"Spaces", {QStringLiteral("/home/ann/My Mail/a note.eml")}},
                      TRequestCase{"LineBreaks", {QStringLiteral("/tmp/one\ntwo.eml"), QStringLiteral("/tmp/\r\n.eml")}},
                      TRequestCase{"PercentSigns", {QStringLiteral("/tmp/100%25 %.eml")}},
                      TRequestCase{"NotUtf8", {QFile::decodeName("/tmp/caf\xe9\xff.eml")}},
                      TRequestCase{"Cyrillic", {QStringLiteral(u"/tmp/Письмо.eml"), QStringLiteral("/tmp/b.eml")}}),
    TCaseName());

TEST(ActivationRequest, TheTokenLineAloneOfEarlierVersionsIsARequestWithoutFiles)
{
    EXPECT_EQ(DecodeActivationRequest("1234\n"), (TActivationRequest{1234, {}}));
    EXPECT_EQ(DecodeActivationRequest("1234"), (TActivationRequest{1234, {}}));
    EXPECT_EQ(DecodeActivationRequest("not a token\n%2Ftmp%2Fa.eml\n"), std::nullopt);
    EXPECT_EQ(DecodeActivationRequest(""), std::nullopt);
}

TEST(Activation, TheSecondGuardSendsTheSharedTokenAndAbsoluteFilesToTheFirst)
{
    TSingleInstance first(QStringLiteral("ActivationTestMutex"));
    ASSERT_TRUE(first.IsFirstInstance());
    std::vector<TActivationRequest> received;
    first.OnActivationRequest = [&](const TActivationRequest& request) { received.push_back(request); };

    TSingleInstance second(QStringLiteral("ActivationTestMutex"));
    EXPECT_FALSE(second.IsFirstInstance());
    EXPECT_EQ(second.Token(), first.Token());
    const QString absolute = TTestEnvironment::NewFolder() + QStringLiteral("/a\nb.eml");
    ASSERT_TRUE(second.RequestActivation({absolute, QStringLiteral("relative.eml")}));
    ASSERT_TRUE(WaitUntil([&] { return !received.empty(); }));
    const TActivationRequest expected{first.Token(), {absolute, QDir::current().absoluteFilePath(QStringLiteral("relative.eml"))}};
    EXPECT_EQ(received, std::vector<TActivationRequest>{expected});

    TSingleInstance other(QStringLiteral("OtherMutex"));
    EXPECT_NE(other.Token(), first.Token());
}

// The running instance's side, on real message windows over the shipped
// English texts.
class ActivationHandler : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString folder = TTestEnvironment::NewFolder();
        FNote = folder + QStringLiteral("/note.eml");
        WriteTestFile(FNote, "From: Ann <ann@example.org>\r\nSubject: Minutes of Tuesday\r\n\r\nHello.\r\n");
        FMissing = folder + QStringLiteral("/missing.eml");
        FForm.hide();
    }

    void TearDown() override { qDeleteAll(TTaskForm::Forms()); }

    // The files shown in message windows, sorted.
    static QStringList ShownFiles()
    {
        QStringList files;
        for (TTaskForm* form : TTaskForm::Forms()) {
            if (auto* window = qobject_cast<TMEditForm*>(form))
                files << window->FileName();
        }
        files.sort();
        return files;
    }

    static constexpr quint64 kOwn = 7;
    TSettingsSandbox FSandbox;
    TCapturedBoxes FCaptured;
    TOptions FOptions;
    TBoxAnswers FBoxes;
    QWidget FForm;
    QString FNote;
    QString FMissing;
};

TEST_F(ActivationHandler, AForeignTokenIsIgnoredEntirely)
{
    EXPECT_FALSE(HandleActivationRequest({8, {FNote, FMissing}}, kOwn, &FForm));
    EXPECT_FALSE(FForm.isVisible());
    EXPECT_EQ(ShownFiles(), QStringList());
    EXPECT_EQ(FBoxes.Texts, QStringList());
}

TEST_F(ActivationHandler, WithoutFilesTheActiveFormComesToTheFront)
{
    EXPECT_FALSE(HandleActivationRequest({kOwn, {}}, kOwn, nullptr));
    EXPECT_TRUE(HandleActivationRequest({kOwn, {}}, kOwn, &FForm));
    EXPECT_TRUE(FForm.isVisible());
    EXPECT_EQ(ShownFiles(), QStringList());
}

TEST_F(ActivationHandler, EachFileOpensInAMessageWindowAndTheRestAreNamedInOneBox)
{
    const QString other = FNote.chopped(4) + QStringLiteral("-other.eml");
    ASSERT_TRUE(QFile::copy(FNote, other));
    EXPECT_TRUE(HandleActivationRequest({kOwn, {FNote, FMissing, other}}, kOwn, &FForm));
    EXPECT_EQ(ShownFiles(), (QStringList{other, FNote}));
    EXPECT_FALSE(FForm.isVisible()) << "the window opened comes to the front, not the active form";
    ASSERT_EQ(FBoxes.Texts.size(), 1);
    EXPECT_TRUE(FBoxes.Texts[0].contains(FMissing)) << FBoxes.Texts[0].toStdString();
    EXPECT_FALSE(FBoxes.Texts[0].contains(FNote)) << FBoxes.Texts[0].toStdString();
}

} // namespace
