#pragma once

#include "ui/BoundControl.h"

#include <QPlainTextEdit>

// A multi-line plain-text edit bound to a property of any kind, through the
// property's text, or to a text variable; it loads the value when bound and
// writes it back on ApplyValue.
class TVarMemo : public QPlainTextEdit, public IBoundControl
{
    Q_OBJECT
public:
    explicit TVarMemo(QWidget* parent = nullptr);

    // Loads the property's text and shows the property's hint.
    void BindProperty(QObject* object, const QString& name);
    void BindVariable(QString* variable);
    [[nodiscard]] bool ValidateValue() const override { return true; }
    // Writes the text to the property (not when disabled), else to the variable.
    void ApplyValue() override;

private:
    TPropertyBinding FBinding;
    QString* FVariable = nullptr;
};
