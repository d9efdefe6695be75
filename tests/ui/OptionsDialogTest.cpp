#include "settings/AppPaths.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/VarControls.h"
#include "ui/dialogs/BrowseButtons.h"
#include "ui/dialogs/OptionsDialog.h"
#include "ui/dialogs/VarMemo.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using ::PrintTo;

class OptionsDialogTest : public ::testing::Test
{
protected:
    template<typename TControl>
    static TControl* Control(const TDialog& dialog, const QString& name)
    {
        auto* control = dialog.findChild<TControl*>(name);
        EXPECT_TRUE(control) << name.toStdString();
        return control;
    }

    TOptionsSandbox FSettings;
    TBeepCounter FBeeps;
    TDialogAnswers FAnswers;
};

struct TPageCase
{
    const char* Name;
    int Page;
    const char* Sheet;
};

class OptionsPageTest : public OptionsDialogTest, public ::testing::WithParamInterface<TPageCase>
{
};

TEST_P(OptionsPageTest, OpensOnTheChosenPage)
{
    QString shown;
    FAnswers.Then([&shown](TDialog& dialog) {
        shown = dialog.Tabs()->currentWidget()->objectName();
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Options"));
        EXPECT_EQ(dialog.Tabs()->count(), 3);
        ExpectNoLayoutFaults(dialog);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(ShowOptionsDialog(FSettings.Options, GetParam().Page));
    EXPECT_EQ(shown, QString::fromLatin1(GetParam().Sheet));
}

const TPageCase kPageCases[] = {
    {"Editor", opEditor, "Editor"},
    {"Filter", opAdsFilter, "AdsFilter"},
    {"Language", opLanguage, "Lang"},
};
INSTANTIATE_TEST_SUITE_P(Pages, OptionsPageTest, ::testing::ValuesIn(kPageCases), TCaseName());

TEST_F(OptionsDialogTest, TheTrackBarLabelFollowsAndOnlyOkChangesTheOptions)
{
    // Cancel: the level and the check boxes stay as they were.
    FAnswers.Then([](TDialog& dialog) {
        auto* track = Control<TVarTrackBar>(dialog, QStringLiteral("AdvertismentLevel"));
        auto* label = Control<QLabel>(dialog, QStringLiteral("TrackLabel"));
        EXPECT_EQ(track->value(), 90);
        EXPECT_EQ(label->text(), QStringLiteral("Lines that match a sample by 90% or more are hidden"));
        track->setValue(40);
        EXPECT_EQ(label->text(), QStringLiteral("Lines that match a sample by 40% or more are hidden"));
        Control<QCheckBox>(dialog, QStringLiteral("GreetingFilter"))->setChecked(false);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(ShowOptionsDialog(FSettings.Options, opAdsFilter));
    EXPECT_EQ(FSettings.Options.AdvertismentLevel(), 90);
    EXPECT_TRUE(FSettings.Options.GreetingFilter());

    // The track bar offers only levels the option keeps: pulled to its left
    // end it shows, and OK stores, the lowest one.
    FAnswers.Then([](TDialog& dialog) {
        auto* track = Control<TVarTrackBar>(dialog, QStringLiteral("AdvertismentLevel"));
        QTest::keyClick(track, Qt::Key_Home);
        EXPECT_EQ(Control<QLabel>(dialog, QStringLiteral("TrackLabel"))->text(),
                  QStringLiteral("Lines that match a sample by 11% or more are hidden"));
        Control<QCheckBox>(dialog, QStringLiteral("ShowHeader"))->setChecked(true);
        Click(dialog.OkButton());
    });
    EXPECT_TRUE(ShowOptionsDialog(FSettings.Options, opAdsFilter));
    EXPECT_EQ(FSettings.Options.AdvertismentLevel(), 11);
    EXPECT_TRUE(FSettings.Options.ShowHeader());
}

TEST_F(OptionsDialogTest, ChoosingAnotherLanguageRecaptionsEveryOpenWindow)
{
    FSettings.Sandbox.WriteLanguage(QStringLiteral("testlang.ini"),
                                    "[Common]\nOk=OK\nCancel=Cancel\n[Menu]\nFile=Datei\n");
    // Two windows with a main menu each, and one without.
    std::vector<std::unique_ptr<QMainWindow>> windows;
    for (int i = 0; i < 2; ++i) {
        windows.push_back(std::make_unique<QMainWindow>());
        windows.back()->menuBar()->addMenu(QStringLiteral("File"))->setObjectName(QStringLiteral("mFile"));
    }
    QWidget plain;
    const QString english = FSettings.Options.LanguageFile();

    QStringList entries;
    FAnswers.Then([&entries](TDialog& dialog) {
        auto* combo = Control<TVarCombo>(dialog, QStringLiteral("LangFile"));
        EXPECT_FALSE(combo->isEditable());
        EXPECT_EQ(combo->currentText(), QStringLiteral("English (english)"));
        for (int i = 0; i < combo->count(); ++i)
            entries << combo->itemText(i);
        combo->setCurrentIndex(combo->findText(QStringLiteral(" (testlang)")));
        Click(dialog.OkButton());
    });
    EXPECT_TRUE(ShowOptionsDialog(FSettings.Options, opLanguage));
    entries.sort();
    EXPECT_EQ(entries, (QStringList{QStringLiteral(" (testlang)"), QStringLiteral("English (english)"),
                                    QStringLiteral("Russian (russian)")}));
    EXPECT_EQ(FSettings.Options.LanguageFile(), QFileInfo(english).path() + QStringLiteral("/testlang.ini"));
    EXPECT_EQ(FSettings.Options.ReadTopValue(QStringLiteral("LanguageFile"), QString()), QStringLiteral("testlang.ini"));
    for (const auto& window : windows)
        EXPECT_EQ(window->findChild<QMenu*>(QStringLiteral("mFile"))->title(), QStringLiteral("Datei"));
    EXPECT_TRUE(FSettings.Captured.Texts.isEmpty()) << FSettings.Captured.Texts.join(QLatin1Char('|')).toStdString();
}

TEST_F(OptionsDialogTest, WithoutLanguageFilesTheListIsEmptyAndOkKeepsTheLanguage)
{
    const QString local = DataFolder() + QStringLiteral("/local");
    for (const QString& name : QDir(local).entryList(QDir::Files))
        ASSERT_TRUE(QFile::remove(local + QLatin1Char('/') + name));
    const QString loaded = FSettings.Options.LanguageFile();
    FAnswers.Then([](TDialog& dialog) {
        auto* combo = Control<TVarCombo>(dialog, QStringLiteral("LangFile"));
        EXPECT_EQ(combo->count(), 0);
        EXPECT_EQ(combo->currentIndex(), -1);
        Click(dialog.OkButton());
    });
    EXPECT_TRUE(ShowOptionsDialog(FSettings.Options, opLanguage));
    EXPECT_EQ(FSettings.Options.LanguageFile(), loaded);
    EXPECT_FALSE(FSettings.Options.StopRequested());
    EXPECT_EQ(FAnswers.Dialogs, 1);
    EXPECT_TRUE(FAnswers.Boxes.isEmpty());
    EXPECT_TRUE(FSettings.Captured.Texts.isEmpty());
}

TEST_F(OptionsDialogTest, TheLoadedLanguageNamedInOtherLetterCaseIsNoChange)
{
    const QString loaded = FSettings.Options.LanguageFile();
    TAtcOptionsDlg dialog(FSettings.Options, QStringLiteral("OptionsTitle"));
    for (const QString& choice : {QStringLiteral("ENGLISH.INI"), QStringLiteral("English (english)"), QString()})
        dialog.SetLangFile(choice);
    EXPECT_EQ(FSettings.Options.LanguageFile(), loaded);
    EXPECT_FALSE(FSettings.Options.StopRequested());
}

TEST_F(OptionsDialogTest, AddFilterStartsWithTheClipboardAndAddsTheEditedSampleOnOk)
{
    QUrl opened;
    const TShellOpener oldOpener = SetShellOpener([&opened](const QUrl& url) {
        opened = url;
        return true;
    });
    QApplication::clipboard()->setText(QStringLiteral("Buy now at example.com"));
    FAnswers.Then([](TDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add advertisement filter"));
        ExpectNoLayoutFaults(dialog);
        auto* sample = Control<TVarMemo>(dialog, QStringLiteral("AdvSample"));
        EXPECT_EQ(sample->toPlainText(), QStringLiteral("Buy now at example.com"));
        EXPECT_GE(sample->width(), 57 * dialog.Units().CharWidth);
        // The button opens the samples file and stays at the right edge.
        auto* edit = Control<QPushButton>(dialog, QStringLiteral("EditAtc"));
        EXPECT_EQ(edit->geometry().right() + 1 + dialog.Units().CharWidth, dialog.ClientWidth());
        Click(edit);
        sample->setPlainText(QStringLiteral("  Visit our shop today\n"));
        Click(dialog.OkButton());
    });
    EXPECT_TRUE(AddAdvertismentFilterDialog(FSettings.Options));
    EXPECT_EQ(opened.toLocalFile(), FSettings.Options.AdSamplesPath());
    EXPECT_TRUE(FSettings.Options.AdSamples().Samples().contains(QStringLiteral("VISIT OUR SHOP TODAY")));
    const QByteArray saved = ReadTestFile(FSettings.Options.AdSamplesPath());
    EXPECT_TRUE(QString::fromUtf16(reinterpret_cast<const char16_t*>(saved.constData() + 2), (saved.size() - 2) / 2)
                    .contains(QStringLiteral("VISIT OUR SHOP TODAY")));

    // Cancel adds nothing.
    const QStringList before = FSettings.Options.AdSamples().Samples();
    FAnswers.Then([](TDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_FALSE(AddAdvertismentFilterDialog(FSettings.Options));
    EXPECT_EQ(FSettings.Options.AdSamples().Samples(), before);
    SetShellOpener(oldOpener);
}

} // namespace
