#pragma once

#include "ui/BoundControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QSlider>

#include <functional>
#include <optional>

class QButtonGroup;

// A combo box bound to an enumeration or text property, a text or index
// variable, and optionally a history list of entered texts.
class TVarCombo : public QComboBox, public IBoundControl
{
    Q_OBJECT
public:
    explicit TVarCombo(QWidget* parent = nullptr);

    // An enumeration gives a fixed list: one numbered entry of the current
    // language section per value, `offset` + value; any other property
    // selects the item whose text equals the property's text.
    void BindProperty(QObject* object, const QString& name, int offset = 0);
    // The text of a text variable; nothing selected in the list.
    void BindVariable(QString* variable);
    // The selected index, for an index variable.
    void BindVariable(int* variable);
    // The items become the entries of that history list, newest first.
    void SetHistoryName(const QString& name);
    [[nodiscard]] const QString& HistoryName() const { return FHistoryName; }

    [[nodiscard]] bool ValidateValue() const override;
    void ApplyValue() override;

    std::function<bool(const QString& text, int index)> OnValidate;

private:
    void PushHistory(const QString& text) const;

    TPropertyBinding FBinding;
    std::optional<TIniPropInfo> FInfo;
    QString* FText = nullptr;
    int* FIndex = nullptr;
    QString FHistoryName;
};

// A check box bound to a Boolean property and/or a Boolean variable.
class TVarCheck : public QCheckBox, public IBoundControl
{
    Q_OBJECT
public:
    explicit TVarCheck(QWidget* parent = nullptr);

    void BindProperty(QObject* object, const QString& name);
    void BindVariable(bool* variable);
    [[nodiscard]] bool ValidateValue() const override { return true; }
    void ApplyValue() override;

private:
    TPropertyBinding FBinding;
    std::optional<TIniPropInfo> FInfo;
    bool* FVariable = nullptr;
};

// A group of radio buttons bound to an enumeration property and/or a byte
// variable; the item index is the value.
class TVarRadio : public QGroupBox, public IBoundControl
{
    Q_OBJECT
public:
    explicit TVarRadio(QWidget* parent = nullptr);

    // Items: with a negative offset the named entries "<name><value>" of the
    // current language section, otherwise the numbered entries offset + value.
    void BindProperty(QObject* object, const QString& name, int offset = -1);
    void BindVariable(quint8* variable);
    void SetItems(const QStringList& items);
    [[nodiscard]] QStringList Items() const;
    [[nodiscard]] int ItemIndex() const;
    void SetItemIndex(int index);

    [[nodiscard]] bool ValidateValue() const override { return true; }
    void ApplyValue() override;

private:
    TPropertyBinding FBinding;
    std::optional<TIniPropInfo> FInfo;
    quint8* FVariable = nullptr;
    QButtonGroup* FGroup;
};

// A list box bound to an index variable. Enter or a double click on an item
// raises OnClickItem; moving beyond either end beeps.
class TVarListBox : public QListWidget, public IBoundControl
{
    Q_OBJECT
public:
    explicit TVarListBox(QWidget* parent = nullptr);

    void BindVariable(int* variable);
    [[nodiscard]] bool ValidateValue() const override;
    void ApplyValue() override;

    std::function<bool(int index)> OnValidate;
    std::function<void(int index)> OnClickItem;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int* FVariable = nullptr;
};

// A horizontal track bar bound to an integer property and/or an integer variable.
class TVarTrackBar : public QSlider, public IBoundControl
{
    Q_OBJECT
public:
    explicit TVarTrackBar(QWidget* parent = nullptr);

    void BindProperty(QObject* object, const QString& name);
    void BindVariable(int* variable);
    // Sets the bounds; a page is a tenth of the range, rounded.
    void SetRange(int minimum, int maximum);
    [[nodiscard]] bool ValidateValue() const override { return true; }
    void ApplyValue() override;

private:
    TPropertyBinding FBinding;
    std::optional<TIniPropInfo> FInfo;
    int* FVariable = nullptr;
};
