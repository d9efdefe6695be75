#include "ui/dialogs/Dialog.h"

#include "settings/GlobStrings.h"
#include "ui/BoundControl.h"
#include "ui/MessageForm.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace {

TDialogObserver& Observer()
{
    static TDialogObserver observer;
    return observer;
}

QRect WorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// Whether the desktop puts the affirmative button rightmost (GNOME, macOS)
// rather than left of Cancel (Windows, KDE).
bool AffirmativeRightmost(const QWidget* widget)
{
    const int layout = widget->style()->styleHint(QStyle::SH_DialogButtonLayout, nullptr, widget);
    return layout == QDialogButtonBox::GnomeLayout || layout == QDialogButtonBox::MacLayout;
}

} // namespace

TDialogObserver SetDialogObserver(TDialogObserver observer)
{
    return std::exchange(Observer(), std::move(observer));
}

// ------------------------------------------------------------- construction

TDialog::TDialog(const QString& caption)
    : FUnits(font())
    , FLayoutParent(this)
    , FClientWidth(10 * FUnits.CharWidth)
    , FClientHeight(0)
    , FCursorY(FUnits.CharWidth)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(FClientWidth, FUnits.RowHeight);
    SetCaption(caption);
}

TDialog::TDialog(int number, int section)
    : TDialog(Lang().TextOf(number, section))
{
}

TDialog::TDialog(const TName& name)
    : TDialog(Lang().ValueOf(name.Name))
{
    setObjectName(name.Name);
}

TDialog::~TDialog() = default;

void TDialog::SetCaption(const QString& caption)
{
    setWindowTitle(caption);
    if (caption.isEmpty())
        return;
    // A captioned dialog starts at about twice its first width. Before the
    // window is shown its frame is not known, so the outer width is the
    // client width here.
    WidenTo(FUnits.TextWidth(caption) + 3 * FUnits.CharWidth);
    WidenTo(2 * FClientWidth);
}

// ------------------------------------------------------------------ layout

int TDialog::ContainerWidth(const QWidget* container) const
{
    if (container == this)
        return FClientWidth;
    if (FTabs && FTabs->indexOf(const_cast<QWidget*>(container)) >= 0)
        return FTabs->PageRect().width();
    return container->width();
}

void TDialog::WidenTo(int width)
{
    const int limit = WorkArea().width();
    const int wanted = std::min(width, limit);
    if (wanted <= FClientWidth)
        return;
    const int delta = wanted - FClientWidth;
    FClientWidth = wanted;
    resize(FClientWidth, height());
    // Controls anchored right follow the right edge: those also anchored
    // left stretch, the others move. Sheets of "Tabs" grow with it.
    for (const TAnchored& anchored : FAnchored) {
        QWidget* control = anchored.Control;
        if (!control || !(anchored.Anchors & akRight))
            continue;
        if (anchored.Anchors & akLeft)
            control->resize(control->width() + delta, control->height());
        else
            control->move(control->x() + delta, control->y());
    }
}

void TDialog::WidenFor(const QWidget* control)
{
    const QWidget* container = control->parentWidget();
    const int needed = control->geometry().right() + 1 + FUnits.CharWidth;
    const int shortBy = needed - ContainerWidth(container);
    if (shortBy > 0)
        WidenTo(FClientWidth + shortBy);
}

void TDialog::Place(QWidget* control, const QRect& rect, unsigned anchors)
{
    control->setGeometry(rect);
    const auto anchored = std::find_if(FAnchored.begin(), FAnchored.end(),
                                       [control](const TAnchored& a) { return a.Control == control; });
    if (anchored != FAnchored.end())
        anchored->Anchors = anchors;
    else
        FAnchored.push_back({control, anchors});
    if (auto* bound = dynamic_cast<IBoundControl*>(control)) {
        const bool known = std::any_of(FBound.begin(), FBound.end(), [bound](const TBound& b) { return b.Bound == bound; });
        if (!known)
            FBound.push_back({control, bound});
    }
}

void TDialog::NameControl(QWidget* control, const QString& name)
{
    control->setObjectName(name);
    const QMetaObject* meta = metaObject();
    const int index = meta->indexOfProperty(name.toLatin1().constData());
    if (index < 0)
        return;
    const QMetaProperty property = meta->property(index);
    const QMetaObject* wanted = property.metaType().metaObject();
    if (!(property.metaType().flags() & QMetaType::PointerToQObject) || !wanted || !control->inherits(wanted->className()))
        return;
    // Every QObject class has its QObject part first, so the control's
    // address is a valid pointer of the property's class.
    QObject* object = control;
    property.write(this, QVariant(property.metaType(), &object));
}

// -------------------------------------------------------------- tab sheets

TPageControl* TDialog::AddTabs()
{
    auto* tabs = new TPageControl(this);
    // Tall enough for its tab bar; EndTabs gives it its real height.
    const int left = LeftMargin();
    Place(tabs, QRect(left, FCursorY, FClientWidth - 2 * left, 20 * FUnits.RowHeight), akLeft | akTop | akRight);
    NameControl(tabs, QStringLiteral("Tabs"));
    FSheetBottom = 0;
    return tabs;
}

QWidget* TDialog::AddTab(const QString& caption)
{
    if (!FTabs)
        AddTabs();
    if (FLayoutParent != this)
        FSheetBottom = std::max(FSheetBottom, FCursorY);
    auto* sheet = new QWidget;
    FTabs->addTab(sheet, caption);
    NameControl(sheet, QStringLiteral("Tab"));
    FLayoutParent = sheet;
    FCursorY = FUnits.CharHeight;
    return sheet;
}

QWidget* TDialog::AddNamedTab(const QString& name)
{
    QWidget* sheet = AddTab(Lang().ValueOf(name));
    sheet->setObjectName(name);
    return sheet;
}

void TDialog::EndTabs()
{
    if (!FTabs || FLayoutParent == this)
        return;
    FSheetBottom = std::max(FSheetBottom, FCursorY);
    const int frame = FTabs->height() - FTabs->PageRect().height();
    FTabs->resize(FTabs->width(), FSheetBottom + frame);
    FLayoutParent = this;
    FCursorY = FTabs->geometry().bottom() + 1 + FUnits.CharHeight;
}

// ------------------------------------------------------------ closing rows

QPushButton* TDialog::NewClosingButton(const QString& name, const QString& caption, int result)
{
    auto* button = new QPushButton(caption, this);
    NameControl(button, name);
    if (result == mrOk && name == QStringLiteral("OkButton"))
        connect(button, &QPushButton::clicked, this, &TDialog::Confirm);
    else
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    return button;
}

void TDialog::AddOkCancel()
{
    EndTabs();
    const int cw = FUnits.CharWidth;
    const int b = FUnits.ButtonWidth(Lang().CancelText());
    WidenTo(2 * b * 162 / 100);
    FinishHeight();
    QPushButton* ok = NewClosingButton(QStringLiteral("OkButton"), Lang().OkText(), mrOk);
    QPushButton* cancel = NewClosingButton(QStringLiteral("CancelButton"), Lang().CancelText(), mrCancel);
    ok->setDefault(true);
    FEscapeButton = cancel;
    // Two places at the right edge; which button takes the outer one is
    // the desktop's convention.
    const QRect outer(FClientWidth - b - cw, FCursorY, b, FUnits.RowHeight);
    const QRect inner(FClientWidth - 2 * b - 3 * cw, FCursorY, b, FUnits.RowHeight);
    const bool okOutside = AffirmativeRightmost(this);
    Place(ok, okOutside ? outer : inner, akTop | akRight);
    Place(cancel, okOutside ? inner : outer, akTop | akRight);
    setTabOrder(okOutside ? cancel : ok, okOutside ? ok : cancel);
}

void TDialog::AddOkOnly()
{
    EndTabs();
    FinishHeight();
    QPushButton* ok = NewClosingButton(QStringLiteral("OkButton"), Lang().OkText(), mrOk);
    ok->setDefault(true);
    FEscapeButton = ok;
    const int width = FUnits.ButtonWidth(ok->text());
    Place(ok, QRect((FClientWidth - width) / 2, FCursorY, width, FUnits.RowHeight), akTop);
}

void TDialog::AddClose(int left, int top)
{
    EndTabs();
    if (left < 0 && top < 0)
        FinishHeight();
    QPushButton* close = NewClosingButton(QStringLiteral("CloseButton"), Lang().CommonText(QStringLiteral("Close")), mrOk);
    close->setDefault(true);
    FEscapeButton = close;
    const int width = FUnits.ButtonWidth(close->text());
    const int x = left >= 0 ? left : (FClientWidth - width) / 2;
    Place(close, QRect(x, top >= 0 ? top : FCursorY, width, FUnits.RowHeight), akTop);
}

void TDialog::FinishHeight()
{
    FClientHeight = 9 * FUnits.CharHeight / 13 + FCursorY + FUnits.RowHeight;
    resize(FClientWidth, FClientHeight);
    // Rounded up, so the width is never short of 1.62 times the height.
    if (FClientWidth > FClientHeight)
        WidenTo((FClientHeight * 162 + 99) / 100);
}

// ----------------------------------------------------------------- running

bool TDialog::RunDialog()
{
    if (FClientHeight <= 0)
        FinishHeight();
    setFixedSize(FClientWidth, FClientHeight);
    move(WorkArea().center() - QPoint(FClientWidth / 2, FClientHeight / 2));
    if (const TDialogObserver& observer = Observer())
        QTimer::singleShot(0, this, [this, observer] { observer(*this); });
    // The dialog has no parent window, so the window it was opened from
    // takes the focus back itself rather than leave it to the desktop.
    const QPointer<QWidget> opener = QApplication::activeWindow();
    const int result = exec();
    if (opener && opener->isVisible())
        opener->activateWindow();
    return result == mrOk;
}

bool TDialog::RunOkCancel()
{
    AddOkCancel();
    return RunDialog();
}

void TDialog::Confirm()
{
    for (const TBound& bound : FBound)
        if (bound.Control && !bound.Bound->ValidateValue()) {
            BringToFront(bound.Control);
            return;
        }
    if (!ValidateDialog())
        return;
    ApplyControls();
    done(mrOk);
}

void TDialog::BringToFront(QWidget* control)
{
    for (QWidget* w = control; w && w != this; w = w->parentWidget())
        if (FTabs && FTabs->indexOf(w) >= 0)
            FTabs->setCurrentWidget(w);
    control->setFocus(Qt::OtherFocusReason);
}

void TDialog::ApplyControls()
{
    for (const TBound& bound : FBound)
        if (bound.Control)
            bound.Bound->ApplyValue();
}

QList<IBoundControl*> TDialog::BoundControls() const
{
    QList<IBoundControl*> controls;
    for (const TBound& bound : FBound)
        if (bound.Control)
            controls << bound.Bound;
    return controls;
}

void TDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (FEscapeButton)
            FEscapeButton->click();
        else
            reject();
        return;
    }
    TVistaForm::keyPressEvent(event);
}

void TDialog::reject()
{
    done(mrCancel);
}
