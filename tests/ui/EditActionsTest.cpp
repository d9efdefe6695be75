#include "tests/ui/DialogTestSupport.h"
#include "ui/VarEdit.h"
#include "ui/actions/ActionSets.h"
#include "ui/actions/ActionUpdater.h"
#include "ui/actions/EditActions.h"
#include "ui/actions/ListActions.h"
#include "ui/actions/TextToolbar.h"
#include "ui/edit/FindRichEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using ::PrintTo;

// A window with the shared edit set, a rich edit, a one-line edit and a
// list without any edit interface.
class EditActionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (QAction* action : CreateEditActions(&FWindow))
            FActions[action->objectName()] = action;
        FWindow.addActions(FActions.values());
        FRich = new TWideRichEdit(&FWindow);
        FLine = new TVarEdit(&FWindow);
        FList = new QListWidget(&FWindow);
        FList->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        for (QWidget* control : std::initializer_list<QWidget*>{FRich, FLine, FList})
            FWindow.layout()->addWidget(control);
        FWindow.Activate();
    }

    [[nodiscard]] QAction* Action(const char* name) const { return FActions.value(QString::fromLatin1(name)); }

    TEnglishLanguage FLanguage;
    TBeepCounter FBeeps;
    TActiveWindow FWindow;
    QMap<QString, QAction*> FActions;
    TWideRichEdit* FRich = nullptr;
    TVarEdit* FLine = nullptr;
    QListWidget* FList = nullptr;
};

struct TTextFieldCase
{
    std::string Name;
    bool Rich;
    bool ReadOnly;
    bool CanCut;
};

class TextFieldStates : public EditActionsTest, public ::testing::WithParamInterface<TTextFieldCase>
{
};

TEST_P(TextFieldStates, FollowTheFieldWithASelection)
{
    const TTextFieldCase& c = GetParam();
    QWidget* field = c.Rich ? static_cast<QWidget*>(FRich) : FLine;
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    if (c.Rich) {
        FRich->setPlainText(QStringLiteral("some text"));
        FRich->setReadOnly(c.ReadOnly);
        FRich->selectAll();
    } else {
        FLine->setText(QStringLiteral("some text"));
        FLine->setReadOnly(c.ReadOnly);
        FLine->selectAll();
    }
    FocusOn(field);
    EXPECT_TRUE(Action("AEditCopy")->isEnabled());
    EXPECT_TRUE(Action("AEditSelectAll")->isEnabled());
    EXPECT_EQ(Action("AEditCut")->isEnabled(), c.CanCut);
    EXPECT_EQ(Action("AEditDelete")->isEnabled(), c.CanCut);
    EXPECT_EQ(Action("AEditPaste")->isEnabled(), c.CanCut);
    // No find interface in these fields.
    EXPECT_FALSE(Action("AEditFind")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Cases, TextFieldStates,
                         ::testing::Values(TTextFieldCase{"ReadOnlyRichEdit", true, true, false},
                                           TTextFieldCase{"EditableRichEdit", true, false, true},
                                           TTextFieldCase{"ReadOnlyLineEdit", false, true, false},
                                           TTextFieldCase{"EditableLineEdit", false, false, true}),
                         TCaseName());

TEST_F(EditActionsTest, UndoAndRedoHideWhereTheFocusedControlHasNoUndo)
{
    FocusOn(FList);
    EXPECT_FALSE(Action("AEditUndo")->isVisible());
    EXPECT_FALSE(Action("AEditRedo")->isVisible());
    EXPECT_FALSE(Action("AEditUndo")->isEnabled());
    EXPECT_FALSE(Action("AEditCopy")->isEnabled());

    FocusOn(FRich);
    EXPECT_TRUE(Action("AEditUndo")->isVisible());
    EXPECT_FALSE(Action("AEditUndo")->isEnabled());
    QTest::keyClicks(FRich, QStringLiteral("abc"));
    Settle();
    EXPECT_TRUE(Action("AEditUndo")->isEnabled());
    EXPECT_FALSE(Action("AEditRedo")->isEnabled());
}

TEST_F(EditActionsTest, UndoAndRedoRunThroughTheActionsAndTheirKeys)
{
    FocusOn(FRich);
    QTest::keyClicks(FRich, QStringLiteral("abc"));
    Settle();
    Action("AEditUndo")->trigger();
    EXPECT_EQ(FRich->toPlainText(), QString());
    Settle();
    ASSERT_TRUE(Action("AEditRedo")->isEnabled());
    Action("AEditRedo")->trigger();
    EXPECT_EQ(FRich->toPlainText(), QStringLiteral("abc"));
    // The desktop's keys reach the same operations.
    QTest::keyClick(FRich, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(FRich->toPlainText(), QString());
    QTest::keyClick(FRich, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(FRich->toPlainText(), QStringLiteral("abc"));
}

TEST_F(EditActionsTest, CutPasteAndDeleteActOnTheFocusedField)
{
    FLine->setText(QStringLiteral("one two"));
    FocusOn(FLine);
    FLine->setSelection(0, 4);
    Settle();
    Action("AEditCut")->trigger();
    EXPECT_EQ(FLine->text(), QStringLiteral("two"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("one "));

    FRich->setPlainText(QStringLiteral("left right"));
    FocusOn(FRich);
    QTextCursor cursor = FRich->textCursor();
    cursor.setPosition(4);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    FRich->setTextCursor(cursor);
    Settle();
    Action("AEditDelete")->trigger();
    EXPECT_EQ(FRich->toPlainText(), QStringLiteral("left"));
    Settle();
    Action("AEditPaste")->trigger();
    EXPECT_EQ(FRich->toPlainText(), QStringLiteral("leftone "));
}

TEST_F(EditActionsTest, PasteNeedsTextOnTheClipboard)
{
    FocusOn(FLine);
    auto* image = new QMimeData;
    image->setData(QStringLiteral("image/png"), QByteArray("\x89PNG"));
    QApplication::clipboard()->setMimeData(image);
    Settle();
    EXPECT_FALSE(Action("AEditPaste")->isEnabled());
    QApplication::clipboard()->setText(QStringLiteral("text"));
    Settle();
    EXPECT_TRUE(Action("AEditPaste")->isEnabled());
}

TEST_F(EditActionsTest, SearchAgainIsDisabledWhileTheFocusedFieldIsEmpty)
{
    auto* find = new TFindRichEdit(&FWindow);
    FWindow.layout()->addWidget(find);
    FocusOn(find);
    EXPECT_FALSE(Action("AEditSearchAgain")->isEnabled());
    EXPECT_FALSE(Action("AEditFind")->isEnabled());
    QTest::keyClicks(find, QStringLiteral("x"));
    Settle();
    EXPECT_TRUE(Action("AEditSearchAgain")->isEnabled());
    EXPECT_TRUE(Action("AEditFind")->isEnabled());
}

// Counts how often the updater asks it for its state.
class TCountingAction : public TTargetAction
{
public:
    using TTargetAction::TTargetAction;
    int Updates = 0;

protected:
    bool HandlesTarget(QWidget*) const override { return true; }
    void UpdateTarget(QWidget*) override { ++Updates; }
    void ExecuteTarget(QWidget*) override {}
};

TEST_F(EditActionsTest, ActionsAreUpdatedAfterEventsAndNeverWhileNothingHappens)
{
    TCountingAction counting;
    FocusOn(FList);
    Settle(50);
    counting.Updates = 0;
    // A list without a caret: nothing repaints, nothing is updated.
    Settle(300);
    EXPECT_EQ(counting.Updates, 0);
    QTest::keyClick(FList, Qt::Key_Down);
    Settle();
    EXPECT_GE(counting.Updates, 1);
    EXPECT_LE(counting.Updates, 4);
}

TEST_F(EditActionsTest, TheTwoDeleteKeysAreNeverEnabledTogether)
{
    // The shared sets give Delete both to text fields and to ordered
    // lists; only the one responsible for the focused control is enabled,
    // so the key is never ambiguous.
    QList<QAction*> all = FActions.values();
    all << CreateListBoxActions(&FWindow);
    FWindow.addActions(all);
    FLine->setText(QStringLiteral("x"));
    FLine->selectAll();
    for (QWidget* control : std::initializer_list<QWidget*>{FLine, FList, FRich}) {
        FocusOn(control);
        std::map<QKeySequence, int> enabled;
        for (const QAction* action : all)
            if (action->isEnabled())
                for (const QKeySequence& key : action->shortcuts())
                    ++enabled[key];
        for (const auto& [key, count] : enabled)
            EXPECT_EQ(count, 1) << key.toString().toStdString();
    }
}

TEST_F(EditActionsTest, SharedSetsAreNamedCaptionedAndUseTheDesktopKeys)
{
    EXPECT_EQ(Action("AEditCopy")->text(), QStringLiteral("Copy"));
    EXPECT_EQ(Action("AEditCopy")->shortcuts(), QKeySequence::keyBindings(QKeySequence::Copy));
    EXPECT_EQ(Action("AEditSearchAgain")->shortcuts(), QKeySequence::keyBindings(QKeySequence::FindNext));
    const QList<QAction*> lists = CreateListBoxActions(&FWindow);
    ASSERT_EQ(lists.size(), 8);
    EXPECT_EQ(lists[0]->objectName(), QStringLiteral("AListBoxAdd"));
    EXPECT_EQ(lists[0]->shortcut(), QKeySequence(Qt::Key_Insert));
    EXPECT_EQ(lists[4]->text(), QStringLiteral("Move up"));
    EXPECT_EQ(lists[4]->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Up));
}

TEST_F(EditActionsTest, NextAndPreviousMoveTheListSelection)
{
    TNextItemListAction next;
    TPrevItemListAction prev;
    int executed = 0;
    prev.OnExecute = [&executed] { ++executed; };
    FList->setCurrentRow(2);
    FocusOn(FList);
    EXPECT_FALSE(next.isEnabled());
    EXPECT_TRUE(prev.isEnabled());
    prev.trigger();
    EXPECT_EQ(FList->currentRow(), 1);
    EXPECT_EQ(executed, 1);
    Settle();
    EXPECT_TRUE(next.isEnabled());

    // Fixed to the list, they act on it wherever the focus is.
    next.SetFixedControl(FList);
    FocusOn(FLine);
    next.trigger();
    EXPECT_EQ(FList->currentRow(), 2);
}

TEST_F(EditActionsTest, TheTextToolbarLaysOutItsButtonsAndLeavesTheFocusAlone)
{
    auto* toolbar = new TTextToolbar(&FWindow);
    static_cast<QBoxLayout*>(FWindow.layout())->insertWidget(0, toolbar);
    QToolButton* copy = toolbar->AddAction(Action("AEditCopy"));
    QToolButton* cut = toolbar->AddAction(Action("AEditCut"));
    QToolButton* undo = toolbar->AddAction(Action("AEditUndo"));
    FLine->setText(QStringLiteral("word"));
    FLine->selectAll();
    FocusOn(FLine);
    Settle();

    const QFontMetrics metrics(toolbar->font());
    const int z = metrics.horizontalAdvance(QLatin1Char('0'));
    const int h = metrics.height();
    EXPECT_EQ(toolbar->height(), h + 12);
    EXPECT_EQ(copy->geometry(), QRect(z, 3, metrics.horizontalAdvance(QStringLiteral("Copy")) + 2 * z, h + 6));
    EXPECT_EQ(cut->x(), copy->x() + copy->width() + 2 * z);
    EXPECT_TRUE(undo->isVisible());

    Click(copy);
    EXPECT_EQ(QApplication::focusWidget(), FLine);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("word"));

    // In the list there is no undo: its button goes.
    FocusOn(FList);
    EXPECT_FALSE(undo->isVisible());
}

} // namespace
