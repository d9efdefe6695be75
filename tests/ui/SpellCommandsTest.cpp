#include "tests/ui/SpellTestSupport.h"
#include "ui/MessageBoxes.h"
#include "ui/VarControls.h"
#include "ui/actions/ActionUpdater.h"
#include "ui/spell/RichSpellChecker.h"
#include "ui/spell/SharedSpellChecker.h"
#include "ui/spell/SpellActions.h"
#include "ui/spell/SpellCheckDialog.h"
#include "ui/spell/SpellOptions.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QStringList kOptionOrder = {
    QStringLiteral("IgnoreAllUpperCase"), QStringLiteral("IgnoreNumbers"),  QStringLiteral("IgnoreInternet"),
    QStringLiteral("IgnoreFiles"),        QStringLiteral("IgnoreBrackets"), QStringLiteral("DuplicateSpaces"),
    QStringLiteral("DuplicateWords"),     QStringLiteral("MainDicOnly"),    QStringLiteral("AlwaysSuggest"),
};

TVarCheck* CheckBox(TDialog& dialog, const QString& name)
{
    return dialog.findChild<TVarCheck*>(name);
}

class SpellOptionsDialog : public TSpellEditTest
{
protected:
    [[nodiscard]] QByteArray SettingsFile() const { return ReadTestFile(FSpell.Sandbox.ConfigPath()); }
};

TEST_F(SpellOptionsDialog, BeforeAnyCheckATemporaryCheckerCarriesTheOptionsIntoTheSettings)
{
    ASSERT_FALSE(SharedSpellCheckerExists());
    FDialogs.Then([](TDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Spelling options"));
        EXPECT_GE(dialog.ClientWidth(), 300);
        QStringList names;
        for (const TVarCheck* check : dialog.findChildren<TVarCheck*>())
            names << check->objectName();
        EXPECT_EQ(names, kOptionOrder);
        for (const QString& name : kOptionOrder)
            EXPECT_EQ(CheckBox(dialog, name)->isChecked(), name != QStringLiteral("MainDicOnly")) << name.toStdString();
        EXPECT_EQ(CheckBox(dialog, QStringLiteral("IgnoreNumbers"))->text(), QStringLiteral("Ignore words with digits"));
        Click(CheckBox(dialog, QStringLiteral("DuplicateSpaces")));
        Click(CheckBox(dialog, QStringLiteral("MainDicOnly")));
        Click(dialog.OkButton());
    });
    SpellOptions();
    EXPECT_EQ(FDialogs.Dialogs, 1);
    EXPECT_FALSE(SharedSpellCheckerExists()) << "the temporary checker is not kept";
    const QByteArray settings = SettingsFile();
    EXPECT_TRUE(settings.contains("[SpellCheck]")) << settings.toStdString();
    EXPECT_TRUE(settings.contains("DuplicateSpaces=False"));
    EXPECT_TRUE(settings.contains("MainDicOnly=True"));
    EXPECT_FALSE(SharedSpellChecker().DuplicateSpaces());
    EXPECT_TRUE(SharedSpellChecker().MainDicOnly());
}

TEST_F(SpellOptionsDialog, TheSharedCheckerTakesTheOptionsAtOnceAndCancelChangesNothing)
{
    TRichSpellCheckerDlg& checker = SharedSpellChecker();
    FDialogs.Then([](TDialog& dialog) {
        Click(CheckBox(dialog, QStringLiteral("IgnoreAllUpperCase")));
        Click(dialog.OkButton());
    });
    SpellOptions();
    EXPECT_FALSE(checker.IgnoreAllUpperCase());
    EXPECT_FALSE(checker.IsWordCorrect(u"QWZX"));
    EXPECT_TRUE(SettingsFile().contains("IgnoreAllUpperCase=False"));

    FDialogs.Then([](TDialog& dialog) {
        Click(CheckBox(dialog, QStringLiteral("AlwaysSuggest")));
        Click(dialog.CancelButton());
    });
    SpellOptions();
    EXPECT_TRUE(checker.AlwaysSuggest());
    EXPECT_FALSE(SettingsFile().contains("AlwaysSuggest=False"));
}

TEST_F(SpellOptionsDialog, ItsCheckBoxesFitAtEveryFontSize)
{
    AtEveryFontSize([this](int points) {
        FDialogs.Then([points](TDialog& dialog) {
            ExpectFits(dialog, points);
            Click(dialog.CancelButton());
        });
        SpellOptions();
    });
}

class SpellCheckAction : public TSpellEditTest
{
protected:
    SpellCheckAction()
        : FAction(CreateSpellCheckAction(&FWindow))
    {
        FWindow.addAction(FAction);
    }

    [[nodiscard]] bool EnabledFor(const QString& text, bool readOnly)
    {
        SetText(text);
        FEdit->setReadOnly(readOnly);
        TActionUpdater::UpdateAll();
        return FAction->isEnabled();
    }

    TASpellCheck* FAction;
};

TEST_F(SpellCheckAction, IsNamedCaptionedAndOnF7)
{
    EXPECT_EQ(FAction->objectName(), QStringLiteral("aSpellCheck"));
    EXPECT_EQ(FAction->text(), QStringLiteral("Check spelling"));
    EXPECT_EQ(FAction->shortcut(), QKeySequence(Qt::Key_F7));
}

TEST_F(SpellCheckAction, IsEnabledForAnEditableRichEditHoldingText)
{
    EXPECT_TRUE(EnabledFor(QStringLiteral("helo"), false));
    EXPECT_FALSE(EnabledFor(QString(), false));
    EXPECT_FALSE(EnabledFor(QStringLiteral("helo"), true));
    auto* other = new QLineEdit(&FWindow);
    FWindow.layout()->addWidget(other);
    FocusOn(other);
    TActionUpdater::UpdateAll();
    EXPECT_FALSE(FAction->isEnabled()) << "not responsible for other controls";
    FAction->SetFixedControl(FEdit);
    EXPECT_TRUE(EnabledFor(QStringLiteral("helo"), false)) << "the fixed edit counts, wherever the focus is";
}

TEST_F(SpellCheckAction, F7ChecksTheFocusedEditAndSaysWhenItIsDone)
{
    SetText(QStringLiteral("a helo"));
    Answer([](TSpellCheckDialog& dialog) {
        TypeReplacement(dialog, QStringLiteral("hello"));
        Click(dialog.Button(TSpellCheckDialog::bChange));
    });
    TActionUpdater::UpdateAll();
    QTest::keyClick(FEdit, Qt::Key_F7);
    EXPECT_EQ(FAsked, QStringList{QStringLiteral("helo")});
    EXPECT_EQ(Text(), QStringLiteral("a hello"));
    EXPECT_EQ(FBoxes.Texts, QStringList{QStringLiteral("The spelling check is complete.")});
}

TEST_F(SpellCheckAction, ACustomDictionaryThatCannotBeWrittenIsReportedAndTheTextKept)
{
    // A folder where the file should be: it can be neither read nor replaced.
    ASSERT_TRUE(QDir().mkpath(FSpell.CustomDictionaryPath()));
    const TFileErrorReporter old = SetFileErrorReporter(ReportFileErrorInBox);
    SetText(QStringLiteral("Quorvan helo"));
    Answer([](TSpellCheckDialog& dialog) { Click(dialog.Button(TSpellCheckDialog::bAdd)); });
    EXPECT_FALSE(CheckSpelling(*FEdit));
    SetFileErrorReporter(old);
    ASSERT_EQ(FBoxes.Texts.size(), 1);
    EXPECT_TRUE(FBoxes.Texts.first().endsWith(FSpell.CustomDictionaryPath())) << FBoxes.Texts.first().toStdString();
    EXPECT_EQ(Text(), QStringLiteral("Quorvan helo"));
    EXPECT_TRUE(SharedSpellChecker().IsWordCorrect(u"Quorvan")) << "kept for this run";
}

} // namespace
