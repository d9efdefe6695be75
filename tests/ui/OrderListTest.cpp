#include "settings/UiHooks.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/actions/ActionSets.h"
#include "ui/actions/ListActions.h"
#include "ui/dialogs/OrderButtons.h"
#include "ui/dialogs/OrderListBox.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

namespace {

using ::PrintTo;

// An ordered list of texts that supports the kinds it is given and logs
// what it is asked to do.
class TTextList : public IOrderInterface
{
public:
    explicit TTextList(QStringList texts, std::set<int> kinds = {okAdd, okDelete, okMoveDown, okMoveUp})
        : Texts(std::move(texts))
        , Kinds(std::move(kinds))
    {
    }

    bool Supports(int kind) const override { return Kinds.count(kind) > 0; }
    bool CanAdd() const override { return true; }
    void Add() override { Texts << QStringLiteral("new %1").arg(Texts.size()); }
    bool CanDelete(int index) const override { return index >= 0 && index < Texts.size(); }
    void Delete(int index) override { Texts.removeAt(index); }
    void Move(int from, int to) override { Texts.move(from, to); }
    void Load(int index) override { Log << QStringLiteral("load %1").arg(index); }
    void Save(int index) override { Log << QStringLiteral("save %1").arg(index); }
    void Properties(int index) override { Log << QStringLiteral("properties %1").arg(index); }
    void SetDefault(int index) override { Log << QStringLiteral("default %1").arg(index); }
    int Count() const override { return static_cast<int>(Texts.size()); }
    QString Text(int index) const override { return Texts.value(index); }

    QStringList Texts;
    std::set<int> Kinds;
    QStringList Log;
};

QStringList Rows(const QListWidget& list)
{
    QStringList rows;
    for (int i = 0; i < list.count(); ++i)
        rows << list.item(i)->text();
    return rows;
}

class OrderListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FWindow.layout()->addWidget(FBox = new TOrderListBox(&FWindow));
        FWindow.layout()->addWidget(FButtons = new TOrderButtons(&FWindow));
    }

    TEnglishLanguage FLanguage;
    TBeepCounter FBeeps;
    TActiveWindow FWindow;
    TOrderListBox* FBox = nullptr;
    TOrderButtons* FButtons = nullptr;
};

struct TDeleteCase
{
    std::string Name;
    int Rows;
    int Selected;
    int SelectedAfter;
};

class Deleting : public OrderListTest, public ::testing::WithParamInterface<TDeleteCase>
{
};

TEST_P(Deleting, KeepsTheSelectedRowWhereItCan)
{
    const TDeleteCase& c = GetParam();
    QStringList texts;
    for (int i = 0; i < c.Rows; ++i)
        texts << QStringLiteral("row %1").arg(i);
    TTextList data(texts);
    FBox->SetDataObject(&data);
    FBox->setCurrentRow(c.Selected);
    FBox->Delete(c.Selected);
    EXPECT_EQ(FBox->count(), c.Rows - 1);
    EXPECT_EQ(FBox->currentRow(), c.SelectedAfter);
    EXPECT_EQ(Rows(*FBox), data.Texts);
}

INSTANTIATE_TEST_SUITE_P(Cases, Deleting,
                         ::testing::Values(TDeleteCase{"TheLastRowSelectsTheNewLast", 4, 3, 2},
                                           TDeleteCase{"AMiddleRowKeepsTheIndex", 4, 1, 1},
                                           TDeleteCase{"TheFirstRow", 3, 0, 0},
                                           TDeleteCase{"TheOnlyRowLeavesNothingSelected", 1, 0, -1}),
                         TCaseName());

TEST_F(OrderListTest, WithoutADataObjectNothingIsPossible)
{
    EXPECT_EQ(FBox->Count(), 0);
    EXPECT_FALSE(FBox->Supports(okAdd));
    EXPECT_FALSE(FBox->CanAdd());
    EXPECT_FALSE(FBox->CanDelete(0));
    EXPECT_EQ(FBox->Text(0), QString());
    FBox->Add();
    FBox->Move(0, 1);
    FBox->Save(0);
    EXPECT_EQ(FBox->count(), 0);
}

TEST_F(OrderListTest, UnsupportedRequestsAreIgnored)
{
    TTextList data({QStringLiteral("a"), QStringLiteral("b")}, {okSave});
    FBox->SetDataObject(&data);
    FBox->Add();
    FBox->Delete(0);
    FBox->Move(0, 1);
    FBox->Load(1);
    FBox->Save(1);
    EXPECT_EQ(data.Texts, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(data.Log, QStringList{QStringLiteral("save 1")});
}

struct TMoveStateCase
{
    std::string Name;
    int Selected;
    bool Up;
    bool Down;
};

class MoveStates : public OrderListTest, public ::testing::WithParamInterface<TMoveStateCase>
{
};

TEST_P(MoveStates, FollowTheSelectedRow)
{
    TTextList data({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    FBox->SetDataObject(&data);
    TAMoveUpItemLB up;
    TAMoveDownItemLB down;
    FWindow.Activate();
    FBox->setCurrentRow(GetParam().Selected);
    FocusOn(FBox);
    EXPECT_EQ(up.isEnabled(), GetParam().Up);
    EXPECT_EQ(down.isEnabled(), GetParam().Down);
}

INSTANTIATE_TEST_SUITE_P(Cases, MoveStates,
                         ::testing::Values(TMoveStateCase{"FirstRow", 0, false, true},
                                           TMoveStateCase{"MiddleRow", 1, true, true},
                                           TMoveStateCase{"LastRow", 2, true, false}),
                         TCaseName());

TEST_F(OrderListTest, ButtonsActOnTheirListBoxByMouseAndKeys)
{
    TTextList data({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    FBox->SetDataObject(&data);
    FButtons->SetListBox(FBox);
    QPushButton* add = FButtons->AddKind(okAdd);
    QPushButton* del = FButtons->AddKind(okDelete);
    QPushButton* up = FButtons->AddKind(okMoveUp);
    QPushButton* down = FButtons->AddKind(okMoveDown);
    EXPECT_EQ(up->text(), QStringLiteral("Move up"));
    EXPECT_EQ(FButtons->Buttons().indexOf(down), 3);
    EXPECT_EQ(down->objectName(), QStringLiteral("Button3"));
    FWindow.Activate();
    FBox->setCurrentRow(0);
    FocusOn(FBox);
    EXPECT_FALSE(up->isEnabled());

    Click(down);
    EXPECT_EQ(data.Texts, (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")}));
    EXPECT_EQ(FBox->currentRow(), 1);
    FocusOn(FBox);
    QTest::keyClick(FBox, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(data.Texts, (QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}));
    EXPECT_EQ(FBox->currentRow(), 2);
    Settle();
    EXPECT_FALSE(down->isEnabled());
    QTest::keyClick(FBox, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(FBox->currentRow(), 1);
    Settle();
    QTest::keyClick(FBox, Qt::Key_Delete);
    EXPECT_EQ(data.Texts, (QStringList{QStringLiteral("b"), QStringLiteral("c")}));
    Settle();
    QTest::keyClick(FBox, Qt::Key_Insert);
    EXPECT_EQ(Rows(*FBox), (QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("new 2")}));
    EXPECT_TRUE(add->isEnabled());
    EXPECT_TRUE(del->isEnabled());
}

TEST_F(OrderListTest, AnUnsupportedKindHidesItsActionAndButton)
{
    TTextList data({QStringLiteral("a")}, {okDelete});
    FBox->SetDataObject(&data);
    FButtons->SetListBox(FBox);
    QPushButton* del = FButtons->AddKind(okDelete);
    QPushButton* save = FButtons->AddKind(okSave);
    FWindow.Activate();
    FocusOn(FBox);
    EXPECT_TRUE(del->isVisible());
    EXPECT_FALSE(save->isVisible());
    EXPECT_FALSE(FButtons->ActionOf(save)->isVisible());
}

TEST_F(OrderListTest, LoadSavePropertiesAndDefaultPassTheSelectedRow)
{
    TTextList data({QStringLiteral("a"), QStringLiteral("b")}, {okLoad, okSave, okProperty, okMakeDefault});
    FBox->SetDataObject(&data);
    FBox->setCurrentRow(1);
    FWindow.Activate();
    for (int kind : {okLoad, okSave, okProperty, okMakeDefault}) {
        TOrderListAction* action = CreateListBoxAction(kind, &FWindow);
        action->SetFixedControl(FBox);
        Settle();
        EXPECT_TRUE(action->isVisible());
        action->trigger();
    }
    EXPECT_EQ(data.Log, (QStringList{QStringLiteral("load 1"), QStringLiteral("save 1"),
                                     QStringLiteral("properties 1"), QStringLiteral("default 1")}));
}

TEST_F(OrderListTest, FixingAControlWithoutTheInterfaceRaises)
{
    TAAddItemListBox action;
    QListWidget plain;
    try {
        action.SetFixedControl(&plain);
        FAIL() << "no error";
    } catch (const EActionError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("try to set object not supports IOrderInterface"));
    }
    EXPECT_EQ(action.FixedControl(), nullptr);
}

TEST_F(OrderListTest, ButtonsTakeCaptionAndShortcutFromTheSharedActions)
{
    QObject owner;
    const QList<QAction*> shared = CreateListBoxActions(&owner);
    shared[1]->setText(QStringLiteral("Remove"));
    shared[1]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    TMenuHooks hooks;
    hooks.SharedActions = [&shared] {
        QList<QObject*> objects;
        for (QAction* action : shared)
            objects << action;
        return objects;
    };
    const TMenuHooks old = SetMenuHooks(hooks);
    QPushButton* del = FButtons->AddKind(okDelete);
    EXPECT_EQ(del->text(), QStringLiteral("Remove"));
    EXPECT_EQ(FButtons->ActionOf(del)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    SetMenuHooks(old);
}

struct TLayoutCase
{
    std::string Name;
    Qt::Orientation Orientation;
    QSize Given;
};

class ButtonLayouts : public OrderListTest, public ::testing::WithParamInterface<TLayoutCase>
{
};

TEST_P(ButtonLayouts, GiveEveryButtonACellAndCentreItThere)
{
    const TLayoutCase& c = GetParam();
    TOrderButtons buttons;
    buttons.resize(c.Given);
    buttons.SetOrientation(c.Orientation);
    for (int kind : {okAdd, okDelete, okMoveUp, okMoveDown})
        buttons.AddKind(kind);
    const TDialogUnits units(buttons.font());
    int width = 0;
    for (const QPushButton* button : buttons.Buttons())
        width = std::max(width, units.ButtonWidth(button->text()));
    const int height = units.RowHeight;
    const int count = 4;
    for (qsizetype i = 0; i < buttons.Buttons().size(); ++i) {
        const QRect place = buttons.Buttons()[i]->geometry();
        EXPECT_EQ(place.size(), QSize(width, height));
        if (c.Orientation == Qt::Vertical) {
            const int cell = std::max(height + units.CharHeight, c.Given.height() / count);
            EXPECT_EQ(place.topLeft(), QPoint(0, static_cast<int>(i) * cell + (cell - height) / 2));
            EXPECT_EQ(buttons.width(), width);
            EXPECT_EQ(buttons.height(), std::max(c.Given.height(), cell * count));
        } else {
            const int cell = std::max(width, c.Given.width() / count);
            EXPECT_EQ(place.topLeft(), QPoint(static_cast<int>(i) * cell + (cell - width) / 2, 0));
            EXPECT_EQ(buttons.height(), height + units.CharHeight);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ButtonLayouts,
                         ::testing::Values(TLayoutCase{"VerticalInASmallGroup", Qt::Vertical, QSize(10, 10)},
                                           TLayoutCase{"VerticalSpreadOverATallGroup", Qt::Vertical, QSize(10, 600)},
                                           TLayoutCase{"HorizontalInASmallGroup", Qt::Horizontal, QSize(10, 10)},
                                           TLayoutCase{"HorizontalSpreadOverAWideGroup", Qt::Horizontal,
                                                       QSize(1200, 10)}),
                         TCaseName());

TEST_F(OrderListTest, AListBoxForAPlainListReordersAndDeletesThroughItsHandlers)
{
    std::vector<QString> list{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")};
    auto* box = new TListBoxForList(&FWindow);
    box->OnText = [&list](int index) { return list[static_cast<size_t>(index)].toUpper(); };
    box->OnDelete = [&list](int index) { list.erase(list.begin() + index); };
    box->SetList(&list);
    EXPECT_EQ(Rows(*box), (QStringList{QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")}));
    EXPECT_TRUE(box->Supports(okDelete));
    EXPECT_TRUE(box->Supports(okMoveUp));
    EXPECT_FALSE(box->Supports(okAdd));
    box->Move(0, 2);
    EXPECT_EQ(list, (std::vector<QString>{QStringLiteral("y"), QStringLiteral("z"), QStringLiteral("x")}));
    EXPECT_EQ(Rows(*box), (QStringList{QStringLiteral("Y"), QStringLiteral("Z"), QStringLiteral("X")}));
    EXPECT_EQ(box->currentRow(), 2);
    box->Delete(2);
    EXPECT_EQ(list, (std::vector<QString>{QStringLiteral("y"), QStringLiteral("z")}));
    EXPECT_EQ(box->currentRow(), 1);
    box->Delete(0);
    box->Delete(0);
    EXPECT_FALSE(box->CanDelete(0));
    EXPECT_EQ(box->count(), 0);
}

} // namespace
