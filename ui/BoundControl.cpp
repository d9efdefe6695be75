#include "ui/BoundControl.h"

#include "settings/GlobStrings.h"
#include "settings/IniErrors.h"

#include <QWidget>

void TPropertyBinding::Bind(QObject* object, const QString& name)
{
    FObject = object;
    FName = name;
}

QString TPropertyBinding::Text() const
{
    return IsBound() ? PropertyText(FObject, FName) : QString();
}

void TPropertyBinding::SetText(const QString& text) const
{
    if (IsBound())
        SetPropertyText(FObject, FName, text);
}

qint64 TPropertyBinding::Ordinal() const
{
    return IsBound() ? OrdPropertyByName(FObject, FName) : 0;
}

void TPropertyBinding::SetOrdinal(const TIniPropInfo& info, qint64 value) const
{
    if (!IsBound())
        return;
    if (info.Kind != TIniPropKind::Enumeration)
        SetText(QString::number(value));
    else if (!info.Enum.isValid())
        SetText(value ? QStringLiteral("True") : QStringLiteral("False"));
    else if (const char* key = info.Enum.valueToKey(static_cast<int>(value)))
        SetText(QString::fromLatin1(key));
}

TIniPropInfo RequireProperty(const QObject* object, const QString& name, const QString& missingFormat)
{
    const std::optional<TIniPropInfo> info = object ? FindIniProperty(object, name) : std::nullopt;
    if (!info)
        throw EPropertyError(missingFormat.arg(name));
    return *info;
}

void RequireKind(const TIniPropInfo& info, TIniPropKind kind)
{
    if (info.Kind != kind)
        throw EConvertError(QStringLiteral("Invalid property type: %1").arg(QString::fromLatin1(info.Property.typeName())));
}

void SetBoundHint(QWidget* control, const QString& propertyName)
{
    control->setToolTip(Lang().HintText(propertyName));
}
