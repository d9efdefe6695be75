#pragma once

#include <QMetaEnum>
#include <QMetaProperty>
#include <QString>

#include <optional>
#include <vector>

class QObject;

// The description of one published property, as the filer and the bound
// controls use it. It comes from Qt's meta-object system: the
// Q_PROPERTY declarations (READ, WRITE, STORED), Q_ENUM / Q_FLAG for value
// names, and two class-info entries per property where needed, declared
// once next to the property:
//
//     Q_CLASSINFO("Default:FindDown", "True")        the declared default
//     Q_CLASSINFO("Range:Level", "11..100")           an integer subrange
//
// A property without a declared default has the marker 0x80000000 as its
// default (enumerations: their first value). Properties declared by Qt's
// own classes (objectName and every widget property) never persist.

enum class TIniPropKind {
    Integer,     // int, uint, short, ushort
    Char,        // char: stored as the character itself
    WideChar,    // QChar: stored as its decimal code
    Enumeration, // bool and Q_ENUM types: stored as the value's name
    Float,       // double, float
    String,      // QByteArray: 8-bit text in the system code page
    WideString,  // QString
    Set,         // Q_FLAG types: names joined by commas
    Int64,       // qint64, quint64, long
    StringList,  // QStringList: one key per line
    Class,       // a pointer to a QObject: filed in its own section
    Other        // never persists
};

struct TIniPropInfo
{
    QMetaProperty Property;
    TIniPropKind Kind = TIniPropKind::Other;
    qint64 Default = 0;
    qint64 Minimum = 0;
    qint64 Maximum = 0;
    QMetaEnum Enum; // for enumerations and sets; invalid for bool

    [[nodiscard]] QString Name() const { return QString::fromLatin1(Property.name()); }
    [[nodiscard]] bool IsOrdinal() const;
    // A value inside [Minimum, Maximum]; the bounds compare as unsigned
    // numbers when Minimum is not below Maximum.
    [[nodiscard]] bool InRange(qint64 value) const;
};

constexpr qint64 kIniNoDefault = 0x80000000LL;

// The properties of the object's class that may persist, inherited first,
// in declaration order.
[[nodiscard]] std::vector<TIniPropInfo> IniPropertiesOf(const QObject* object);
// The property of that name (letter case ignored), if the class has one.
[[nodiscard]] std::optional<TIniPropInfo> FindIniProperty(const QObject* object, const QString& name);

// The text form of a value-kind property (the stored form); empty for
// class and string-list properties.
[[nodiscard]] QString PropertyToText(const QObject* object, const TIniPropInfo& info);
// Sets a value-kind property from its stored form: empty text gives the
// declared default (empty for texts, 0 for floats); text that does not
// convert gives the default; ordinals outside their range give the default.
void PropertyFromText(QObject* object, const TIniPropInfo& info, const QString& text);

// The text of the named property, for bound controls; empty for an unknown name.
[[nodiscard]] QString PropertyText(const QObject* object, const QString& name);
// Sets the named property from text; an unknown name does nothing.
void SetPropertyText(QObject* object, const QString& name, const QString& text);
// The ordinal value of the named property; raises EPropertyError
// "Property %s does not exist" for an unknown name.
[[nodiscard]] qint64 OrdPropertyByName(const QObject* object, const QString& name);
