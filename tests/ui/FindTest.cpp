#include "settings/History.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/VarControls.h"
#include "ui/actions/ActionSets.h"
#include "ui/dialogs/FindDialog.h"
#include "ui/edit/FindRichEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using ::PrintTo;

// cat(0) concatenate(4, "cat" at 7) Cat(16) cats(20) cat(25)
const QString kText = QStringLiteral("cat concatenate Cat cats cat");

class FindTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FEdit = new TFindRichEdit(&FWindow);
        FWindow.layout()->addWidget(FEdit);
        FWindow.Activate();
        FocusOn(FEdit);
    }

    void SetOptions(bool down, bool wholeWord, bool matchCase)
    {
        FSettings.Options.SetFindDown(down);
        FSettings.Options.SetWholeWord(wholeWord);
        FSettings.Options.SetMatchCase(matchCase);
    }

    void SetCaret(int position)
    {
        QTextCursor cursor = FEdit->textCursor();
        cursor.setPosition(position);
        FEdit->setTextCursor(cursor);
    }

    [[nodiscard]] int SelectionStart() const
    {
        return FEdit->textCursor().hasSelection() ? FEdit->textCursor().selectionStart() : -1;
    }

    // Answers the next find dialog with a text, typed into its combo, and OK.
    void AnswerFind(const QString& text)
    {
        FAnswers.Then([text](TDialog& dialog) {
            auto* combo = dialog.findChild<TVarCombo*>(QStringLiteral("FindText"));
            ASSERT_TRUE(combo);
            combo->lineEdit()->selectAll();
            QTest::keyClicks(combo->lineEdit(), text);
            Click(dialog.OkButton());
        });
    }

    TOptionsSandbox FSettings;
    TBeepCounter FBeeps;
    TDialogAnswers FAnswers;
    TActiveWindow FWindow;
    TFindRichEdit* FEdit = nullptr;
};

struct TSearchCase
{
    std::string Name;
    int Caret;
    bool Down;
    bool WholeWord;
    bool MatchCase;
    int Found; // start of the selected match; -1 when nothing is found
};

class Searches : public FindTest, public ::testing::WithParamInterface<TSearchCase>
{
};

TEST_P(Searches, SelectTheNextMatchInTheDirection)
{
    const TSearchCase& c = GetParam();
    FEdit->setPlainText(kText);
    SetCaret(c.Caret);
    SetOptions(c.Down, c.WholeWord, c.MatchCase);
    EXPECT_EQ(FEdit->Search(QStringLiteral("cat")), c.Found >= 0);
    if (c.Found >= 0) {
        EXPECT_EQ(SelectionStart(), c.Found);
        EXPECT_EQ(FEdit->textCursor().selectedText(), kText.mid(c.Found, 3));
        EXPECT_TRUE(FAnswers.Boxes.isEmpty());
    } else {
        EXPECT_EQ(SelectionStart(), -1);
        EXPECT_EQ(FEdit->textCursor().position(), c.Caret);
        EXPECT_EQ(FAnswers.Boxes, QStringList{QStringLiteral("The text \"cat\" was not found.")});
    }
    EXPECT_EQ(FEdit->LastText(), QStringLiteral("cat"));
}

INSTANTIATE_TEST_SUITE_P(Cases, Searches,
                         ::testing::Values(TSearchCase{"ForwardFindsInsideWords", 1, true, false, false, 7},
                                           TSearchCase{"WholeWordDoesNotMatchInsideAWord", 1, true, true, false, 16},
                                           TSearchCase{"WholeWordAndCase", 1, true, true, true, 25},
                                           TSearchCase{"CaseOnly", 8, true, false, true, 20},
                                           TSearchCase{"BackwardFromTheCaret", 19, false, false, false, 16},
                                           TSearchCase{"BackwardWholeWord", 24, false, true, false, 16},
                                           TSearchCase{"BackwardWholeWordAndCase", 28, false, true, true, 25},
                                           TSearchCase{"NothingAfterTheCaret", 26, true, true, true, -1},
                                           TSearchCase{"NothingBeforeTheCaret", 0, false, false, false, -1}),
                         TCaseName());

TEST_F(FindTest, SearchingAgainBackwardsWalksTowardsTheStart)
{
    FEdit->setPlainText(QStringLiteral("a x a x a"));
    SetCaret(9);
    SetOptions(false, false, false);
    std::vector<int> found;
    ASSERT_TRUE(FEdit->Search(QStringLiteral("a")));
    found.push_back(SelectionStart());
    while (FAnswers.Boxes.isEmpty() && found.size() < 5) {
        FEdit->SearchAgain();
        found.push_back(SelectionStart());
    }
    EXPECT_EQ(found, (std::vector<int>{8, 4, 0, 0}));
    EXPECT_EQ(FAnswers.Dialogs, 0);
}

TEST_F(FindTest, SearchAgainWithoutAPreviousSearchOpensTheFindDialog)
{
    FEdit->setPlainText(kText);
    SetCaret(5);
    SetOptions(true, true, false);
    AnswerFind(QStringLiteral("cat"));
    FEdit->SearchAgain();
    EXPECT_EQ(FAnswers.Dialogs, 1);
    EXPECT_EQ(SelectionStart(), 16);
    // Now there is a text to search for again.
    FEdit->SearchAgain();
    EXPECT_EQ(FAnswers.Dialogs, 1);
    EXPECT_EQ(SelectionStart(), 25);
}

TEST_F(FindTest, TheKeysOfTheSharedActionsFindAndSearchAgain)
{
    const QList<QAction*> actions = CreateEditActions(&FWindow);
    FWindow.addActions(actions);
    FEdit->setPlainText(kText);
    SetCaret(17);
    SetOptions(true, false, false);
    Settle();
    QString offered;
    FAnswers.Then([&offered](TDialog& dialog) {
        offered = dialog.findChild<TVarCombo*>(QStringLiteral("FindText"))->currentText();
        Click(dialog.OkButton());
    });
    QTest::keySequence(FEdit, QKeySequence(QKeySequence::Find));
    EXPECT_EQ(FAnswers.Dialogs, 1);
    // The word at the caret is offered, and found from the caret on.
    EXPECT_EQ(offered, QStringLiteral("Cat"));
    EXPECT_EQ(SelectionStart(), 20);
    // Back in the window once the dialog has gone.
    EXPECT_TRUE(QTest::qWaitForWindowActive(&FWindow));
    Settle();
    QTest::keySequence(FEdit, QKeySequence(QKeySequence::FindNext));
    EXPECT_EQ(SelectionStart(), 25);
    EXPECT_EQ(FAnswers.Dialogs, 1);
}

TEST_F(FindTest, TheFindDialogSetsTheOptionsAndTheHistoryOnOkOnly)
{
    SetOptions(true, false, false);
    QString text = QStringLiteral("first");
    FAnswers.Then([](TDialog& dialog) {
        Click(dialog.findChild<TVarCheck*>(QStringLiteral("WholeWord")));
        Click(dialog.findChild<TVarRadio*>(QStringLiteral("FindDown"))->findChildren<QRadioButton*>().first());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(RunFindDialog(text, &FSettings.Options));
    EXPECT_FALSE(FSettings.Options.WholeWord());
    EXPECT_TRUE(FSettings.Options.FindDown());
    EXPECT_EQ(text, QStringLiteral("first"));

    FAnswers.Then([](TDialog& dialog) {
        auto* combo = dialog.findChild<TVarCombo*>(QStringLiteral("FindText"));
        EXPECT_EQ(combo->currentText(), QStringLiteral("first"));
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Find"));
        Click(dialog.findChild<TVarCheck*>(QStringLiteral("WholeWord")));
        Click(dialog.findChild<TVarRadio*>(QStringLiteral("FindDown"))->findChildren<QRadioButton*>().first());
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), QStringLiteral("second"));
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    });
    EXPECT_TRUE(RunFindDialog(text, &FSettings.Options));
    EXPECT_TRUE(FSettings.Options.WholeWord());
    EXPECT_FALSE(FSettings.Options.FindDown());
    EXPECT_EQ(text, QStringLiteral("second"));
    THistory& history = FSettings.Options.History();
    history.SelectHistory(QStringLiteral("FindText"), QString());
    EXPECT_EQ(history.Get(0), QStringLiteral("second"));

    // The next dialog offers the history.
    FAnswers.Then([](TDialog& dialog) {
        EXPECT_GE(dialog.findChild<TVarCombo*>(QStringLiteral("FindText"))->findText(QStringLiteral("second")), 0);
        dialog.reject();
    });
    EXPECT_FALSE(RunFindDialog(text, &FSettings.Options));
}

TEST_F(FindTest, TheFindDialogFitsItsTextsAtEveryFontSize)
{
    const QFont original = QApplication::font();
    for (const int pointSize : {9, 14}) {
        QFont font = original;
        font.setPointSize(pointSize);
        QApplication::setFont(font);
        FAnswers.Then([pointSize](TDialog& dialog) {
            const QSize size = dialog.size();
            EXPECT_GT(size.width(), size.height());
            EXPECT_GE(size.width() * 100, size.height() * 162);
            for (const std::string& fault : LayoutFaults(&dialog))
                ADD_FAILURE() << pointSize << " pt: " << fault;
            dialog.reject();
        });
        QString text;
        RunFindDialog(text, &FSettings.Options);
    }
    QApplication::setFont(original);
}

struct TCaretCase
{
    std::string Name;
    QString Text;
    int Anchor;
    int Position;
    QString Expected;
};

class TextsAroundTheCaret : public FindTest, public ::testing::WithParamInterface<TCaretCase>
{
};

TEST_P(TextsAroundTheCaret, AreTheWordOrTheSelection)
{
    const TCaretCase& c = GetParam();
    FEdit->setPlainText(c.Text);
    QTextCursor cursor = FEdit->textCursor();
    cursor.setPosition(c.Anchor);
    cursor.setPosition(c.Position, QTextCursor::KeepAnchor);
    FEdit->setTextCursor(cursor);
    EXPECT_EQ(FEdit->TextAroundCaret(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextsAroundTheCaret,
    ::testing::Values(
        TCaretCase{"InsideAWord", QStringLiteral("hello world"), 2, 2, QStringLiteral("hello")},
        TCaretCase{"AtTheEndOfAWord", QStringLiteral("hello world"), 11, 11, QStringLiteral("world")},
        TCaretCase{"BetweenDelimiters", QStringLiteral("a, b"), 2, 2, QString()},
        TCaretCase{"ASelection", QStringLiteral("hello wide world"), 3, 10, QStringLiteral("lo wide")},
        TCaretCase{"ASelectionOverTwoLinesGivesTheWord", QStringLiteral("one\ntwo"), 1, 6, QStringLiteral("two")},
        TCaretCase{"CyrillicLetters", QStringLiteral("\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440"), 3,
                   3, QStringLiteral("\u041f\u0440\u0438\u0432\u0435\u0442")},
        TCaretCase{"DigitsBelongToWords", QStringLiteral("(abc123)"), 4, 4, QStringLiteral("abc123")}),
    TCaseName());

} // namespace
