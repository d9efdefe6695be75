#include "tests/ui/DialogTestSupport.h"
#include "ui/BoundControl.h"
#include "ui/VarControls.h"
#include "ui/VarEdit.h"
#include "ui/dialogs/LanguageSection.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using ::PrintTo;

// Published properties for the bound controls, and a record of the order
// in which they were written.
class TSample : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(bool WholeWord READ WholeWord WRITE SetWholeWord)

public:
    [[nodiscard]] QString Name() const { return FName; }
    void SetName(const QString& name)
    {
        FName = name;
        Written << QStringLiteral("Name");
    }
    [[nodiscard]] bool WholeWord() const { return FWholeWord; }
    void SetWholeWord(bool on)
    {
        FWholeWord = on;
        Written << QStringLiteral("WholeWord");
    }

    QStringList Written;

private:
    QString FName = QStringLiteral("start");
    bool FWholeWord = false;
};

// A dialog class that publishes a control by name.
class TNamedDialog : public TDialog
{
    Q_OBJECT
    Q_PROPERTY(TVarEdit* Name READ NameEdit WRITE SetNameEdit)

public:
    using TDialog::TDialog;
    [[nodiscard]] TVarEdit* NameEdit() const { return FName; }
    void SetNameEdit(TVarEdit* edit) { FName = edit; }

private:
    TVarEdit* FName = nullptr;
};

class DialogTest : public ::testing::Test
{
protected:
    TEnglishLanguage FLanguage;
    TBeepCounter FBeeps;
    TDialogAnswers FAnswers;
    TSample FSample;
};

TEST_F(DialogTest, ALongCaptionWidensTheDialogByThreeAverageCharacters)
{
    const QString caption = QStringLiteral("A caption far longer than anything the dialog would otherwise need");
    TDialog dialog(caption);
    EXPECT_GE(dialog.ClientWidth(), dialog.Units().TextWidth(caption) + 3 * dialog.Units().CharWidth);
    TDialog plain;
    EXPECT_EQ(plain.ClientWidth(), 10 * plain.Units().CharWidth);
    // A captioned dialog starts at about twice its first width.
    TDialog shortCaption(QStringLiteral("x"));
    EXPECT_GE(shortCaption.ClientWidth(), 20 * shortCaption.Units().CharWidth);
}

TEST_F(DialogTest, OkAndCancelAreRightAlignedInTheDesktopsOrderAndAsWideAsCancelNeeds)
{
    TDialog dialog(QStringLiteral("Buttons"));
    dialog.AddEdit(QStringLiteral("Label"));
    dialog.AddOkCancel();
    QPushButton* ok = dialog.OkButton();
    QPushButton* cancel = dialog.CancelButton();
    ASSERT_TRUE(ok && cancel);
    const int b = dialog.Units().ButtonWidth(FLanguage.Table.CancelText());
    EXPECT_EQ(ok->width(), b);
    EXPECT_EQ(cancel->width(), b);
    EXPECT_EQ(ok->y(), cancel->y());
    const int layout = dialog.style()->styleHint(QStyle::SH_DialogButtonLayout, nullptr, &dialog);
    const bool okRightmost = layout == QDialogButtonBox::GnomeLayout || layout == QDialogButtonBox::MacLayout;
    QPushButton* outer = okRightmost ? ok : cancel;
    QPushButton* inner = okRightmost ? cancel : ok;
    EXPECT_EQ(outer->geometry().right() + 1, dialog.ClientWidth() - dialog.Units().CharWidth);
    EXPECT_EQ(inner->geometry().right() + 1 + 2 * dialog.Units().CharWidth, outer->x());
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->objectName(), QStringLiteral("OkButton"));
}

struct TShapeCase
{
    std::string Name;
    std::function<void(TDialog&, TSample&)> Build;
};

class DialogShapes : public DialogTest, public ::testing::WithParamInterface<TShapeCase>
{
};

TEST_P(DialogShapes, AreWiderThanHighByTheGoldenRatioAndNothingOverlaps)
{
    const QFont original = QApplication::font();
    for (const int pointSize : {9, 14}) {
        QFont font = QApplication::font();
        font.setPointSize(pointSize);
        QApplication::setFont(font);
        TDialog dialog(QStringLiteral("Shape"));
        GetParam().Build(dialog, FSample);
        FAnswers.Then([&](TDialog& shown) {
            const QSize size = shown.size();
            if (size.width() > size.height()) {
                EXPECT_GE(size.width() * 100, size.height() * 162) << pointSize << " pt";
            }
            for (const std::string& fault : LayoutFaults(&shown))
                ADD_FAILURE() << pointSize << " pt: " << fault;
            shown.reject();
        });
        EXPECT_FALSE(dialog.RunOkCancel());
    }
    QApplication::setFont(original);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogShapes,
    ::testing::Values(
        TShapeCase{"CaptionOnly", [](TDialog&, TSample&) {}},
        TShapeCase{"ALabelledEdit", [](TDialog& d, TSample&) { d.AddEdit(QStringLiteral("Name:")); }},
        TShapeCase{"ChecksAndALabelBeside",
                   [](TDialog& d, TSample& s) {
                       const TLanguageSection section(QStringLiteral("EditDlg"));
                       d.LabelBeside(d.AddEdit(), 2);
                       d.AddCheck(&s, QStringLiteral("WholeWord"));
                       d.AddButton(QStringLiteral("Press"));
                       d.AddCenteredText(QStringLiteral("centred"));
                   }},
        TShapeCase{"ManyRows",
                   [](TDialog& d, TSample& s) {
                       for (int i = 0; i < 6; ++i)
                           d.AddEdit(QStringLiteral("Row %1").arg(i));
                       d.AddBoundEdit(&s, QStringLiteral("Name"));
                   }},
        TShapeCase{"TwoTabSheets",
                   [](TDialog& d, TSample& s) {
                       const TLanguageSection section(QStringLiteral("EditDlg"));
                       d.AddTab(QStringLiteral("First"));
                       d.AddEdit(QStringLiteral("Name:"));
                       d.AddCheck(&s, QStringLiteral("WholeWord"));
                       d.AddTab(QStringLiteral("Second"));
                       for (int i = 0; i < 4; ++i)
                           d.AddEdit(QStringLiteral("Row %1").arg(i));
                   }}),
    TCaseName());

// Two sheets; the bound edit on the second refuses the text "bad".
class TwoSheets : public DialogTest
{
protected:
    void Build(TDialog& dialog)
    {
        dialog.AddTab(QStringLiteral("First"));
        FFirst = dialog.AddEdit(QStringLiteral("Plain:"));
        FFirst->BindVariable(&FPlain);
        dialog.AddTab(QStringLiteral("Second"));
        FSecond = dialog.AddControl<TVarEdit>(QStringLiteral("Checked:"));
        FSecond->BindProperty(&FSample, QStringLiteral("Name"));
        FSecond->OnValidateText = [](const QString& text) { return text != QStringLiteral("bad"); };
    }

    QString FPlain = QStringLiteral("plain");
    TVarEdit* FFirst = nullptr;
    TVarEdit* FSecond = nullptr;
};

TEST_F(TwoSheets, ARefusalBringsItsSheetToTheFrontAndAppliesNothing)
{
    TDialog dialog(QStringLiteral("Sheets"));
    Build(dialog);
    FAnswers.Then([this](TDialog& shown) {
        shown.Tabs()->setCurrentIndex(0);
        FFirst->setText(QStringLiteral("changed"));
        FSecond->setText(QStringLiteral("bad"));
        Click(shown.OkButton());
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(shown.Tabs()->currentIndex(), 1);
        EXPECT_TRUE(WaitUntil([this] { return QApplication::focusWidget() == FSecond; }, 2000));
        EXPECT_EQ(FPlain, QStringLiteral("plain"));
        EXPECT_TRUE(FSample.Written.isEmpty());

        FSecond->setText(QStringLiteral("good"));
        Click(shown.OkButton());
    });
    EXPECT_TRUE(dialog.RunOkCancel());
    EXPECT_EQ(FPlain, QStringLiteral("changed"));
    EXPECT_EQ(FSample.Name(), QStringLiteral("good"));
}

TEST_F(TwoSheets, EscapeCancelsAndAppliesNothing)
{
    TDialog dialog(QStringLiteral("Sheets"));
    Build(dialog);
    FAnswers.Then([this](TDialog& shown) {
        FFirst->setText(QStringLiteral("changed"));
        QTest::keyClick(FFirst, Qt::Key_Escape);
        EXPECT_FALSE(shown.isVisible());
    });
    EXPECT_FALSE(dialog.RunOkCancel());
    EXPECT_EQ(dialog.result(), mrCancel);
    EXPECT_EQ(FPlain, QStringLiteral("plain"));
    EXPECT_TRUE(FSample.Written.isEmpty());
}

// A bound control that records its checks and writes in a shared log.
class TRecordingControl : public QWidget, public IBoundControl
{
public:
    TRecordingControl(QString name, QStringList& log, QWidget* parent)
        : QWidget(parent)
        , FName(std::move(name))
        , FLog(log)
    {
    }
    bool ValidateValue() const override
    {
        FLog << QStringLiteral("validate ") + FName;
        return true;
    }
    void ApplyValue() override { FLog << QStringLiteral("apply ") + FName; }

private:
    QString FName;
    QStringList& FLog;
};

TEST_F(DialogTest, EnterConfirmsValidatingAndApplyingInCreationOrder)
{
    QStringList log;
    TNamedDialog dialog(QStringLiteral("Order"));
    auto* first = new TRecordingControl(QStringLiteral("first"), log, &dialog);
    TVarEdit* edit = dialog.AddBoundEdit(&FSample, QStringLiteral("Name"));
    auto* last = new TRecordingControl(QStringLiteral("last"), log, &dialog);
    // Placing a control makes it take part; placing it again changes nothing.
    dialog.Place(last, QRect(0, 0, 1, 1));
    dialog.Place(first, QRect(2, 0, 1, 1));
    dialog.Place(last, QRect(4, 0, 1, 1));
    EXPECT_EQ(dialog.NameEdit(), edit);
    EXPECT_EQ(dialog.BoundControls().size(), 3);
    FAnswers.Then([edit](TDialog&) {
        FocusOn(edit);
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("typed"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_TRUE(dialog.RunOkCancel());
    EXPECT_EQ(FSample.Name(), QStringLiteral("typed"));
    EXPECT_EQ(log, (QStringList{QStringLiteral("validate last"), QStringLiteral("validate first"),
                                QStringLiteral("apply last"), QStringLiteral("apply first")}));
}

TEST_F(DialogTest, AnOkOnlyDialogConfirmsOnEscapeAndCloseNeedsNoConfirmation)
{
    TDialog okOnly(QStringLiteral("Ok"));
    okOnly.AddBoundEdit(&FSample, QStringLiteral("Name"))->setText(QStringLiteral("escaped"));
    okOnly.AddOkOnly();
    FAnswers.Then([](TDialog& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
    EXPECT_TRUE(okOnly.RunDialog());
    EXPECT_EQ(FSample.Name(), QStringLiteral("escaped"));

    TDialog closing(QStringLiteral("Close"));
    closing.AddBoundEdit(&FSample, QStringLiteral("Name"))->setText(QStringLiteral("not applied"));
    closing.AddClose();
    ASSERT_TRUE(closing.CloseButton());
    FAnswers.Then([](TDialog& shown) { Click(shown.CloseButton()); });
    EXPECT_TRUE(closing.RunDialog());
    EXPECT_EQ(FSample.Name(), QStringLiteral("escaped"));
}

TEST_F(DialogTest, ControlsAnchoredRightFollowTheDialogAsItWidens)
{
    TDialog dialog;
    const int cw = dialog.Units().CharWidth;
    TVarEdit* edit = dialog.AddEdit();
    EXPECT_EQ(edit->geometry().right() + 1, dialog.ClientWidth() - cw);
    dialog.AddText(QStringLiteral("A label long enough to widen the dialog considerably"));
    EXPECT_EQ(edit->geometry().right() + 1, dialog.ClientWidth() - cw);
    EXPECT_EQ(edit->x(), cw);

    QLabel* label = dialog.LabelBeside(edit, QStringLiteral("Beside:"));
    EXPECT_EQ(label->x(), cw);
    EXPECT_GE(edit->x(), cw + dialog.Units().TextWidth(QStringLiteral("Beside:")) + 3 * cw);
    EXPECT_EQ(edit->geometry().right() + 1, dialog.ClientWidth() - cw);
    EXPECT_EQ(label->buddy(), edit);
}

TEST_F(DialogTest, ChecksAreAsWideAsTheirCaptionNeeds)
{
    const TLanguageSection section(QStringLiteral("EditDlg"));
    TDialog dialog;
    TVarCheck* check = dialog.AddCheck(&FSample, QStringLiteral("WholeWord"));
    EXPECT_EQ(check->text(), FLanguage.Table.SectionValue(QStringLiteral("EditDlg"), QStringLiteral("WholeWord")));
    EXPECT_GE(check->width(), dialog.Units().TextWidth(check->text()) + 2 * dialog.Units().CharWidth + 20);
    EXPECT_GE(check->width(), check->sizeHint().width());
    EXPECT_EQ(check->objectName(), QStringLiteral("WholeWord"));
    EXPECT_GE(dialog.ClientWidth(), check->geometry().right() + 1 + dialog.Units().CharWidth);
}

TEST_F(DialogTest, LabelsAndRadiosStandInTwoColumnsWithTheNextRowBelowBoth)
{
    const TLanguageSection section(QStringLiteral("EditDlg"));
    TDialog dialog;
    const TDialogUnits& units = dialog.Units();
    QLabel* label = dialog.AddText(QStringLiteral("Options"));
    TVarCheck* check = dialog.AddCheck(&FSample, QStringLiteral("WholeWord"));
    TVarRadio* radio = dialog.AddRadio(&FSample, QStringLiteral("WholeWord"), -1);
    dialog.LabelsAndRadios({label, check}, {radio});
    EXPECT_EQ(radio->y(), label->y());
    EXPECT_EQ(radio->x(), dialog.ClientWidth() / 2 + units.CharWidth);
    EXPECT_GE(dialog.ClientWidth(), 20 * units.CharWidth + 2 * std::max(radio->width(), check->width()));
    TVarEdit* next = dialog.AddEdit();
    const int lowest = std::max(check->geometry().bottom(), radio->geometry().bottom());
    EXPECT_EQ(next->y(), lowest + 1 + units.CharHeight);
}

TEST_F(DialogTest, TheButtonRuleRoundsUpToWholeSteps)
{
    const TDialogUnits units(QApplication::font());
    const int step = units.RowHeight * 162 / 100;
    for (const QString& caption : {QStringLiteral("OK"), QStringLiteral("A much longer caption")}) {
        const int width = units.ButtonWidth(caption);
        EXPECT_EQ(width % step, 0);
        EXPECT_GT(width, units.TextWidth(caption) + 4 * units.CharWidth);
        EXPECT_LE(width, units.TextWidth(caption) + 4 * units.CharWidth + step);
    }
    EXPECT_EQ(units.TextWidth(QStringLiteral("&Yes")), units.TextWidth(QStringLiteral("Yes")));
}

TEST_F(DialogTest, ButtonRowsShareOneWidth)
{
    TDialog dialog;
    auto* a = new QPushButton(QStringLiteral("Ignore"), &dialog);
    auto* b = new QPushButton(QStringLiteral("Ignore all"), &dialog);
    dialog.AddButtonRow({a, b});
    const int cw = dialog.Units().CharWidth;
    const int w = dialog.Units().TextWidth(QStringLiteral("Ignore all")) + 4 * cw;
    EXPECT_EQ(a->geometry(), QRect(4 * cw, dialog.CursorY(), w, dialog.Units().RowHeight));
    EXPECT_EQ(b->x(), 4 * cw + w + 2 * cw);
    EXPECT_EQ(b->width(), w);
    EXPECT_GE(dialog.ClientWidth(), 2 * cw + (w + 2 * cw) * 2);
}

struct TFilterCase
{
    std::string Name;
    QString Extension;
    QString Filter;
};

class BrowseFilters : public DialogTest, public ::testing::WithParamInterface<TFilterCase>
{
};

TEST_P(BrowseFilters, PairTheExtensionWithAllFiles)
{
    EXPECT_EQ(TBrowseButton::FileFilter(GetParam().Extension), GetParam().Filter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrowseFilters,
    ::testing::Values(
        TFilterCase{"Messages", QStringLiteral("eml"), QStringLiteral("Message files (*.eml);;All files (*.*)")},
        TFilterCase{"TwoPatterns", QStringLiteral("mbox"),
                    QStringLiteral("Mailbox files (*.mbox *.mbx);;All files (*.*)")},
        TFilterCase{"UnknownExtension", QStringLiteral("xyz"), QStringLiteral("All files (*.*)")}),
    TCaseName());

TEST_F(DialogTest, BrowseButtonsAskFromTheTextAndReplaceIt)
{
    std::vector<TBrowseRequest> requests;
    QString answer = QStringLiteral("/chosen/file.eml");
    const TBrowseHandler old = SetBrowseHandler([&](const TBrowseRequest& request) {
        requests.push_back(request);
        return answer;
    });
    TDialog dialog;
    TVarEdit* edit = dialog.AddEdit();
    edit->setText(QStringLiteral("/start/here.eml"));
    TBrowseButton* file = dialog.AddBrowseButton(edit, QStringLiteral(".eml"));
    EXPECT_EQ(dialog.BrowseButton(), file);
    EXPECT_LE(edit->geometry().right(), file->x());
    file->click();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_FALSE(requests[0].Folder);
    EXPECT_EQ(requests[0].Title, QStringLiteral("Open file"));
    EXPECT_EQ(requests[0].Start, QStringLiteral("/start/here.eml"));
    EXPECT_EQ(requests[0].Filter, TBrowseButton::FileFilter(QStringLiteral("eml")));
    EXPECT_EQ(edit->text(), answer);

    // A folder browse starts in the folder only when it exists; cancelling
    // keeps the text.
    TVarCombo* combo = dialog.AddCombo();
    combo->setEditable(true);
    TBrowseButton folder(combo, QString());
    combo->setEditText(QStringLiteral("/no/such/folder"));
    answer.clear();
    folder.Browse();
    EXPECT_TRUE(requests.back().Folder);
    EXPECT_EQ(requests.back().Start, QString());
    EXPECT_EQ(combo->currentText(), QStringLiteral("/no/such/folder"));
    const QString existing = TTestEnvironment::NewFolder();
    combo->setEditText(existing);
    answer = existing + QStringLiteral("/inner");
    folder.Browse();
    EXPECT_EQ(requests.back().Start, existing);
    EXPECT_EQ(combo->currentText(), answer);
    SetBrowseHandler(old);
}

TEST_F(DialogTest, ShellButtonsOpenTheirTargetOrSayThatNoProgramCan)
{
    std::vector<QUrl> opened;
    bool succeed = true;
    const TShellOpener old = SetShellOpener([&](const QUrl& url) {
        opened.push_back(url);
        return succeed;
    });
    TDialog dialog;
    TShellButton* button = dialog.AddShellButton(QStringLiteral("Open samples"), QStringLiteral("/data/atcdict.txt"));
    EXPECT_GE(button->width(), dialog.Units().TextWidth(button->text()) + 2 * dialog.Units().CharWidth);
    button->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QStringLiteral("/data/atcdict.txt")));
    EXPECT_TRUE(FAnswers.Boxes.isEmpty());
    succeed = false;
    EXPECT_FALSE(button->Open());
    EXPECT_EQ(FAnswers.Boxes, QStringList{FLanguage.Table.TextIn(10, QStringLiteral("ShellError"))});
    SetShellOpener(old);
}

} // namespace

#include "DialogTest.moc"
