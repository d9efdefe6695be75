#pragma once

#include "base/Exception.h"
#include "settings/IniPropInfo.h"

#include <QPointer>
#include <QString>

class QWidget;

// A value of the wrong type for what it is bound to.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

// What every bound control offers the dialog that holds it: a check of the
// value (true when no check is set) and writing it back.
class IBoundControl
{
public:
    virtual ~IBoundControl() = default;
    [[nodiscard]] virtual bool ValidateValue() const = 0;
    virtual void ApplyValue() = 0;
};

// The published property a control is bound to, read and written through
// the property text operations of the settings layer.
class TPropertyBinding
{
public:
    void Bind(QObject* object, const QString& name);
    [[nodiscard]] bool IsBound() const { return FObject && !FName.isEmpty(); }
    [[nodiscard]] QObject* Object() const { return FObject; }
    [[nodiscard]] const QString& Name() const { return FName; }

    [[nodiscard]] QString Text() const;
    void SetText(const QString& text) const;
    [[nodiscard]] qint64 Ordinal() const;
    // Writes an ordinal as its stored text (a value name for enumerations).
    void SetOrdinal(const TIniPropInfo& info, qint64 value) const;

private:
    QPointer<QObject> FObject;
    QString FName;
};

// The property's description; raises EPropertyError with `missingFormat`
// (its %1 is the name) when the object has none of that name.
[[nodiscard]] TIniPropInfo RequireProperty(const QObject* object, const QString& name, const QString& missingFormat);
// Raises EConvertError "Invalid property type: %s" unless the property is of that kind.
void RequireKind(const TIniPropInfo& info, TIniPropKind kind);
// The hint of a bound control: the "Hint" entry named after the property.
void SetBoundHint(QWidget* control, const QString& propertyName);
