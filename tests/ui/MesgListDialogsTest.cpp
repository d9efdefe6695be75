// The column dialog and the sort dialog of the message list.

#include "tests/ui/DialogTestSupport.h"
#include "tests/ui/MesgListTestSupport.h"

#include "messages/MesgFields.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "ui/VarControls.h"
#include "ui/dialogs/ColumnsDialog.h"
#include "ui/dialogs/OrderButtons.h"
#include "ui/dialogs/SortDialog.h"
#include "ui/mesglist/MailColumnsList.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

namespace {

using ::PrintTo;

// The rows of a list box.
QStringList Rows(const QListWidget& box)
{
    QStringList rows;
    for (int row = 0; row < box.count(); ++row)
        rows << box.item(row)->text();
    return rows;
}

QStringList Captions(std::initializer_list<int> fields)
{
    QStringList captions;
    for (int field : fields)
        captions << MesgFieldCaption(field, true);
    return captions;
}

// The buttons of the column dialog, in the order the dialog makes them.
enum TColumnButton { cbAdd, cbDelete, cbMoveUp, cbMoveDown };

class MesgListDialogs : public MesgListTest
{
protected:
    TMesgListView& List() { return FWindow->List(); }

    static QPushButton* Button(TColumnsDialog& dialog, TColumnButton button)
    {
        return dialog.Buttons()->Buttons().at(button);
    }
    // The buttons' actions follow the list box when the application idles.
    static void Press(TColumnsDialog& dialog, TColumnButton button)
    {
        QApplication::processEvents();
        Click(Button(dialog, button));
    }

    TDialogAnswers FAnswers;
};

TEST_F(MesgListDialogs, AddedColumnsGoToTheEndAndTheListTakesThemOnOk)
{
    TMesgListView& list = List();
    TColumnsDialog dialog(list);
    FAnswers.Then([&](TDialog&) {
        TMesgColListBox& shown = *dialog.ShownBox();
        QListWidget& hidden = *dialog.HiddenBox();
        EXPECT_EQ(shown.currentRow(), 0);
        EXPECT_EQ(Rows(shown), Captions({mcSubject, mcFromRealName, mcFromEmail}));
        EXPECT_EQ(Rows(hidden), Captions({mcToRealName, mcToEmail, mcDateSent, mcDateReceived, mcSize, mcAttachment,
                                          mcPriority, mcFlagged}));

        hidden.setCurrentRow(4);   // the size
        Press(dialog, cbAdd);
        EXPECT_EQ(Rows(shown), Captions({mcSubject, mcFromRealName, mcFromEmail, mcSize}));
        EXPECT_FALSE(Rows(hidden).contains(MesgFieldCaption(mcSize, true)));
        EXPECT_EQ(shown.currentRow(), 3);
        // The list itself is not touched before OK.
        EXPECT_EQ(list.MailColumns().Count(), 3);

        Press(dialog, cbMoveUp);
        shown.setCurrentRow(0);
        Press(dialog, cbDelete);
        EXPECT_EQ(Rows(shown), Captions({mcFromRealName, mcSize, mcFromEmail}));
        EXPECT_EQ(Rows(hidden).first(), MesgFieldCaption(mcSubject, true));
        Click(dialog.OkButton());
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(list.MailColumns().Fields(), (std::vector<int>{mcFromRealName, mcSize, mcFromEmail}));
    EXPECT_EQ(list.Columns().size(), 3u);
    EXPECT_EQ(list.ColumnOfField(mcSize), 1);
    EXPECT_TRUE(FAnswers.Boxes.isEmpty());
}

TEST_F(MesgListDialogs, MovesStopAtTheEndsOfTheList)
{
    TColumnsDialog dialog(List());
    FAnswers.Then([&](TDialog& shown) {
        QApplication::processEvents();
        // The context menu of the list offers what the buttons do.
        QStringList commands;
        for (const QAction* action : dialog.ShownBox()->actions())
            commands << action->text();
        QStringList buttons;
        for (const QPushButton* button : dialog.Buttons()->Buttons())
            buttons << button->text();
        EXPECT_EQ(commands, buttons);
        EXPECT_FALSE(Button(dialog, cbMoveUp)->isEnabled());
        EXPECT_TRUE(Button(dialog, cbMoveDown)->isEnabled());
        dialog.ShownBox()->setCurrentRow(2);
        QApplication::processEvents();
        EXPECT_TRUE(Button(dialog, cbMoveUp)->isEnabled());
        EXPECT_FALSE(Button(dialog, cbMoveDown)->isEnabled());
        // Deleting the last row selects the new last row.
        Press(dialog, cbDelete);
        EXPECT_EQ(dialog.ShownBox()->currentRow(), 1);
        QTest::keyClick(&shown, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(List().MailColumns().Count(), 3);
}

TEST_F(MesgListDialogs, WithoutATextColumnOkExplainsAndTheDialogStays)
{
    TMesgListView& list = List();
    TColumnsDialog dialog(list);
    FAnswers.Then([&](TDialog& shown) {
        dialog.HiddenBox()->setCurrentRow(4);   // the size
        Press(dialog, cbAdd);
        for (int n = 0; n < 3; ++n) {
            dialog.ShownBox()->setCurrentRow(0);
            Press(dialog, cbDelete);
        }
        EXPECT_EQ(Rows(*dialog.ShownBox()), Captions({mcSize}));
        Click(shown.OkButton());
        EXPECT_EQ(FAnswers.Boxes, QStringList{FLanguage.Table.SectionValue(QStringLiteral("MDialogs"),
                                                                             QStringLiteral("TextColumns"))});
        EXPECT_TRUE(shown.isVisible());

        // A double click in the other box adds the field as well.
        // The others now: subject, from name, from address, to name ...
        const QRect row = dialog.HiddenBox()->visualItemRect(dialog.HiddenBox()->item(3));
        QTest::mouseClick(dialog.HiddenBox()->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(dialog.HiddenBox()->viewport(), Qt::LeftButton, {}, row.center());
        EXPECT_EQ(Rows(*dialog.ShownBox()), Captions({mcSize, mcToRealName}));
        Click(shown.OkButton());
        // A refusal must not leave the test waiting.
        if (shown.isVisible())
            shown.reject();
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(FAnswers.Boxes.size(), 1);
    EXPECT_EQ(list.MailColumns().Fields(), (std::vector<int>{mcSize, mcToRealName}));
}

TEST_F(MesgListDialogs, TheSortDialogSortsThroughTheListsProperties)
{
    const QByteArray senders[] = {"Carol <c@example.org>", "Alice <a@example.org>", "Bob <b@example.org>"};
    SaveMany(kInbox, 3, [&](int n) { return TTestMessage("Subject " + QByteArray::number(n)).From(senders[n]); });
    TMesgListView& list = List();
    FWindow->Open(kInbox);
    ASSERT_EQ(ColumnTexts(list, 0), Texts({"Subject 0", "Subject 1", "Subject 2"}));

    // Cancel changes nothing.
    FAnswers.Then([](TDialog& shown) {
        shown.findChild<QComboBox*>()->setCurrentIndex(msFromRealName);
        QTest::keyClick(&shown, Qt::Key_Escape);
    });
    EXPECT_FALSE(RunSortDialog(list));
    EXPECT_EQ(list.MessageSort(), msSubject);

    FAnswers.Then([](TDialog& shown) {
        auto* key = shown.findChild<QComboBox*>();
        EXPECT_EQ(key->currentIndex(), msSubject);
        EXPECT_EQ(key->itemText(msDateReceived), QStringLiteral("Date received"));
        key->setCurrentIndex(msFromRealName);
        shown.findChild<QCheckBox*>()->setChecked(true);
        Click(shown.OkButton());
    });
    EXPECT_TRUE(RunSortDialog(list));
    EXPECT_EQ(list.MessageSort(), msFromRealName);
    EXPECT_TRUE(list.InvertSort());
    EXPECT_EQ(ColumnTexts(list, 0), Texts({"Subject 0", "Subject 2", "Subject 1"}));
    list.SetInvertSort(false);
    EXPECT_EQ(ColumnTexts(list, 0), Texts({"Subject 1", "Subject 2", "Subject 0"}));
}

} // namespace
