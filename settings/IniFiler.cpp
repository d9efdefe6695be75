#include "settings/IniFiler.h"

#include "settings/IniPersistent.h"

#include "base/Exception.h"
#include "base/ScopedBatch.h"

#include <QMetaMethod>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <algorithm>

namespace {

// Ends a collection update on the way out.
using TUpdateGuard = TScopedBatch<TIniCollection, &TIniCollection::BeginUpdate, &TIniCollection::EndUpdate>;

bool IsComponent(const QObject* object)
{
    return !qobject_cast<const TIniPersistent*>(object);
}

// Names that a component never persists.
bool NeverPersists(const QString& name)
{
    for (const char* excluded : {"Tag", "Hint", "SkinData"})
        if (name.compare(QLatin1String(excluded), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool MayFileValue(const TIniPropInfo& info)
{
    return info.Property.isReadable() && info.Property.isWritable() && info.Property.isStored();
}

QMetaMethod PublishedMethod(const QObject* object, const char* signature)
{
    const QMetaObject* meta = object->metaObject();
    const int index = meta->indexOfMethod(signature);
    return index < 0 ? QMetaMethod() : meta->method(index);
}

} // namespace

QString IniSectionName(const QObject* object)
{
    QString name;
    if (const auto* hooks = dynamic_cast<const TIniHooks*>(object)) {
        name = hooks->GetSectionName();
    } else if (const QMetaMethod method = PublishedMethod(object, "GetSectionName()"); method.isValid()) {
        method.invoke(const_cast<QObject*>(object), Qt::DirectConnection, Q_RETURN_ARG(QString, name));
    }
    return name.isEmpty() ? ClassSectionName(object) : name;
}

TIniFiler::TIniFiler(std::unique_ptr<TSettingsStore> store)
    : FIniFile(std::move(store))
{
}

std::unique_ptr<TIniFiler> TIniFiler::OverFile(const QString& path)
{
    return std::make_unique<TIniFiler>(std::make_unique<TIniFileStore>(path));
}

std::unique_ptr<TIniFiler> TIniFiler::OverRegistryKey(const QString& keyPath)
{
    return std::make_unique<TIniFiler>(std::make_unique<TRegistryStore>(keyPath));
}

TIniFiler::~TIniFiler() = default;

QString TIniFiler::ReadValue(const QString& key)
{
    try {
        return FIniFile->ReadString(FSection, key, QString());
    } catch (const Exception&) {
        return {};
    }
}

void TIniFiler::WriteValue(const QString& key, const QString& text)
{
    try {
        FIniFile->WriteString(FSection, key, text);
    } catch (const Exception&) {
        FIniFile->DeleteKey(FSection, key);
        FIniFile->WriteString(FSection, key, text);
    }
}

int TIniFiler::ReadInt(const QString& key)
{
    bool ok = false;
    const int value = ReadValue(key).trimmed().toInt(&ok);
    return ok ? value : 0;
}

void TIniFiler::WriteInt(const QString& key, int value)
{
    WriteValue(key, QString::number(value));
}

void TIniFiler::LoadObject(QObject* object)
{
    FileObject(object, true);
}

void TIniFiler::SaveObject(QObject* object)
{
    FileObject(object, false);
}

void TIniFiler::FileObject(QObject* object, bool loading)
{
    if (!object)
        return;
    if (auto* collection = qobject_cast<TIniCollection*>(object)) {
        FileCollection(collection, loading);
        return;
    }
    TIniSectionGuard guard(*this);
    FSection = IniSectionName(object);
    FileProperties(object, loading);
}

void TIniFiler::FileProperties(QObject* object, bool loading)
{
    if (!object)
        return;
    for (const TIniPropInfo& info : IniPropertiesOf(object))
        FileProperty(object, info, loading);
    RunHook(object, loading);
}

void TIniFiler::RunHook(QObject* object, bool loading)
{
    // Hooks tell the direction by the filer's flag, so it must match the pass.
    FLoading = loading;
    if (auto* hooks = dynamic_cast<TIniHooks*>(object)) {
        hooks->DefineIniProperties(*this);
    } else if (auto* filable = dynamic_cast<TIniFilable*>(object)) {
        filable->FileIni(*this);
    } else if (const QMetaMethod method = PublishedMethod(object, "DefineIniProperties(TIniFiler*,bool)");
               method.isValid()) {
        method.invoke(object, Qt::DirectConnection, Q_ARG(TIniFiler*, this), Q_ARG(bool, loading));
    }
}

void TIniFiler::FileProperty(QObject* object, const TIniPropInfo& info, bool loading)
{
    if (!object || (IsComponent(object) && NeverPersists(info.Name())))
        return;
    switch (info.Kind) {
    case TIniPropKind::Other:
        return;
    case TIniPropKind::Class:
        if (info.Property.isReadable() && info.Property.isStored()) {
            FPrefix = info.Name();
            FileObject(info.Property.read(object).value<QObject*>(), loading);
        }
        return;
    case TIniPropKind::StringList:
        if (MayFileValue(info))
            FileStringList(object, info, loading);
        return;
    default:
        if (!MayFileValue(info))
            return;
        if (loading)
            PropertyFromText(object, info, ReadValue(info.Name()));
        else
            WriteValue(info.Name(), PropertyToText(object, info));
        return;
    }
}

void TIniFiler::FileStringList(QObject* object, const TIniPropInfo& info, bool loading)
{
    FPrefix = info.Name();
    const QString countKey = FPrefix + QStringLiteral("Count");
    const auto lineKey = [this](int i) { return FPrefix + QString::number(i); };
    if (!loading) {
        const QStringList lines = info.Property.read(object).toStringList();
        WriteInt(countKey, static_cast<int>(lines.size()));
        for (int i = 0; i < lines.size(); ++i)
            WriteValue(lineKey(i), lines[i]);
        return;
    }
    // A damaged count never makes the pass read more keys than the section holds.
    const int count = std::min(ReadInt(countKey), static_cast<int>(FIniFile->KeyNames(FSection).size()));
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(ReadValue(lineKey(i)));
    info.Property.write(object, QVariant(lines));
}

void TIniFiler::FileCollection(TIniCollection* collection, bool loading)
{
    TIniSectionGuard guard(*this);
    const QString section = IniSectionName(collection);
    FSection = section;
    if (!loading) {
        FIniFile->WriteInteger(section, QStringLiteral("Count"), collection->Count());
        FileProperties(collection, false);
        for (int i = 0; i < collection->Count(); ++i)
            FileObject(collection->Item(i), false);
        return;
    }
    TUpdateGuard update(*collection);
    // Every item has a section of its own, so a damaged count is bounded by them.
    const int count = std::min(FIniFile->ReadInteger(section, QStringLiteral("Count"), 0), FIniFile->SectionCount());
    for (int i = 0; i < count; ++i)
        FileObject(collection->Add(), true);
    FSection = section;
    FileProperties(collection, true);
}

void TIniFiler::DefineProperty(QObject* object, const QString& name, std::optional<bool> loading)
{
    if (const std::optional<TIniPropInfo> info = FindIniProperty(object, name))
        FileProperty(object, *info, loading.value_or(FLoading));
}

void TIniFiler::Commit()
{
    FIniFile->Flush(!FLoading);
}
