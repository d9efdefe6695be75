#include "content/spell/SpellChecker.h"
#include "content/spell/SpellText.h"
#include "tests/content/ContentTestSupport.h"
#include "tests/content/SpellTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

using A = TSpellAnswer;

class CheckText : public TContentTest
{
protected:
    TSmallChecker FChecker;
    TScriptedAnswers FScript{FChecker};

    // Checks the text from the caret with the scripted answers.
    bool Check(TStringSpellText& text, std::initializer_list<TScriptedAnswers::TAnswer> answers)
    {
        FScript.Answers.assign(answers.begin(), answers.end());
        return FChecker.CheckText(text);
    }
};

TEST_F(CheckText, WithoutAHandlerTheFirstUnknownWordStopsTheCheckWithTheCaretOnIt)
{
    TSpellChecker checker;
    checker.SetMainDictionary(FChecker.MainDictionary());
    TStringSpellText text(QStringLiteral("the cat sat on teh mat"));
    EXPECT_FALSE(checker.CheckText(text));
    EXPECT_EQ(text.CaretPosition(), 15);
    EXPECT_EQ(text.SelectionLength(), 0);
}

TEST_F(CheckText, ACorrectTextRunsToTheEnd)
{
    TStringSpellText text(QStringLiteral("The cat sat on the mat, and the dog saw the hall (21st) www.example.org."));
    EXPECT_TRUE(Check(text, {}));
    EXPECT_TRUE(FScript.Asked.isEmpty()) << FScript.Asked.join(QLatin1Char(';')).toStdString();
}

TEST_F(CheckText, TheCheckStartsAtTheWordThatHoldsTheCaret)
{
    TStringSpellText text(QStringLiteral("teh cat sat on teh mat"), 17);
    EXPECT_FALSE(Check(text, {}));
    EXPECT_EQ(FScript.Asked, QStringList{QStringLiteral("misspelled:teh")});
    EXPECT_EQ(text.CaretPosition(), 15);
}

TEST_F(CheckText, IgnoreOnceAsksAgainIgnoreAllDoesNot)
{
    TStringSpellText once(QStringLiteral("teh cat, teh dog"));
    EXPECT_TRUE(Check(once, {{A::Ignore, {}}, {A::Ignore, {}}}));
    EXPECT_EQ(FScript.Asked.size(), 2);

    FScript.Asked.clear();
    TStringSpellText all(QStringLiteral("Teh cat, teh dog"));
    EXPECT_TRUE(Check(all, {{A::IgnoreAll, {}}}));
    EXPECT_EQ(FScript.Asked, QStringList{QStringLiteral("misspelled:Teh")});
    EXPECT_TRUE(FChecker.IsWordCorrect(u"teh")) << "ignored until the program ends";
    EXPECT_EQ(all.Text(), QStringLiteral("Teh cat, teh dog"));
}

struct TChangeCase
{
    const char* Name;
    const char* Text;
    int Answer;
    const char* Replacement;
    bool Finished; // a later unknown word stops the check
    const char* Result;
};

class ChangeAnswer : public CheckText, public ::testing::WithParamInterface<TChangeCase>
{
};

TEST_P(ChangeAnswer, EditsTheText)
{
    TStringSpellText text(QString::fromUtf8(GetParam().Text));
    EXPECT_EQ(Check(text, {{GetParam().Answer, QString::fromUtf8(GetParam().Replacement)}}), GetParam().Finished);
    EXPECT_EQ(text.Text(), QString::fromUtf8(GetParam().Result));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ChangeAnswer,
    ::testing::Values(
        TChangeCase{"ChangeReplacesTheWord", "I saw teh cat", A::Change, "the", true, "I saw the cat"},
        TChangeCase{"ChangeKeepsThePunctuationAround", "I saw (teh), cat", A::Change, "the", true, "I saw (the), cat"},
        TChangeCase{"ChangeOfAWordWithFullStops", "saw e.g. the cat", A::Change, "for example", true,
                    "saw for example. the cat"},
        TChangeCase{"ChangeTouchesOnlyThisOccurrence", "teh cat, teh dog", A::Change, "the", false, "the cat, teh dog"},
        TChangeCase{"ChangeAllReplacesWholeWordsInAnyCase", "a teh cat, Teh dog, tehx, (teh) hat", A::ChangeAll, "the",
                    false, "a the cat, the dog, tehx, (the) hat"},
        TChangeCase{"ChangeAllReplacesLaterOccurrences", "teh cat, teh dog", A::ChangeAll, "the", true,
                    "the cat, the dog"},
        TChangeCase{"ChangeAllWithAReplacementThatHoldsTheWord", "teh cat, teh", A::ChangeAll, "teh the", false,
                    "teh the cat, teh the"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CheckText, ChangeGoesOnAfterTheReplacedWord)
{
    TStringSpellText text(QStringLiteral("teh cat helo dog"));
    EXPECT_FALSE(Check(text, {{A::Change, QStringLiteral("there")}}));
    EXPECT_EQ(FScript.Asked, QStringList({QStringLiteral("misspelled:teh"), QStringLiteral("misspelled:helo")}));
    EXPECT_EQ(text.Text(), QStringLiteral("there cat helo dog"));
    EXPECT_EQ(text.CaretPosition(), 10) << "the stop leaves the caret on the second word";
}

TEST_F(CheckText, ChangeAllGoesOnAfterTheCurrentWord)
{
    TStringSpellText text(QStringLiteral("teh cat, teh dog helo"), 9);
    EXPECT_FALSE(Check(text, {{A::ChangeAll, QStringLiteral("there")}}));
    EXPECT_EQ(text.Text(), QStringLiteral("there cat, there dog helo")) << "also before the caret";
    EXPECT_EQ(FScript.Asked, QStringList({QStringLiteral("misspelled:teh"), QStringLiteral("misspelled:helo")}));
    EXPECT_EQ(text.CaretPosition(), 21);
}

TEST_F(CheckText, AddPutsTheWordIntoTheCustomDictionary)
{
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/custom.dic");
    FChecker.SetCustomDictionary(path);
    TStringSpellText text(QStringLiteral("Vellumo works, vellumo."));
    EXPECT_TRUE(Check(text, {{A::Add, {}}, {A::Ignore, {}}}));
    EXPECT_EQ(FScript.Asked, QStringList({QStringLiteral("misspelled:Vellumo"), QStringLiteral("misspelled:works,")}));
    EXPECT_EQ(FChecker.CustomWords(), QStringList{QStringLiteral("VELLUMO")});
    TSpellChecker restarted;
    restarted.SetCustomDictionary(path);
    EXPECT_TRUE(restarted.IsWordCorrect(u"vellumo"));
}

// A text with one finding, the answer to its first question, and what
// the check did: whether it reached the end, the text, the questions asked.
struct TFindingCase
{
    const char* Name;
    const char* Text;
    int Answer;
    bool Finished;
    const char* Result;
    const char* Asked;
};

class FindingAnswered : public CheckText, public ::testing::WithParamInterface<TFindingCase>
{
};

TEST_P(FindingAnswered, AsTheAnswerSays)
{
    TStringSpellText text(QString::fromUtf8(GetParam().Text));
    EXPECT_EQ(Check(text, {{GetParam().Answer, {}}}), GetParam().Finished);
    EXPECT_EQ(text.Text(), QString::fromUtf8(GetParam().Result));
    EXPECT_EQ(FScript.Asked.join(QLatin1Char(';')), QString::fromUtf8(GetParam().Asked));
}

INSTANTIATE_TEST_SUITE_P(
    RepeatedWord, FindingAnswered,
    ::testing::Values(
        TFindingCase{"DeleteTakesTheBlankAfterIt", "I saw the the cat", A::Yes, true, "I saw the cat",
                    "repeated:the the"},
        TFindingCase{"DeleteAtTheEndOfALineTakesTheBlankBeforeIt", "I saw the the\ncat", A::Yes, true,
                    "I saw the\ncat", "repeated:the the"},
        TFindingCase{"OtherLetterCaseIsARepeatToo", "The the cat", A::Yes, true, "The cat", "repeated:The the"},
        TFindingCase{"AcrossALineBreak", "the\nthe cat", A::No, true, "the\nthe cat", "repeated:the\nthe"},
        TFindingCase{"KeepGoesOn", "the the cat", A::No, true, "the the cat", "repeated:the the"},
        TFindingCase{"StopEndsTheCheck", "the the cat", A::Stop, false, "the the cat", "repeated:the the"},
        TFindingCase{"ATripleAsksTwice", "the the the cat", A::Yes, false, "the the cat",
                    "repeated:the the;repeated:the the"},
        TFindingCase{"WordsWithOtherPunctuationAreNoRepeat", "the, the cat", A::Yes, true, "the, the cat", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CheckText, AStoppedRepeatLeavesTheCaretOnTheSecondWord)
{
    TStringSpellText text(QStringLiteral("I saw the the cat"));
    EXPECT_FALSE(Check(text, {}));
    EXPECT_EQ(text.CaretPosition(), 10);
}

TEST_F(CheckText, AMisspelledWordIsNoRepeatOfTheWordAfterIt)
{
    TStringSpellText text(QStringLiteral("teh teh cat"));
    EXPECT_TRUE(Check(text, {{A::Ignore, {}}, {A::Ignore, {}}}));
    EXPECT_EQ(FScript.Asked, QStringList({QStringLiteral("misspelled:teh"), QStringLiteral("misspelled:teh")}));
}

INSTANTIATE_TEST_SUITE_P(
    DoubleSpaces, FindingAnswered,
    ::testing::Values(
        TFindingCase{"DeleteLeavesOneSpace", "the cat\nsat   on the mat", A::Yes, true, "the cat\nsat on the mat",
                    "spaces:sat   on the mat"},
        TFindingCase{"KeepGoesOn", "the cat  sat", A::No, true, "the cat  sat", "spaces:the cat  sat"},
        TFindingCase{"StopEndsTheCheck", "the cat  sat", A::Stop, false, "the cat  sat", "spaces:the cat  sat"},
        TFindingCase{"AfterAMisspelledWord", "teh  cat", A::Ignore, false, "teh  cat",
                    "misspelled:teh;spaces:teh  cat"},
        TFindingCase{"NotAtTheEndOfTheText", "the cat  ", A::Yes, true, "the cat  ", ""},
        TFindingCase{"ATabIsNoSpace", "the \tcat", A::Yes, true, "the \tcat", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CheckText, TheOptionsTurnTheRepeatAndSpaceTestsOff)
{
    FChecker.SetDuplicateWords(false);
    FChecker.SetDuplicateSpaces(false);
    TStringSpellText text(QStringLiteral("the the  cat"));
    EXPECT_TRUE(Check(text, {}));
    EXPECT_TRUE(FScript.Asked.isEmpty());
}

TEST_F(CheckText, TheWordUnderQuestionIsSelected)
{
    TStringSpellText text(QStringLiteral("I saw (teh) cat"));
    qsizetype start = -1;
    qsizetype length = -1;
    FChecker.SetOnMisspelledWord([&](const QString&, QString&) {
        start = text.CaretPosition();
        length = text.SelectionLength();
        return A::Ignore;
    });
    EXPECT_TRUE(FChecker.CheckText(text));
    EXPECT_EQ(start, 6);
    EXPECT_EQ(length, 5);
}

TEST_F(CheckText, WordsLongerThanAReadChunkAreReadWhole)
{
    const QString longWord = QString(70, QLatin1Char('x'));
    TStringSpellText text(QStringLiteral("the ") + longWord + QStringLiteral(" cat"), 40);
    EXPECT_FALSE(Check(text, {}));
    EXPECT_EQ(FScript.Asked, QStringList{QStringLiteral("misspelled:") + longWord});
    EXPECT_EQ(text.CaretPosition(), 4);
}

} // namespace
