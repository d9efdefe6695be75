#include "ui/VarControls.h"

#include "settings/BaseOptions.h"
#include "settings/GlobStrings.h"
#include "settings/History.h"
#include "ui/Beep.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString kPropertyMissing = QStringLiteral("Property %1 does not exist");

// Texts for the values minimum..maximum of an enumeration property.
QStringList ValueTexts(const TIniPropInfo& info, const std::function<QString(qint64 value)>& text)
{
    QStringList texts;
    for (qint64 value = info.Minimum; value <= info.Maximum; ++value)
        texts << text(value);
    return texts;
}

} // namespace

// ---------------------------------------------------------------- TVarCombo

TVarCombo::TVarCombo(QWidget* parent)
    : QComboBox(parent)
{
}

void TVarCombo::BindProperty(QObject* object, const QString& name, int offset)
{
    FInfo = RequireProperty(object, name, kPropertyMissing);
    FBinding.Bind(object, name);
    if (FInfo->Kind == TIniPropKind::Enumeration) {
        setEditable(false);
        clear();
        addItems(ValueTexts(*FInfo, [offset](qint64 value) {
            return Lang().TextOf(offset + static_cast<int>(value), -1);
        }));
        setCurrentIndex(static_cast<int>(FBinding.Ordinal() - FInfo->Minimum));
    } else {
        setEditable(true);
        const QString text = FBinding.Text();
        setCurrentIndex(findText(text));
        setEditText(text);
    }
    SetBoundHint(this, name);
}

void TVarCombo::BindVariable(QString* variable)
{
    FText = variable;
    if (!variable)
        return;
    setEditable(true);
    setCurrentIndex(-1);
    setEditText(*variable);
}

void TVarCombo::BindVariable(int* variable)
{
    FIndex = variable;
    if (variable)
        setCurrentIndex(*variable);
}

void TVarCombo::SetHistoryName(const QString& name)
{
    FHistoryName = name;
    TBaseOptions* options = BaseOptions();
    if (name.isEmpty() || !options)
        return;
    THistory& history = options->History();
    history.SelectHistory(name, QString());
    const QString text = currentText();
    clear();
    for (int n = 0; n < history.Count(); ++n)
        addItem(history.Get(n));
    setCurrentIndex(-1);
    setEditText(text);
}

bool TVarCombo::ValidateValue() const
{
    return OnValidate ? OnValidate(currentText(), currentIndex()) : true;
}

void TVarCombo::ApplyValue()
{
    if (FBinding.IsBound()) {
        if (!isEnabled())
            return;
        if (FInfo->Kind == TIniPropKind::Enumeration) {
            // Nothing selected is no value: the property keeps its own.
            if (currentIndex() >= 0)
                FBinding.SetOrdinal(*FInfo, FInfo->Minimum + currentIndex());
        } else {
            FBinding.SetText(currentText());
            PushHistory(currentText());
        }
    } else if (FIndex) {
        *FIndex = currentIndex();
    } else if (FText) {
        *FText = currentText();
        PushHistory(currentText());
    }
}

void TVarCombo::PushHistory(const QString& text) const
{
    if (TBaseOptions* options = BaseOptions(); options && !FHistoryName.isEmpty())
        options->History().SelectHistory(FHistoryName, text);
}

// ---------------------------------------------------------------- TVarCheck

TVarCheck::TVarCheck(QWidget* parent)
    : QCheckBox(parent)
{
}

void TVarCheck::BindProperty(QObject* object, const QString& name)
{
    FInfo = RequireProperty(object, name, QStringLiteral("Property not found %1"));
    if (FInfo->Property.metaType().id() != QMetaType::Bool)
        throw EConvertError(QStringLiteral("Invalid property type: %1").arg(QString::fromLatin1(FInfo->Property.typeName())));
    FBinding.Bind(object, name);
    setChecked(FBinding.Ordinal() != 0);
    SetBoundHint(this, name);
}

void TVarCheck::BindVariable(bool* variable)
{
    FVariable = variable;
    if (variable)
        setChecked(*variable);
}

void TVarCheck::ApplyValue()
{
    if (FBinding.IsBound() && isEnabled())
        FBinding.SetOrdinal(*FInfo, isChecked() ? 1 : 0);
    if (FVariable)
        *FVariable = isChecked();
}

// ---------------------------------------------------------------- TVarRadio

TVarRadio::TVarRadio(QWidget* parent)
    : QGroupBox(parent)
    , FGroup(new QButtonGroup(this))
{
    new QVBoxLayout(this);
}

void TVarRadio::BindProperty(QObject* object, const QString& name, int offset)
{
    FInfo = RequireProperty(object, name, kPropertyMissing);
    RequireKind(*FInfo, TIniPropKind::Enumeration);
    FBinding.Bind(object, name);
    SetItems(ValueTexts(*FInfo, [&name, offset](qint64 value) {
        return offset < 0 ? Lang().ValueOf(name + QString::number(value))
                          : Lang().TextOf(offset + static_cast<int>(value), -1);
    }));
    SetItemIndex(static_cast<int>(FBinding.Ordinal() - FInfo->Minimum));
    SetBoundHint(this, name);
}

void TVarRadio::BindVariable(quint8* variable)
{
    FVariable = variable;
    if (variable)
        SetItemIndex(*variable);
}

void TVarRadio::SetItems(const QStringList& items)
{
    for (QAbstractButton* button : FGroup->buttons())
        delete button;
    // Buttons are made top to bottom, so the tab order follows the visual order.
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        FGroup->addButton(button, i);
        layout()->addWidget(button);
    }
}

QStringList TVarRadio::Items() const
{
    QStringList items;
    for (const QAbstractButton* button : FGroup->buttons())
        items << button->text();
    return items;
}

int TVarRadio::ItemIndex() const
{
    return FGroup->checkedId();
}

void TVarRadio::SetItemIndex(int index)
{
    if (QAbstractButton* button = FGroup->button(index))
        button->setChecked(true);
}

void TVarRadio::ApplyValue()
{
    if (FBinding.IsBound() && isEnabled() && ItemIndex() >= 0)
        FBinding.SetOrdinal(*FInfo, FInfo->Minimum + ItemIndex());
    if (FVariable)
        *FVariable = static_cast<quint8>(ItemIndex());
}

// -------------------------------------------------------------- TVarListBox

TVarListBox::TVarListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (OnClickItem)
            OnClickItem(row(item));
    });
}

void TVarListBox::BindVariable(int* variable)
{
    FVariable = variable;
    if (variable)
        setCurrentRow(*variable);
}

bool TVarListBox::ValidateValue() const
{
    return OnValidate ? OnValidate(currentRow()) : true;
}

void TVarListBox::ApplyValue()
{
    if (FVariable)
        *FVariable = currentRow();
}

void TVarListBox::keyPressEvent(QKeyEvent* event)
{
    const int row = currentRow();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (OnClickItem)
            OnClickItem(row);
        return;
    }
    BeepAtTheEnds(event->key(), row, count() - 1);
    QListWidget::keyPressEvent(event);
}

// ------------------------------------------------------------- TVarTrackBar

TVarTrackBar::TVarTrackBar(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setTickPosition(TicksBelow);
    setTickInterval(1);
}

void TVarTrackBar::BindProperty(QObject* object, const QString& name)
{
    FInfo = RequireProperty(object, name, kPropertyMissing);
    RequireKind(*FInfo, TIniPropKind::Integer);
    FBinding.Bind(object, name);
    setValue(static_cast<int>(FBinding.Ordinal()));
    SetBoundHint(this, name);
}

void TVarTrackBar::BindVariable(int* variable)
{
    FVariable = variable;
    if (variable)
        setValue(*variable);
}

void TVarTrackBar::SetRange(int minimum, int maximum)
{
    const int position = value();
    setRange(minimum, maximum);
    setValue(position);
    setPageStep(static_cast<int>(std::lround((maximum - minimum) / 10.0)));
}

void TVarTrackBar::ApplyValue()
{
    if (FBinding.IsBound() && isEnabled())
        FBinding.SetOrdinal(*FInfo, value());
    if (FVariable)
        *FVariable = value();
}
