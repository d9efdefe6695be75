#pragma once

#include "ui/VistaForm.h"
#include "ui/dialogs/BrowseButtons.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/dialogs/PageControl.h"

#include <QComboBox>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QStringList>

#include <functional>
#include <vector>

class IBoundControl;
class QLabel;
class TVarCheck;
class TVarCombo;
class TVarEdit;
class TVarListBox;
class TVarRadio;
class TVarTrackBar;

// The sides of its container a control keeps its distance to when the
// container grows during construction.
enum TAnchor : unsigned {
    akLeft = 1u << 0,
    akTop = 1u << 1,
    akRight = 1u << 2,
};

// A dialog assembled in code: each add operation places a control below the
// previous one, at the left margin of the layout parent (the dialog or the
// current tab sheet), in units of the dialog font's average character, and
// widens the dialog when the control needs it (never beyond the screen's
// work area). Labels and captions come from the language table, looked up
// in the calling thread's current section unless a number and section are
// given.
//
// Bound controls (IBoundControl) take part in confirmation: OK validates
// them in creation order, and at the first refusal brings its tab sheet to
// the front, focuses it and keeps the dialog open; when all accept, it
// applies them in creation order and closes with OK. Cancel applies nothing.
//
// A control given a name by an add operation is also stored into the
// published property of that name (a Q_PROPERTY of a pointer type), when
// the dialog class has one.
class TDialog : public TVistaForm
{
    Q_OBJECT
    Q_PROPERTY(QPushButton* OkButton READ OkButton WRITE SetOkButton)
    Q_PROPERTY(QPushButton* CancelButton READ CancelButton WRITE SetCancelButton)
    Q_PROPERTY(QPushButton* CloseButton READ CloseButton WRITE SetCloseButton)
    Q_PROPERTY(TBrowseButton* BrowseButton READ BrowseButton WRITE SetBrowseButton)
    Q_PROPERTY(QComboBox* FilterCombo READ FilterCombo WRITE SetFilterCombo)
    Q_PROPERTY(TPageControl* Tabs READ Tabs WRITE SetTabs)
    Q_PROPERTY(QWidget* Tab READ Tab WRITE SetTab)

public:
    // A captioned dialog (no caption for empty text).
    explicit TDialog(const QString& caption = QString());
    // Captioned with the numbered entry of the section.
    TDialog(int number, int section);
    // Captioned with the named entry of the current section, and named so.
    struct TName
    {
        QString Name;
    };
    explicit TDialog(const TName& name);
    ~TDialog() override;

    // ---- the layout state
    [[nodiscard]] const TDialogUnits& Units() const { return FUnits; }
    [[nodiscard]] QWidget* LayoutParent() const { return FLayoutParent; }
    [[nodiscard]] int CursorY() const { return FCursorY; }
    void SetCursorY(int y) { FCursorY = y; }
    [[nodiscard]] int ClientWidth() const { return FClientWidth; }
    [[nodiscard]] int ClientHeight() const { return FClientHeight; }
    // The dialog's client width less a margin of one average character on
    // either side.
    [[nodiscard]] int UsableWidth() const { return FClientWidth - 2 * FUnits.CharWidth; }
    // The client width of the dialog or of one of its tab sheets.
    [[nodiscard]] int ContainerWidth(const QWidget* container) const;
    // Widens the dialog's client width to at least `width`, moving and
    // stretching the controls anchored right.
    void WidenTo(int width);
    // Widens the dialog so that the control's right edge + CharWidth fits
    // its container.
    void WidenFor(const QWidget* control);
    // Gives the control its place and anchors; a bound control joins the
    // confirmation (once) in the order it is first placed.
    void Place(QWidget* control, const QRect& rect, unsigned anchors = akLeft | akTop);
    // Names the control and stores it into the published property of that name.
    void NameControl(QWidget* control, const QString& name);

    // ---- labels
    // The numbered entry; below 1, an empty label as wide as the usable width.
    QLabel* AddLabel(int number);
    QLabel* AddText(const QString& text);
    QLabel* AddNamedLabel(const QString& name);
    QLabel* AddCenteredText(const QString& text);

    // ---- controls one row high, stretched across the container
    // An optional label above (for a non-empty text), then the control.
    template<typename TControl>
    TControl* AddControl(const QString& label)
    {
        auto* control = new TControl(FLayoutParent);
        PlaceRow(control, label);
        return control;
    }
    TVarEdit* AddEdit(const QString& label = QString());
    TVarEdit* AddEditFor(int number);
    // Labelled with the named entry, named so and bound to the property.
    TVarEdit* AddBoundEdit(QObject* object, const QString& name);
    TVarCombo* AddCombo(const QString& label = QString());
    TVarCombo* AddBoundCombo(QObject* object, const QString& name, int offset = 0);
    // A fixed list without selection, labelled with the numbered entry.
    TVarCombo* AddListCombo(int number);
    // An editable combo over a text variable with the history list of that
    // name; labelled with the numbered entry (none for a negative number).
    TVarCombo* AddHistoryCombo(QString* variable, const QString& history, int number);
    TVarListBox* AddListBox(int number);
    TVarTrackBar* AddTrackBar(const QString& label = QString());
    TVarTrackBar* AddBoundTrackBar(QObject* object, const QString& name);

    // ---- check boxes and radio groups, bound and captioned by name
    TVarCheck* AddCheck(QObject* object, const QString& name);
    // Items as TVarRadio::BindProperty gives them for the offset.
    TVarRadio* AddRadio(QObject* object, const QString& name, int offset);

    // ---- buttons
    QPushButton* AddButton(const QString& caption);
    QPushButton* AddNamedButton(const QString& name);
    // At the left margin and CursorY, which it does not move.
    TShellButton* AddShellButton(const QString& caption, const QString& target);
    // A browse button right of the edit or combo, which gives it room.
    TBrowseButton* AddBrowseButton(QWidget* target, const QString& extension);
    // The buttons in one row at CursorY (which it does not move), all as
    // wide as the widest caption + 4 CharWidth.
    void AddButtonRow(const QList<QPushButton*>& buttons);

    // ---- tab sheets
    // The page control "Tabs" across the dialog.
    TPageControl* AddTabs();
    // A new sheet on "Tabs"; it becomes the layout parent, and controls start
    // at its first row.
    QWidget* AddTab(const QString& caption);
    QWidget* AddNamedTab(const QString& name);
    // Makes "Tabs" as high as its fullest sheet and the dialog the layout
    // parent again, with CursorY below the sheets. The closing rows call it.
    void EndTabs();

    // ---- labels beside controls
    // A label at the control's place; the control moves right by the label
    // width + 3 CharWidth and ends one CharWidth before its container's edge.
    QLabel* LabelBeside(QWidget* control, int number);
    QLabel* LabelBeside(QWidget* control, const QString& text);
    // The same for several controls with one common label width, the
    // controls moving by that width + 2 CharWidth.
    QList<QLabel*> LabelsBeside(const QList<QWidget*>& controls, const QList<int>& numbers);
    QList<QLabel*> LabelsBeside(const QList<QWidget*>& controls, const QStringList& names);
    // Two columns: the labels stay left; the radio groups stack at half the
    // client width + CharWidth, from the first label's top.
    void LabelsAndRadios(const QList<QWidget*>& labels, const QList<QWidget*>& radios);

    // ---- closing rows
    // OK (default; runs the confirmation) and Cancel (Escape), both as wide
    // as the Cancel caption needs, right-aligned in the desktop's order.
    void AddOkCancel();
    // OK alone, default and Escape, centred.
    void AddOkOnly();
    // "Close" (default and Escape, result OK), centred at CursorY unless a
    // left or top of 0 or more is given.
    void AddClose(int left = -1, int top = -1);
    // Client height := 9/13 CharHeight + CursorY + RowHeight; a dialog then
    // wider than high becomes at least 1.62 times as wide as high.
    void FinishHeight();

    // ---- running
    // Shows the dialog modally, centred on the screen; true when it ended with OK.
    bool RunDialog();
    // Adds the OK and Cancel row first.
    bool RunOkCancel();
    // The OK button's click: validate, apply, close (see the class comment).
    void Confirm();
    // Closing otherwise than by a button ends with Cancel.
    void reject() override;
    [[nodiscard]] QList<IBoundControl*> BoundControls() const;

    // ---- published fields
    [[nodiscard]] QPushButton* OkButton() const { return FOkButton; }
    void SetOkButton(QPushButton* button) { FOkButton = button; }
    [[nodiscard]] QPushButton* CancelButton() const { return FCancelButton; }
    void SetCancelButton(QPushButton* button) { FCancelButton = button; }
    [[nodiscard]] QPushButton* CloseButton() const { return FCloseButton; }
    void SetCloseButton(QPushButton* button) { FCloseButton = button; }
    [[nodiscard]] TBrowseButton* BrowseButton() const { return FBrowseButton; }
    void SetBrowseButton(TBrowseButton* button) { FBrowseButton = button; }
    [[nodiscard]] QComboBox* FilterCombo() const { return FFilterCombo; }
    void SetFilterCombo(QComboBox* combo) { FFilterCombo = combo; }
    [[nodiscard]] TPageControl* Tabs() const { return FTabs; }
    void SetTabs(TPageControl* tabs) { FTabs = tabs; }
    [[nodiscard]] QWidget* Tab() const { return FTab; }
    void SetTab(QWidget* tab) { FTab = tab; }

protected:
    // A check of the whole dialog after its controls accepted (true: close).
    [[nodiscard]] virtual bool ValidateDialog() { return true; }
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct TAnchored
    {
        QPointer<QWidget> Control;
        unsigned Anchors;
    };
    struct TBound
    {
        QPointer<QWidget> Control;
        IBoundControl* Bound;
    };

    void SetCaption(const QString& caption);
    void PlaceRow(QWidget* control, const QString& label);
    QLabel* NewLabel(const QString& text);
    void LabelControls(const QList<QWidget*>& controls, const QList<QLabel*>& labels, int gap);
    // A push button at the desktop's default size rules, ending the dialog with `result`.
    QPushButton* NewClosingButton(const QString& name, const QString& caption, int result);
    void BringToFront(QWidget* control);
    void ApplyControls();
    [[nodiscard]] int LeftMargin() const { return FUnits.CharWidth; }

    TDialogUnits FUnits;
    QWidget* FLayoutParent;
    int FClientWidth;
    int FClientHeight;
    int FCursorY;
    // The lowest CursorY of the sheets of "Tabs".
    int FSheetBottom = 0;
    std::vector<TAnchored> FAnchored;
    std::vector<TBound> FBound;
    QPointer<QPushButton> FEscapeButton;

    QPushButton* FOkButton = nullptr;
    QPushButton* FCancelButton = nullptr;
    QPushButton* FCloseButton = nullptr;
    TBrowseButton* FBrowseButton = nullptr;
    QComboBox* FFilterCombo = nullptr;
    TPageControl* FTabs = nullptr;
    QWidget* FTab = nullptr;
};

// Called with every code-built dialog once it shows, inside its modal loop;
// tests answer dialogs through it. Returns the previous observer.
using TDialogObserver = std::function<void(TDialog& dialog)>;
TDialogObserver SetDialogObserver(TDialogObserver observer);
