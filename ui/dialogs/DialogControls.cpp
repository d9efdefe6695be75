// The add operations of TDialog that place labels, input controls and
// buttons; construction, tab sheets, the closing rows and confirmation are
// in Dialog.cpp.

#include "ui/dialogs/Dialog.h"

#include "settings/GlobStrings.h"
#include "ui/VarControls.h"
#include "ui/VarEdit.h"

#include <QLabel>

// ------------------------------------------------------------------ labels

QLabel* TDialog::NewLabel(const QString& text)
{
    auto* label = new QLabel(text, FLayoutParent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* TDialog::AddText(const QString& text)
{
    QLabel* label = NewLabel(text);
    // The label's own size hint wins where the style adds to the text width.
    const int width = std::max(FUnits.TextWidth(text), label->sizeHint().width());
    Place(label, QRect(LeftMargin(), FCursorY, width, FUnits.CharHeight));
    WidenFor(label);
    FCursorY += FUnits.CharHeight + 5;
    return label;
}

QLabel* TDialog::AddLabel(int number)
{
    if (number >= 1)
        return AddText(Lang().TextOf(number, -1));
    QLabel* label = NewLabel(QString());
    Place(label, QRect(LeftMargin(), FCursorY, UsableWidth(), FUnits.CharHeight));
    FCursorY += FUnits.CharHeight + 5;
    return label;
}

QLabel* TDialog::AddNamedLabel(const QString& name)
{
    QLabel* label = AddText(Lang().ValueOf(name));
    NameControl(label, name);
    return label;
}

QLabel* TDialog::AddCenteredText(const QString& text)
{
    QLabel* label = NewLabel(text);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Place(label, QRect(LeftMargin(), FCursorY, UsableWidth(), FUnits.CharHeight), akLeft | akTop | akRight);
    FCursorY += FUnits.CharHeight + 5;
    return label;
}

// ----------------------------------------------------- one-row controls

void TDialog::PlaceRow(QWidget* control, const QString& label)
{
    if (!label.isEmpty())
        AddText(label)->setBuddy(control);
    const int left = LeftMargin();
    const int height = std::max(FUnits.RowHeight, control->sizeHint().height());
    const int width = ContainerWidth(FLayoutParent) - left - FUnits.CharWidth;
    Place(control, QRect(left, FCursorY, width, height), akLeft | akTop | akRight);
    FCursorY += height + FUnits.CharHeight;
}

TVarEdit* TDialog::AddEdit(const QString& label)
{
    return AddControl<TVarEdit>(label);
}

TVarEdit* TDialog::AddEditFor(int number)
{
    return AddEdit(Lang().TextOf(number, -1));
}

TVarEdit* TDialog::AddBoundEdit(QObject* object, const QString& name)
{
    TVarEdit* edit = AddEdit(Lang().ValueOf(name));
    NameControl(edit, name);
    edit->BindProperty(object, name);
    return edit;
}

TVarCombo* TDialog::AddCombo(const QString& label)
{
    return AddControl<TVarCombo>(label);
}

TVarCombo* TDialog::AddBoundCombo(QObject* object, const QString& name, int offset)
{
    TVarCombo* combo = AddCombo(Lang().ValueOf(name));
    NameControl(combo, name);
    combo->BindProperty(object, name, offset);
    return combo;
}

TVarCombo* TDialog::AddListCombo(int number)
{
    TVarCombo* combo = AddCombo(Lang().TextOf(number, -1));
    combo->setEditable(false);
    combo->setCurrentIndex(-1);
    return combo;
}

TVarCombo* TDialog::AddHistoryCombo(QString* variable, const QString& history, int number)
{
    TVarCombo* combo = AddCombo(Lang().TextOf(number, -1));
    combo->setEditable(true);
    combo->SetHistoryName(history);
    combo->BindVariable(variable);
    return combo;
}

TVarListBox* TDialog::AddListBox(int number)
{
    auto* list = AddControl<TVarListBox>(Lang().TextOf(number, -1));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    return list;
}

TVarTrackBar* TDialog::AddTrackBar(const QString& label)
{
    auto* track = AddControl<TVarTrackBar>(label);
    track->setTickPosition(QSlider::TicksBelow);
    track->setTickInterval(1);
    track->setValue(0);
    return track;
}

TVarTrackBar* TDialog::AddBoundTrackBar(QObject* object, const QString& name)
{
    TVarTrackBar* track = AddTrackBar(Lang().ValueOf(name));
    NameControl(track, name);
    track->BindProperty(object, name);
    return track;
}

// ------------------------------------------------ check boxes and radios

TVarCheck* TDialog::AddCheck(QObject* object, const QString& name)
{
    auto* check = new TVarCheck(FLayoutParent);
    check->setText(Lang().ValueOf(name));
    NameControl(check, name);
    check->BindProperty(object, name);
    // The indicator of the desktop's style may need more than 20 pixels.
    const QSize size = QSize(FUnits.TextWidth(check->text()) + 2 * FUnits.CharWidth + 20, FUnits.CharHeight)
                           .expandedTo(check->sizeHint());
    Place(check, QRect(QPoint(LeftMargin(), FCursorY), size));
    WidenFor(check);
    FCursorY += std::max(2 * FUnits.CharHeight, size.height() + FUnits.CharHeight / 2);
    return check;
}

TVarRadio* TDialog::AddRadio(QObject* object, const QString& name, int offset)
{
    auto* radio = new TVarRadio(FLayoutParent);
    radio->setTitle(Lang().ValueOf(name));
    NameControl(radio, name);
    radio->BindProperty(object, name, offset);
    int widest = FUnits.TextWidth(radio->title());
    for (const QString& item : radio->Items())
        widest = std::max(widest, FUnits.TextWidth(item));
    const int items = static_cast<int>(radio->Items().size());
    const QSize size = QSize(widest + FUnits.CharWidth + 20, items * FUnits.RowHeight + FUnits.CharHeight)
                           .expandedTo(radio->sizeHint());
    Place(radio, QRect(QPoint(LeftMargin(), FCursorY), size));
    WidenFor(radio);
    FCursorY = std::max(FCursorY, radio->geometry().bottom() + 1 + FUnits.CharHeight);
    return radio;
}

// ----------------------------------------------------------------- buttons

QPushButton* TDialog::AddButton(const QString& caption)
{
    auto* button = new QPushButton(caption, FLayoutParent);
    button->setAutoDefault(false);
    Place(button, QRect(LeftMargin(), FCursorY, FUnits.ButtonWidth(caption), FUnits.RowHeight));
    WidenFor(button);
    FCursorY += FUnits.RowHeight + FUnits.CharHeight;
    return button;
}

QPushButton* TDialog::AddNamedButton(const QString& name)
{
    QPushButton* button = AddButton(Lang().ValueOf(name));
    NameControl(button, name);
    return button;
}

TShellButton* TDialog::AddShellButton(const QString& caption, const QString& target)
{
    auto* button = new TShellButton(caption, target, FLayoutParent);
    button->setAutoDefault(false);
    const int width = FUnits.TextWidth(caption) + 2 * FUnits.CharWidth;
    Place(button, QRect(LeftMargin(), FCursorY, std::max(width, button->sizeHint().width()), FUnits.RowHeight));
    WidenFor(button);
    return button;
}

TBrowseButton* TDialog::AddBrowseButton(QWidget* target, const QString& extension)
{
    auto* button = new TBrowseButton(target, extension, target->parentWidget());
    button->setAutoDefault(false);
    NameControl(button, QStringLiteral("BrowseButton"));
    // A square button at the right end of the control's row.
    const QRect row = target->geometry();
    const int side = row.height();
    Place(button, QRect(row.right() + 1 - side, row.top(), side, side), akTop | akRight);
    target->resize(row.width() - side - FUnits.CharWidth / 2, row.height());
    return button;
}

void TDialog::AddButtonRow(const QList<QPushButton*>& buttons)
{
    const int cw = FUnits.CharWidth;
    int width = 0;
    for (const QPushButton* button : buttons)
        width = std::max(width, FUnits.TextWidth(button->text()) + 4 * cw);
    const int count = static_cast<int>(buttons.size());
    WidenTo(2 * cw + (width + 2 * cw) * count);
    for (int i = 0; i < count; ++i)
        Place(buttons[i], QRect(4 * cw + (width + 2 * cw) * i, FCursorY, width, FUnits.RowHeight));
}

// ---------------------------------------------------- labels beside controls

QLabel* TDialog::LabelBeside(QWidget* control, int number)
{
    return LabelBeside(control, Lang().TextOf(number, -1));
}

QLabel* TDialog::LabelBeside(QWidget* control, const QString& text)
{
    auto* label = new QLabel(text, control->parentWidget());
    label->setTextFormat(Qt::PlainText);
    LabelControls({control}, {label}, 3 * FUnits.CharWidth);
    return label;
}

QList<QLabel*> TDialog::LabelsBeside(const QList<QWidget*>& controls, const QList<int>& numbers)
{
    QStringList texts;
    for (int number : numbers)
        texts << Lang().TextOf(number, -1);
    QList<QLabel*> labels;
    for (qsizetype i = 0; i < controls.size() && i < texts.size(); ++i) {
        labels << new QLabel(texts[i], controls[i]->parentWidget());
        labels.back()->setTextFormat(Qt::PlainText);
    }
    LabelControls(controls, labels, 2 * FUnits.CharWidth);
    return labels;
}

QList<QLabel*> TDialog::LabelsBeside(const QList<QWidget*>& controls, const QStringList& names)
{
    QList<QLabel*> labels;
    for (qsizetype i = 0; i < controls.size() && i < names.size(); ++i) {
        labels << new QLabel(Lang().ValueOf(names[i]), controls[i]->parentWidget());
        labels.back()->setTextFormat(Qt::PlainText);
        NameControl(labels.back(), names[i]);
    }
    LabelControls(controls, labels, 2 * FUnits.CharWidth);
    return labels;
}

void TDialog::LabelControls(const QList<QWidget*>& controls, const QList<QLabel*>& labels, int gap)
{
    int labelWidth = 0;
    for (const QLabel* label : labels)
        labelWidth = std::max({labelWidth, FUnits.TextWidth(label->text()), label->sizeHint().width()});
    for (qsizetype i = 0; i < labels.size(); ++i) {
        QWidget* control = controls[i];
        const QRect place = control->geometry();
        // The label stands where the control stood, centred on its row.
        labels[i]->setBuddy(control);
        Place(labels[i], QRect(place.left(), place.top() + (place.height() - FUnits.CharHeight) / 2, labelWidth,
                               FUnits.CharHeight));
        const int left = place.left() + labelWidth + gap;
        const int width = ContainerWidth(control->parentWidget()) - FUnits.CharWidth - left;
        control->setGeometry(left, place.top(), std::max(width, FUnits.CharWidth), place.height());
        WidenFor(control);
    }
}

void TDialog::LabelsAndRadios(const QList<QWidget*>& labels, const QList<QWidget*>& radios)
{
    if (labels.isEmpty())
        return;
    int widest = 0;
    for (const QList<QWidget*>* column : {&labels, &radios})
        for (const QWidget* control : *column)
            widest = std::max(widest, control->width());
    WidenTo(20 * FUnits.CharWidth + 2 * widest);
    const int left = ContainerWidth(FLayoutParent) / 2 + FUnits.CharWidth;
    int top = labels.first()->y();
    for (QWidget* radio : radios) {
        Place(radio, QRect(QPoint(left, top), radio->size()), akTop | akRight);
        top += radio->height();
    }
    // The radio groups were placed below the labels before they moved up
    // beside them: the next row goes below the lowest control now there,
    // not below where the radio groups were.
    int bottom = 0;
    for (const QObject* child : FLayoutParent->children())
        if (const auto* control = qobject_cast<const QWidget*>(child); control && !control->isWindow())
            bottom = std::max(bottom, control->geometry().bottom());
    FCursorY = bottom + 1 + FUnits.CharHeight;
}
