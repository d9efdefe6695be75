#include "content/spell/SpellChecker.h"
#include "tests/ui/SpellTestSupport.h"
#include "ui/WideEdit.h"
#include "ui/spell/RichSpellChecker.h"
#include "ui/spell/SharedSpellChecker.h"
#include "ui/spell/SpellCheckDialog.h"

#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using ::PrintTo;

const QString kFinished = QStringLiteral("The spelling check is complete.");

// A button of the dialog, pressed after typing a replacement when one is given.
struct TPress
{
    TSpellCheckDialog::TButton Button;
    QString Replacement = {};
    bool Typed = false;
};

TPress Press(TSpellCheckDialog::TButton button)
{
    return {button};
}

TPress PressAfterTyping(TSpellCheckDialog::TButton button, const QString& replacement)
{
    return {button, replacement, true};
}

struct TDialogCase
{
    std::string Name;
    QString Text;
    std::vector<TPress> Presses;
    QStringList Asked;
    QString Result;
    bool Finished;
};

class SpellCheckDialogRun : public TSpellEditTest, public ::testing::WithParamInterface<TDialogCase>
{
};

TEST_P(SpellCheckDialogRun, AnswersEditTheTextAsTheButtonSays)
{
    const TDialogCase& c = GetParam();
    SetText(c.Text);
    for (const TPress& press : c.Presses)
        Answer([press](TSpellCheckDialog& dialog) {
            if (press.Typed)
                TypeReplacement(dialog, press.Replacement);
            Click(dialog.Button(press.Button));
        });
    EXPECT_EQ(Check(), c.Finished);
    EXPECT_EQ(FAsked, c.Asked);
    EXPECT_EQ(Text(), c.Result);
    EXPECT_EQ(FBoxes.Texts, c.Finished ? QStringList{kFinished} : QStringList{});
}

using B = TSpellCheckDialog;
INSTANTIATE_TEST_SUITE_P(
    SpellCheckDialog, SpellCheckDialogRun,
    ::testing::Values(
        TDialogCase{"IgnoreLeavesEachOccurrence", QStringLiteral("helo wrld and helo"),
                    {Press(B::bIgnore), Press(B::bIgnore), Press(B::bIgnore)},
                    {QStringLiteral("helo"), QStringLiteral("wrld"), QStringLiteral("helo")},
                    QStringLiteral("helo wrld and helo"), true},
        TDialogCase{"IgnoreAllSkipsLaterOccurrences", QStringLiteral("helo wrld and helo"),
                    {Press(B::bIgnoreAll), Press(B::bIgnore)},
                    {QStringLiteral("helo"), QStringLiteral("wrld")},
                    QStringLiteral("helo wrld and helo"), true},
        TDialogCase{"ChangeReplacesThisOccurrenceWithTheTypedWord", QStringLiteral("helo wrld, helo."),
                    {PressAfterTyping(B::bChange, QStringLiteral("hello")), Press(B::bIgnore), Press(B::bIgnore)},
                    {QStringLiteral("helo"), QStringLiteral("wrld,"), QStringLiteral("helo.")},
                    QStringLiteral("hello wrld, helo."), true},
        TDialogCase{"ChangeAllReplacesEveryOccurrence", QStringLiteral("helo wrld Helo,\nand helo"),
                    {PressAfterTyping(B::bChangeAll, QStringLiteral("hello")), Press(B::bIgnore)},
                    {QStringLiteral("helo"), QStringLiteral("wrld")},
                    QStringLiteral("hello wrld hello,\nand hello"), true},
        TDialogCase{"ChangeToNothingDeletesTheWord", QStringLiteral("a helo b"),
                    {PressAfterTyping(B::bChange, QString())}, {QStringLiteral("helo")},
                    QStringLiteral("a  b"), true},
        TDialogCase{"CancelStopsTheCheck", QStringLiteral("helo wrld"), {Press(B::bCancel)},
                    {QStringLiteral("helo")}, QStringLiteral("helo wrld"), false},
        TDialogCase{"AWordTheDictionaryKnowsIsNotAsked", QStringLiteral("The cat sat on the mat."), {}, {},
                    QStringLiteral("The cat sat on the mat."), true}),
    TCaseName());

class SpellCheckDialog : public TSpellEditTest
{
};

TEST_F(SpellCheckDialog, EscapeStopsTheCheckWithTheCaretOnTheWord)
{
    SetText(QStringLiteral("The cat helo"));
    Answer([](TSpellCheckDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_FALSE(Check());
    EXPECT_EQ(FEdit->textCursor().position(), 8);
    EXPECT_FALSE(FEdit->textCursor().hasSelection());
}

TEST_F(SpellCheckDialog, ChangeWithoutTypingTakesTheFirstSuggestion)
{
    SetText(QStringLiteral("one helo two"));
    QString first;
    Answer([&first](TSpellCheckDialog& dialog) {
        ASSERT_GT(dialog.SuggestionList()->count(), 0);
        first = dialog.SuggestionList()->item(0)->text();
        Click(dialog.Button(B::bChange));
    });
    ASSERT_TRUE(Check());
    EXPECT_EQ(Text(), QStringLiteral("one %1 two").arg(first));
}

TEST_F(SpellCheckDialog, AChangeIsOneStepTheUserCanUndo)
{
    SetText(QStringLiteral("one helo two"));
    Answer([](TSpellCheckDialog& dialog) {
        TypeReplacement(dialog, QStringLiteral("hello"));
        Click(dialog.Button(B::bChange));
    });
    ASSERT_TRUE(Check());
    ASSERT_EQ(Text(), QStringLiteral("one hello two"));
    FEdit->undo();
    EXPECT_EQ(Text(), QStringLiteral("one helo two"));
}

TEST_F(SpellCheckDialog, AWordAddedToTheCustomDictionarySurvivesARestart)
{
    SetText(QStringLiteral("Quorvan mail, Quorvan news"));
    Answer([](TSpellCheckDialog& dialog) { Click(dialog.Button(B::bAdd)); });
    ASSERT_TRUE(Check());
    EXPECT_EQ(FAsked, QStringList{QStringLiteral("Quorvan")});
    EXPECT_EQ(SharedSpellChecker().CustomDictionary(), FSpell.CustomDictionaryPath());
    EXPECT_TRUE(QFile::exists(FSpell.CustomDictionaryPath()));

    FreeSharedSpellChecker();
    EXPECT_TRUE(SharedSpellChecker().IsWordCorrect(u"quorvan"));
    SetText(QStringLiteral("QUORVAN and Quorvan"));
    EXPECT_TRUE(Check());
    EXPECT_EQ(FAsked, QStringList{QStringLiteral("Quorvan")}) << "nothing more asked";
}

TEST_F(SpellCheckDialog, IgnoredWordsLastAsLongAsTheSharedChecker)
{
    SetText(QStringLiteral("zorkle"));
    Answer([](TSpellCheckDialog& dialog) { Click(dialog.Button(B::bIgnoreAll)); });
    ASSERT_TRUE(Check());
    SetText(QStringLiteral("zorkle again"));
    EXPECT_TRUE(Check());
    EXPECT_EQ(FAsked.size(), 1);
    FreeSharedSpellChecker();
    SetText(QStringLiteral("zorkle"));
    Answer([](TSpellCheckDialog& dialog) { Click(dialog.Button(B::bCancel)); });
    EXPECT_FALSE(Check()) << "a new checker asks again";
    EXPECT_EQ(FAsked.size(), 2);
}

TEST_F(SpellCheckDialog, AnUnknownReplacementIsConfirmedFirst)
{
    SetText(QStringLiteral("helo there"));
    Answer([this](TSpellCheckDialog& dialog) {
        TypeReplacement(dialog, QStringLiteral("hellox"));
        FBoxes.Then(mrNo);
        Click(dialog.Button(B::bChange));
        EXPECT_TRUE(dialog.isVisible()) << "No returns to the dialog";
        EXPECT_EQ(dialog.ReplacementEdit()->text(), QStringLiteral("hellox"));
        FBoxes.Then(mrYes);
        Click(dialog.Button(B::bChange));
    });
    ASSERT_TRUE(Check());
    const QString confirm = QStringLiteral("The new word is not in the dictionary either.\r\nUse it anyway?");
    EXPECT_EQ(FBoxes.Texts, (QStringList{confirm, confirm, kFinished}));
    EXPECT_EQ(Text(), QStringLiteral("hellox there")) << "Yes uses the word the user confirmed";
}

TEST_F(SpellCheckDialog, IgnoreIsTheDefaultUntilTheUserTurnsToAReplacement)
{
    SetText(QStringLiteral("helo wrld"));
    Answer([](TSpellCheckDialog& dialog) {
        QListWidget* list = dialog.SuggestionList();
        ASSERT_GT(list->count(), 1);
        EXPECT_TRUE(dialog.Button(B::bIgnore)->isDefault());
        EXPECT_EQ(dialog.ReplacementEdit()->text(), list->item(0)->text());
        EXPECT_TRUE(list->findItems(QStringLiteral("hello"), Qt::MatchExactly).size() == 1);

        // Choosing a suggestion takes it and makes Change the default.
        const QRect second = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
        EXPECT_EQ(dialog.ReplacementEdit()->text(), list->item(1)->text());
        EXPECT_TRUE(dialog.Button(B::bChange)->isDefault());
        EXPECT_FALSE(dialog.Button(B::bIgnore)->isDefault());

        // Typing selects the first suggestion that begins so, and keeps what was typed.
        TypeReplacement(dialog, QStringLiteral("HELL"));
        ASSERT_NE(list->currentItem(), nullptr);
        EXPECT_TRUE(list->currentItem()->text().startsWith(QStringLiteral("hell"), Qt::CaseInsensitive));
        EXPECT_EQ(dialog.ReplacementEdit()->text(), QStringLiteral("HELL"));
        Click(dialog.Button(B::bIgnore));
    });
    Answer([](TSpellCheckDialog& dialog) {
        EXPECT_TRUE(dialog.Button(B::bIgnore)->isDefault()) << "each word starts with Ignore";
        // Entering the edit makes Change the default, and Enter presses it.
        dialog.ReplacementEdit()->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(dialog.Button(B::bChange)->isDefault());
        TypeReplacement(dialog, QStringLiteral("world"));
        QTest::keyClick(dialog.ReplacementEdit(), Qt::Key_Return);
    });
    ASSERT_TRUE(Check());
    EXPECT_EQ(Text(), QStringLiteral("helo world"));
}

TEST_F(SpellCheckDialog, WithoutAlwaysSuggestTheListIsEmptyAndTheLastReplacementStays)
{
    SharedSpellChecker().SetAlwaysSuggest(false);
    SetText(QStringLiteral("helo wrld"));
    Answer([](TSpellCheckDialog& dialog) {
        EXPECT_EQ(dialog.SuggestionList()->count(), 0);
        TypeReplacement(dialog, QStringLiteral("hello"));
        Click(dialog.Button(B::bChange));
    });
    Answer([](TSpellCheckDialog& dialog) {
        EXPECT_EQ(dialog.SuggestionList()->count(), 0);
        EXPECT_EQ(dialog.ReplacementEdit()->text(), QStringLiteral("hello"));
        Click(dialog.Button(B::bIgnore));
    });
    ASSERT_TRUE(Check());
    EXPECT_EQ(FAsked, (QStringList{QStringLiteral("helo"), QStringLiteral("wrld")}));
}

TEST_F(SpellCheckDialog, ItsControlsFitAtEveryFontSize)
{
    AtEveryFontSize([this](int points) {
        FreeSharedSpellChecker();
        SetText(QStringLiteral("helo"));
        Answer([points](TSpellCheckDialog& dialog) {
            ExpectFits(dialog, points);
            EXPECT_TRUE(dialog.WrongField()->isReadOnly());
            EXPECT_EQ(dialog.WrongField()->focusPolicy(), Qt::NoFocus);
            for (int b = B::bIgnore; b < B::kButtonCount; ++b)
                EXPECT_EQ(dialog.Button(B::TButton(b))->width(), dialog.Button(B::bIgnoreAll)->width());
            Click(dialog.Button(B::bIgnore));
        });
        EXPECT_TRUE(Check());
    });
}

// Repeated words and doubled spaces are asked about in Yes/No/Cancel boxes.
struct TFindingCase
{
    std::string Name;
    QString Text;
    int Answer;
    QString Box;
    QString Result;
    bool Finished;
};

class SpellFindingBox : public TSpellEditTest, public ::testing::WithParamInterface<TFindingCase>
{
};

TEST_P(SpellFindingBox, AsksAndEditsAsAnswered)
{
    const TFindingCase& c = GetParam();
    SetText(c.Text);
    FBoxes.Then(c.Answer);
    EXPECT_EQ(Check(), c.Finished);
    ASSERT_FALSE(FBoxes.Texts.isEmpty());
    EXPECT_EQ(FBoxes.Texts.first(), c.Box);
    EXPECT_EQ(FBoxes.Texts.size(), c.Finished ? 2 : 1);
    EXPECT_EQ(Text(), c.Result);
}

const QString kRepeated = QStringLiteral("A word is repeated: the The\r\nRemove the repetition?");
const QString kSpaces = QStringLiteral("Several spaces in a row: one  two\r\nReplace them with one space?");

INSTANTIATE_TEST_SUITE_P(
    SpellCheckDialog, SpellFindingBox,
    ::testing::Values(
        TFindingCase{"RepeatedWordYesDeletesTheSecond", QStringLiteral("I saw the The cat"), mrYes, kRepeated,
                     QStringLiteral("I saw the cat"), true},
        TFindingCase{"RepeatedWordNoKeepsIt", QStringLiteral("I saw the The cat"), mrNo, kRepeated,
                     QStringLiteral("I saw the The cat"), true},
        TFindingCase{"RepeatedWordCancelStops", QStringLiteral("I saw the The cat"), mrCancel, kRepeated,
                     QStringLiteral("I saw the The cat"), false},
        TFindingCase{"DoubledSpacesYesLeavesOne", QStringLiteral("x\none  two\ny"), mrYes, kSpaces,
                     QStringLiteral("x\none two\ny"), true},
        TFindingCase{"DoubledSpacesNoKeepsThem", QStringLiteral("x\none  two\ny"), mrNo, kSpaces,
                     QStringLiteral("x\none  two\ny"), true},
        TFindingCase{"DoubledSpacesCancelStops", QStringLiteral("x\none  two\ny"), mrCancel, kSpaces,
                     QStringLiteral("x\none  two\ny"), false}),
    TCaseName());

} // namespace
