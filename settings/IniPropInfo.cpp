#include "settings/IniPropInfo.h"

#include "settings/SystemCodePage.h"
#include "settings/IniErrors.h"

#include <QLocale>
#include <QMetaObject>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <limits>

namespace {

// The first property index declared by one of our own classes: everything
// Qt's classes publish (objectName, widget geometry, ...) is skipped.
int FirstOwnProperty(const QMetaObject* meta)
{
    for (const QMetaObject* ancestor = meta; ancestor; ancestor = ancestor->superClass())
        if (ancestor->className()[0] == 'Q')
            return ancestor->propertyCount();
    return 0;
}

QString ClassInfo(const QMetaObject* meta, const char* kind, const QMetaProperty& property)
{
    const QByteArray name = QByteArray(kind) + ':' + property.name();
    const int index = meta->indexOfClassInfo(name.constData());
    return index < 0 ? QString() : QString::fromUtf8(meta->classInfo(index).value());
}

bool IsSigned(const QMetaType& type)
{
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return true;
    default:
        return (type.flags() & QMetaType::IsEnumeration) && !(type.flags() & QMetaType::IsUnsignedEnumeration);
    }
}

void SetTypeRange(TIniPropInfo& info)
{
    const QMetaType type = info.Property.metaType();
    const int bits = type.sizeOf() * 8;
    if (bits >= 64) {
        info.Minimum = IsSigned(type) ? std::numeric_limits<qint64>::min() : 0;
        info.Maximum = IsSigned(type) ? std::numeric_limits<qint64>::max() : -1; // all bits set: unsigned bounds
        return;
    }
    info.Minimum = IsSigned(type) ? -(qint64(1) << (bits - 1)) : 0;
    info.Maximum = IsSigned(type) ? (qint64(1) << (bits - 1)) - 1 : (qint64(1) << bits) - 1;
}

TIniPropKind KindOf(const QMetaProperty& property)
{
    if (property.isFlagType())
        return TIniPropKind::Set;
    if (property.isEnumType())
        return TIniPropKind::Enumeration;
    const QMetaType type = property.metaType();
    switch (type.id()) {
    case QMetaType::Bool: return TIniPropKind::Enumeration;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort: return TIniPropKind::Integer;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar: return TIniPropKind::Char;
    case QMetaType::QChar:
    case QMetaType::Char16: return TIniPropKind::WideChar;
    case QMetaType::Double:
    case QMetaType::Float: return TIniPropKind::Float;
    case QMetaType::QByteArray: return TIniPropKind::String;
    case QMetaType::QString: return TIniPropKind::WideString;
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return TIniPropKind::Int64;
    case QMetaType::QStringList: return TIniPropKind::StringList;
    default: break;
    }
    return (type.flags() & QMetaType::PointerToQObject) ? TIniPropKind::Class : TIniPropKind::Other;
}

// The value of an enumeration name, letter case ignored.
std::optional<qint64> EnumValue(const TIniPropInfo& info, QStringView name)
{
    if (!info.Enum.isValid()) {
        if (name.compare(u"True", Qt::CaseInsensitive) == 0)
            return 1;
        if (name.compare(u"False", Qt::CaseInsensitive) == 0)
            return 0;
        return std::nullopt;
    }
    for (int i = 0; i < info.Enum.keyCount(); ++i)
        if (name.compare(QLatin1String(info.Enum.key(i)), Qt::CaseInsensitive) == 0)
            return info.Enum.value(i);
    return std::nullopt;
}

void SetEnumRange(TIniPropInfo& info)
{
    if (!info.Enum.isValid() || info.Enum.keyCount() == 0) {
        info.Minimum = 0;
        info.Maximum = 1;
        return;
    }
    info.Minimum = info.Maximum = info.Enum.value(0);
    for (int i = 1; i < info.Enum.keyCount(); ++i) {
        info.Minimum = std::min<qint64>(info.Minimum, info.Enum.value(i));
        info.Maximum = std::max<qint64>(info.Maximum, info.Enum.value(i));
    }
}

std::optional<qint64> ParseInteger(QStringView text, const TIniPropInfo& info)
{
    bool ok = false;
    const QStringView trimmed = text.trimmed();
    qint64 value = trimmed.toLongLong(&ok);
    if (!ok && info.Minimum >= info.Maximum)
        value = static_cast<qint64>(trimmed.toULongLong(&ok));
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

void ApplyDeclarations(const QMetaObject* meta, TIniPropInfo& info)
{
    const bool ordinal = info.IsOrdinal();
    const QString range = ClassInfo(meta, "Range", info.Property);
    if (ordinal && !range.isEmpty()) {
        const QStringList bounds = range.split(QStringLiteral(".."));
        if (bounds.size() == 2) {
            info.Minimum = bounds[0].trimmed().toLongLong();
            info.Maximum = bounds[1].trimmed().toLongLong();
        }
    }
    const QString declared = ClassInfo(meta, "Default", info.Property);
    if (info.Kind == TIniPropKind::Enumeration) {
        const std::optional<qint64> named = EnumValue(info, declared);
        info.Default = named ? *named : declared.toLongLong();
        if (declared.isEmpty())
            info.Default = info.Minimum;
    } else if (ordinal) {
        const std::optional<qint64> number = declared.isEmpty() ? std::nullopt : ParseInteger(declared, info);
        info.Default = number.value_or(kIniNoDefault);
    }
}

TIniPropInfo Describe(const QMetaObject* meta, const QMetaProperty& property)
{
    TIniPropInfo info;
    info.Property = property;
    info.Kind = KindOf(property);
    if (property.isEnumType())
        info.Enum = property.enumerator();
    if (info.Kind == TIniPropKind::Enumeration)
        SetEnumRange(info);
    else if (info.Kind == TIniPropKind::Char)
        info.Maximum = 255; // a character of the 8-bit code page, whatever the signedness of char
    else if (info.IsOrdinal())
        SetTypeRange(info);
    ApplyDeclarations(meta, info);
    return info;
}

qint64 ReadOrdinal(const QObject* object, const TIniPropInfo& info)
{
    const QVariant value = info.Property.read(object);
    const void* data = value.constData();
    const bool isSigned = IsSigned(info.Property.metaType());
    switch (info.Property.metaType().sizeOf()) {
    case 1: return isSigned ? *static_cast<const qint8*>(data) : *static_cast<const quint8*>(data);
    case 2: return isSigned ? *static_cast<const qint16*>(data) : *static_cast<const quint16*>(data);
    case 4: return isSigned ? *static_cast<const qint32*>(data) : *static_cast<const quint32*>(data);
    default: return *static_cast<const qint64*>(data);
    }
}

template<typename T>
void WriteRaw(QObject* object, const TIniPropInfo& info, qint64 value)
{
    const T raw = static_cast<T>(value);
    info.Property.write(object, QVariant(info.Property.metaType(), &raw));
}

void WriteOrdinal(QObject* object, const TIniPropInfo& info, qint64 value)
{
    if (info.Property.metaType().id() == QMetaType::Bool) {
        info.Property.write(object, QVariant(value != 0));
        return;
    }
    switch (info.Property.metaType().sizeOf()) {
    case 1: WriteRaw<quint8>(object, info, value); break;
    case 2: WriteRaw<quint16>(object, info, value); break;
    case 4: WriteRaw<quint32>(object, info, value); break;
    default: WriteRaw<quint64>(object, info, value); break;
    }
}

QString EnumText(const TIniPropInfo& info, qint64 value)
{
    if (!info.Enum.isValid())
        return value ? QStringLiteral("True") : QStringLiteral("False");
    return QString::fromLatin1(info.Enum.valueToKey(static_cast<int>(value)));
}

QString SetText(const TIniPropInfo& info, qint64 value)
{
    return QString::fromLatin1(info.Enum.valueToKeys(static_cast<int>(value))).replace(QLatin1Char('|'), QLatin1Char(','));
}

// Element names joined by commas; a name that is not an element gives the empty set.
qint64 SetFromText(const TIniPropInfo& info, const QString& text)
{
    qint64 result = 0;
    for (const QString& name : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<qint64> element = EnumValue(info, name.trimmed());
        if (!element)
            return 0;
        result |= *element;
    }
    return result;
}

// Numbers are stored in the C locale's form ("1234567.5"), so that a
// settings file reads the same whatever the user's locale.
QString FloatText(double value)
{
    return QLocale::c().toString(value, 'g', 15);
}

double FloatFromText(const QString& text)
{
    QLocale portable = QLocale::c();
    // "1,5" is not fifteen: a comma is never taken as a group separator here.
    portable.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = portable.toDouble(text.trimmed(), &ok);
    if (ok)
        return value;
    // Earlier versions wrote the user's locale's form ("1.234.567,5").
    const double local = QLocale().toDouble(text.trimmed(), &ok);
    return ok ? local : 0.0;
}

// The ordinal a non-empty stored text stands for, before the range check.
std::optional<qint64> OrdinalFromText(const TIniPropInfo& info, const QString& text)
{
    switch (info.Kind) {
    case TIniPropKind::Char: return text.at(0).unicode();
    case TIniPropKind::Enumeration: return EnumValue(info, text.trimmed()).value_or(-1);
    default: return ParseInteger(text, info);
    }
}

void OrdinalPropertyFromText(QObject* object, const TIniPropInfo& info, const QString& text)
{
    if (info.Kind == TIniPropKind::Set) {
        WriteOrdinal(object, info, SetFromText(info, text));
        return;
    }
    qint64 value = info.Default;
    if (!text.isEmpty()) {
        const std::optional<qint64> parsed = OrdinalFromText(info, text);
        if (parsed && info.InRange(*parsed))
            value = *parsed;
    }
    WriteOrdinal(object, info, value);
}

} // namespace

bool TIniPropInfo::IsOrdinal() const
{
    switch (Kind) {
    case TIniPropKind::Integer:
    case TIniPropKind::Char:
    case TIniPropKind::WideChar:
    case TIniPropKind::Enumeration:
    case TIniPropKind::Set:
    case TIniPropKind::Int64: return true;
    default: return false;
    }
}

bool TIniPropInfo::InRange(qint64 value) const
{
    if (Minimum < Maximum)
        return value >= Minimum && value <= Maximum;
    const auto unsignedValue = static_cast<quint64>(value);
    return unsignedValue >= static_cast<quint64>(Minimum) && unsignedValue <= static_cast<quint64>(Maximum);
}

std::vector<TIniPropInfo> IniPropertiesOf(const QObject* object)
{
    std::vector<TIniPropInfo> result;
    if (!object)
        return result;
    const QMetaObject* meta = object->metaObject();
    for (int i = FirstOwnProperty(meta); i < meta->propertyCount(); ++i)
        result.push_back(Describe(meta, meta->property(i)));
    return result;
}

std::optional<TIniPropInfo> FindIniProperty(const QObject* object, const QString& name)
{
    if (!object || name.isEmpty())
        return std::nullopt;
    const QMetaObject* meta = object->metaObject();
    for (int i = FirstOwnProperty(meta); i < meta->propertyCount(); ++i)
        if (name.compare(QLatin1String(meta->property(i).name()), Qt::CaseInsensitive) == 0)
            return Describe(meta, meta->property(i));
    return std::nullopt;
}

QString PropertyToText(const QObject* object, const TIniPropInfo& info)
{
    switch (info.Kind) {
    case TIniPropKind::Integer:
    case TIniPropKind::WideChar:
    case TIniPropKind::Int64: {
        const qint64 value = ReadOrdinal(object, info);
        return info.Minimum < info.Maximum ? QString::number(value) : QString::number(static_cast<quint64>(value));
    }
    case TIniPropKind::Char: return QString(QChar(static_cast<char16_t>(ReadOrdinal(object, info) & 0xFF)));
    case TIniPropKind::Enumeration: return EnumText(info, ReadOrdinal(object, info));
    case TIniPropKind::Set: return SetText(info, ReadOrdinal(object, info));
    case TIniPropKind::Float: return FloatText(info.Property.read(object).toDouble());
    case TIniPropKind::String: return DecodeSystemText(info.Property.read(object).toByteArray());
    case TIniPropKind::WideString: return info.Property.read(object).toString();
    default: return {};
    }
}

void PropertyFromText(QObject* object, const TIniPropInfo& info, const QString& text)
{
    if (info.IsOrdinal()) {
        OrdinalPropertyFromText(object, info, text);
        return;
    }
    switch (info.Kind) {
    case TIniPropKind::Float: info.Property.write(object, QVariant(FloatFromText(text))); break;
    case TIniPropKind::String: info.Property.write(object, QVariant(EncodeSystemText(text))); break;
    case TIniPropKind::WideString: info.Property.write(object, QVariant(text)); break;
    default: break;
    }
}

QString PropertyText(const QObject* object, const QString& name)
{
    const std::optional<TIniPropInfo> info = FindIniProperty(object, name);
    return info ? PropertyToText(object, *info) : QString();
}

void SetPropertyText(QObject* object, const QString& name, const QString& text)
{
    if (const std::optional<TIniPropInfo> info = FindIniProperty(object, name))
        PropertyFromText(object, *info, text);
}

qint64 OrdPropertyByName(const QObject* object, const QString& name)
{
    const std::optional<TIniPropInfo> info = FindIniProperty(object, name);
    if (!info)
        throw EPropertyError(QStringLiteral("Property %1 does not exist").arg(name));
    return info->IsOrdinal() ? ReadOrdinal(object, *info) : 0;
}
