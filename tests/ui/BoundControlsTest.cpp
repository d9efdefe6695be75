#include "ui/VarControls.h"
#include "ui/VarEdit.h"

#include "settings/IniErrors.h"
#include "tests/ui/UiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

// Table cases print as their names.
using ::PrintTo;

// Published properties of the kinds the controls bind to.
class TSample : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool FindDown READ FindDown WRITE SetFindDown)
    Q_PROPERTY(int AdvertismentLevel READ Level WRITE SetLevel)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(TOrder Order READ Order WRITE SetOrder)
    Q_CLASSINFO("Default:FindDown", "True")

public:
    enum TOrder { oFirst, oSecond, oThird };
    Q_ENUM(TOrder)

    [[nodiscard]] bool FindDown() const { return FFindDown; }
    void SetFindDown(bool on) { FFindDown = on; }
    [[nodiscard]] int Level() const { return FLevel; }
    // Refuses values outside 11..100, as the options do.
    void SetLevel(int level)
    {
        if (level >= 11 && level <= 100)
            FLevel = level;
    }
    [[nodiscard]] QString Name() const { return FName; }
    void SetName(const QString& name) { FName = name; }
    [[nodiscard]] TOrder Order() const { return FOrder; }
    void SetOrder(TOrder order) { FOrder = order; }

private:
    bool FFindDown = true;
    int FLevel = 90;
    QString FName = QStringLiteral("start");
    TOrder FOrder = oSecond;
};

class BoundControlsTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        while (FLanguage.Table.CurrentSection() >= 0 && FPushed-- > 0)
            FLanguage.Table.PopSection();
    }

    void EnterSection(const char* name)
    {
        FLanguage.Table.PushSectionByName(QString::fromLatin1(name));
        ++FPushed;
    }

    TEnglishLanguage FLanguage;
    TBeepCounter FBeeps;
    TSample FSample;
    int FPushed = 0;
};

void Type(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(widget, &release);
}

TEST_F(BoundControlsTest, AnEditShowsTheIntegerAsTextAndARefusedValueLeavesItUnchanged)
{
    TVarEdit edit;
    edit.BindProperty(&FSample, QStringLiteral("AdvertismentLevel"));
    EXPECT_EQ(edit.text(), QStringLiteral("90"));
    EXPECT_EQ(edit.selectedText(), QStringLiteral("90"));
    EXPECT_EQ(edit.toolTip(), FLanguage.Table.HintText(QStringLiteral("AdvertismentLevel")));
    EXPECT_FALSE(edit.toolTip().isEmpty());
    edit.setText(QStringLiteral("5"));
    edit.ApplyValue();
    EXPECT_EQ(FSample.Level(), 90);
    edit.setText(QStringLiteral("42"));
    edit.ApplyValue();
    EXPECT_EQ(FSample.Level(), 42);
}

TEST_F(BoundControlsTest, DisabledControlsNeverWriteTheirProperty)
{
    TVarCheck check;
    bool variable = true;
    check.BindProperty(&FSample, QStringLiteral("FindDown"));
    check.BindVariable(&variable);
    TVarTrackBar track;
    track.SetRange(0, 100);
    track.BindProperty(&FSample, QStringLiteral("AdvertismentLevel"));
    TVarEdit edit;
    edit.BindProperty(&FSample, QStringLiteral("Name"));

    check.setChecked(false);
    track.setValue(50);
    edit.setText(QStringLiteral("changed"));
    for (QWidget* control : std::initializer_list<QWidget*>{&check, &track, &edit})
        control->setEnabled(false);
    check.ApplyValue();
    track.ApplyValue();
    edit.ApplyValue();
    EXPECT_TRUE(FSample.FindDown());
    EXPECT_EQ(FSample.Level(), 90);
    EXPECT_EQ(FSample.Name(), QStringLiteral("start"));
    // The caller's own variable still takes the value.
    EXPECT_FALSE(variable);

    check.setEnabled(true);
    check.ApplyValue();
    EXPECT_FALSE(FSample.FindDown());
}

TEST_F(BoundControlsTest, ARadioGroupWithANegativeOffsetShowsTheNamedEntries)
{
    EnterSection("EditDlg");
    TVarRadio radio;
    radio.BindProperty(&FSample, QStringLiteral("FindDown"), -1);
    EXPECT_EQ(radio.Items(), (QStringList{FLanguage.Table.ValueOf(QStringLiteral("FindDown0")),
                                          FLanguage.Table.ValueOf(QStringLiteral("FindDown1"))}));
    EXPECT_FALSE(radio.Items().first().isEmpty());
    EXPECT_EQ(radio.ItemIndex(), 1);
    radio.SetItemIndex(0);
    radio.ApplyValue();
    EXPECT_FALSE(FSample.FindDown());
}

TEST_F(BoundControlsTest, AnEnumerationComboIsAFixedListOfNumberedTexts)
{
    EnterSection("MesgSort");
    TVarCombo combo;
    combo.BindProperty(&FSample, QStringLiteral("Order"), 2);
    EXPECT_FALSE(combo.isEditable());
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(0), FLanguage.Table.TextOf(2, -1));
    EXPECT_EQ(combo.itemText(2), FLanguage.Table.TextOf(4, -1));
    EXPECT_EQ(combo.currentIndex(), 1);
    combo.setCurrentIndex(2);
    combo.ApplyValue();
    EXPECT_EQ(FSample.Order(), TSample::oThird);

    TVarCombo text;
    int index = -1;
    text.addItems({QStringLiteral("a"), QStringLiteral("b")});
    text.BindVariable(&index);
    text.setCurrentIndex(1);
    text.OnValidate = [](const QString& value, int) { return value != QStringLiteral("b"); };
    EXPECT_FALSE(text.ValidateValue());
    text.ApplyValue();
    EXPECT_EQ(index, 1);
}

// A combo with nothing selected has no value to give: the property keeps its own.
TEST_F(BoundControlsTest, AnEnumerationComboWithNothingSelectedLeavesThePropertyAlone)
{
    EnterSection("MesgSort");
    FSample.SetFindDown(false);
    for (const char* name : {"Order", "FindDown"}) {
        TVarCombo combo;
        combo.BindProperty(&FSample, QString::fromLatin1(name), 2);
        combo.setCurrentIndex(-1);
        combo.ApplyValue();
    }
    EXPECT_EQ(FSample.Order(), TSample::oSecond);
    EXPECT_FALSE(FSample.FindDown());
}

struct TBindErrorCase
{
    std::string Name;
    std::function<void(TSample&)> Bind;
    QString Message;
    bool Conversion;
};

class BindErrors : public BoundControlsTest, public ::testing::WithParamInterface<TBindErrorCase>
{
};

TEST_P(BindErrors, RaiseAtOnce)
{
    const TBindErrorCase& c = GetParam();
    try {
        c.Bind(FSample);
        FAIL() << "no error";
    } catch (const EConvertError& error) {
        EXPECT_TRUE(c.Conversion);
        EXPECT_EQ(error.Message(), c.Message);
    } catch (const EPropertyError& error) {
        EXPECT_FALSE(c.Conversion);
        EXPECT_EQ(error.Message(), c.Message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BindErrors,
    ::testing::Values(
        TBindErrorCase{"CheckWithoutProperty",
                       [](TSample& s) { TVarCheck().BindProperty(&s, QStringLiteral("Missing")); },
                       QStringLiteral("Property not found Missing"), false},
        TBindErrorCase{"CheckOnAnInteger",
                       [](TSample& s) { TVarCheck().BindProperty(&s, QStringLiteral("AdvertismentLevel")); },
                       QStringLiteral("Invalid property type: int"), true},
        TBindErrorCase{"RadioWithoutProperty",
                       [](TSample& s) { TVarRadio().BindProperty(&s, QStringLiteral("Missing")); },
                       QStringLiteral("Property Missing does not exist"), false},
        TBindErrorCase{"RadioOnAText", [](TSample& s) { TVarRadio().BindProperty(&s, QStringLiteral("Name")); },
                       QStringLiteral("Invalid property type: QString"), true},
        TBindErrorCase{"TrackBarOnABoolean",
                       [](TSample& s) { TVarTrackBar().BindProperty(&s, QStringLiteral("FindDown")); },
                       QStringLiteral("Invalid property type: bool"), true}),
    TCaseName());

struct TCompletionCase
{
    std::string Name;
    QString Typed;
    QString Text;
    QString Selected;
};

class Completion : public BoundControlsTest, public ::testing::WithParamInterface<TCompletionCase>
{
};

TEST_P(Completion, CompletesTheLastPartWithTheFirstMatchingEntry)
{
    TAutoFinishEdit edit;
    edit.Completions = {QStringLiteral("Johnny"), QStringLiteral("John"), QStringLiteral("mary@example.org")};
    Type(&edit, GetParam().Typed);
    EXPECT_EQ(edit.text(), GetParam().Text);
    EXPECT_EQ(edit.selectedText(), GetParam().Selected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Completion,
    ::testing::Values(TCompletionCase{"FirstOfTwoSharingThePrefix", QStringLiteral("Jo"), QStringLiteral("Johnny"),
                                      QStringLiteral("hnny")},
                      TCompletionCase{"LetterCaseIgnored", QStringLiteral("MA"), QStringLiteral("MAry@example.org"),
                                      QStringLiteral("ry@example.org")},
                      TCompletionCase{"OnlyThePartAfterTheSeparator", QStringLiteral("Johnny; ma"),
                                      QStringLiteral("Johnny; mary@example.org"), QStringLiteral("ry@example.org")},
                      TCompletionCase{"NoMatch", QStringLiteral("Zed"), QStringLiteral("Zed"), QString()}),
    TCaseName());

TEST_F(BoundControlsTest, CompletionKeysBackspaceAndEnter)
{
    TAutoFinishEdit edit;
    edit.Completions = {QStringLiteral("Johnny")};
    Type(&edit, QStringLiteral("Jo"));
    Key(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("Jo"));
    EXPECT_FALSE(edit.hasSelectedText());
    Type(&edit, QStringLiteral("h"));
    Key(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.text(), QStringLiteral("Johnny"));
    EXPECT_EQ(edit.cursorPosition(), 6);
    EXPECT_FALSE(edit.hasSelectedText());
}

TEST_F(BoundControlsTest, OneLineEditsCutTextAtTheFirstLineBreak)
{
    TWideEdit edit;
    edit.setText(QStringLiteral("first\nsecond"));
    EXPECT_EQ(edit.text(), QStringLiteral("first"));
    edit.setText(QStringLiteral("ab"));
    edit.setCursorPosition(1);
    QApplication::clipboard()->setText(QStringLiteral("XY\r\nZ"));
    Key(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("aXYb"));
}

TEST_F(BoundControlsTest, CtrlArrowsJumpByWords)
{
    TVarEdit edit;
    edit.setText(QStringLiteral("one, two;three"));
    edit.setCursorPosition(0);
    Key(&edit, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(edit.cursorPosition(), 5);
    Key(&edit, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(edit.cursorPosition(), 9);
    Key(&edit, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(edit.cursorPosition(), 5);
    Key(&edit, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(edit.cursorPosition(), 0);
    // Letters beyond ASCII belong to words.
    EXPECT_EQ(TVarEdit::NextWordStart(QStringLiteral("\u0420\u0443\u0441 x"), 0), 4);

    TVarEdit shortEdit;
    shortEdit.setText(QStringLiteral("a b"));
    shortEdit.setCursorPosition(3);
    Key(&shortEdit, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(shortEdit.cursorPosition(), 2);
}

TEST_F(BoundControlsTest, SynthronPartnersStayEqualBothWays)
{
    TVarEdit a;
    TVarEdit b;
    a.SetSynthron(&b);
    EXPECT_EQ(b.Synthron(), &a);
    a.setText(QStringLiteral("left"));
    EXPECT_EQ(b.text(), QStringLiteral("left"));
    b.setText(QStringLiteral("right"));
    EXPECT_EQ(a.text(), QStringLiteral("right"));
    {
        TVarEdit c;
        a.setProperty("Synthron", QVariant::fromValue(&c));
        EXPECT_EQ(b.Synthron(), nullptr);
        c.setText(QStringLiteral("third"));
        EXPECT_EQ(a.text(), QStringLiteral("third"));
    }
    EXPECT_EQ(a.Synthron(), nullptr);
}

TEST_F(BoundControlsTest, AListBoxReportsClicksAndBeepsAtItsEnds)
{
    TVarListBox list;
    list.addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    int variable = 2;
    list.BindVariable(&variable);
    std::vector<int> clicked;
    list.OnClickItem = [&clicked](int index) { clicked.push_back(index); };
    Key(&list, Qt::Key_Return);
    Key(&list, Qt::Key_Down);
    EXPECT_EQ(FBeeps.Count, 1);
    list.setCurrentRow(0);
    Key(&list, Qt::Key_Home);
    EXPECT_EQ(FBeeps.Count, 2);
    Key(&list, Qt::Key_Down);
    EXPECT_EQ(FBeeps.Count, 2);
    list.ApplyValue();
    EXPECT_EQ(variable, 1);
    EXPECT_EQ(clicked, std::vector<int>{2});
}

TEST_F(BoundControlsTest, ATrackBarPagesATenthOfItsRange)
{
    TVarTrackBar track;
    track.SetRange(11, 100);
    EXPECT_EQ(track.pageStep(), 9);
    int variable = 0;
    track.BindVariable(&variable);
    track.setValue(33);
    track.ApplyValue();
    EXPECT_EQ(variable, 33);
}

} // namespace

#include "BoundControlsTest.moc"
