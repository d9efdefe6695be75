#include "settings/IniPersistent.h"

#include "settings/IniPropInfo.h"

#include <QMetaProperty>
#include <QVariant>

void TIniHooks::DefineIniProperties(TIniFiler&)
{
}

QString ClassSectionName(const QObject* object)
{
    return QString::fromLatin1(object->metaObject()->className()).mid(1);
}

TIniPersistent::TIniPersistent(QObject* parent)
    : QObject(parent)
{
}

QString TIniPersistent::GetSectionName() const
{
    return ClassSectionName(this);
}

TIniComponent::TIniComponent(QObject* owner)
    : QObject(owner)
{
}

QString TIniComponent::GetSectionName() const
{
    return ClassSectionName(this);
}

TIniCollectionItem::TIniCollectionItem() = default;

int TIniCollectionItem::Index() const
{
    return FCollection ? FCollection->IndexOf(this) : -1;
}

QString TIniCollectionItem::GetSectionName() const
{
    const int index = Index();
    if (index < 0)
        return TIniPersistent::GetSectionName();
    return QStringLiteral("%1\\%2").arg(FCollection->GetSectionName()).arg(index);
}

TIniCollection::TIniCollection(const QMetaObject& itemClass, QObject* owner)
    : TIniPersistent(owner)
    , FItemClass(itemClass)
{
}

TIniCollection::~TIniCollection()
{
    for (TIniCollectionItem* item : FItems)
        delete item;
}

TIniCollectionItem* TIniCollection::Item(int index) const
{
    return (index >= 0 && index < Count()) ? FItems[static_cast<size_t>(index)] : nullptr;
}

int TIniCollection::IndexOf(const TIniCollectionItem* item) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == item)
            return static_cast<int>(i);
    return -1;
}

TIniCollectionItem* TIniCollection::Add()
{
    QObject* created = FItemClass.newInstance();
    auto* item = qobject_cast<TIniCollectionItem*>(created);
    if (!item) {
        delete created;
        return nullptr;
    }
    item->FCollection = this;
    FItems.push_back(item);
    NotifyChanged();
    return item;
}

void TIniCollection::Delete(int index)
{
    TIniCollectionItem* item = Item(index);
    if (!item)
        return;
    if (item == FDefaultItem)
        FDefaultItem = nullptr;
    FItems.erase(FItems.begin() + index);
    delete item;
    NotifyChanged();
}

void TIniCollection::Clear()
{
    BeginUpdate();
    while (Count() > 0)
        Delete(Count() - 1);
    EndUpdate();
}

void TIniCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TIniCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedInUpdate) {
        FChangedInUpdate = false;
        Q_EMIT Changed();
    }
}

void TIniCollection::NotifyChanged()
{
    if (Updating())
        FChangedInUpdate = true;
    else
        Q_EMIT Changed();
}

int TIniCollection::DefaultItemIndex() const
{
    if (FItems.empty() || !FDefaultItem)
        return 0;
    return IndexOf(FDefaultItem);
}

void TIniCollection::SetDefaultItemIndex(int index)
{
    if (index != DefaultItemIndex() && index >= 0 && index < Count())
        FDefaultItem = Item(index);
}

QString TIniCollection::GetSectionName() const
{
    QObject* owner = parent();
    QString name;
    if (owner) {
        for (const TIniPropInfo& info : IniPropertiesOf(owner))
            if (info.Kind == TIniPropKind::Class && info.Property.read(owner).value<QObject*>() == this) {
                name = info.Name();
                break;
            }
    }
    if (auto* item = qobject_cast<TIniCollectionItem*>(owner); item && !name.isEmpty())
        return QStringLiteral("%1\\%2").arg(item->GetSectionName(), name);
    return name.isEmpty() ? ClassSectionName(this) : name;
}
