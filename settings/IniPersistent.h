#pragma once

#include <QObject>
#include <QString>

#include <vector>

class TIniFiler;

// The two operations through which an object takes part in a filer pass
// beyond its published properties.
class TIniHooks
{
public:
    virtual ~TIniHooks() = default;
    // The section the object is filed in.
    [[nodiscard]] virtual QString GetSectionName() const = 0;
    // Files extra values in the current section; `filer.Loading()` tells the
    // direction.
    virtual void DefineIniProperties(TIniFiler& filer);
};

// The filing interface for classes that derive from neither base below:
// one operation that takes the filer (the loading flag is set on it).
class TIniFilable
{
public:
    virtual ~TIniFilable() = default;
    virtual void FileIni(TIniFiler& filer) = 0;
};

// Other classes can also publish the methods by name:
//     Q_INVOKABLE void DefineIniProperties(TIniFiler* filer, bool loading);
//     Q_INVOKABLE QString GetSectionName() const;

// The class name without its first letter ("TOEFavorites" gives "OEFavorites").
[[nodiscard]] QString ClassSectionName(const QObject* object);

// A persistent object that is not a component: all of its published
// properties may persist, "Tag" and "Hint" included.
class TIniPersistent : public QObject, public TIniHooks
{
    Q_OBJECT
public:
    explicit TIniPersistent(QObject* parent = nullptr);
    [[nodiscard]] QString GetSectionName() const override;
};

// A component: its "Tag", "Hint" and "SkinData" properties never persist.
class TIniComponent : public QObject, public TIniHooks
{
    Q_OBJECT
public:
    explicit TIniComponent(QObject* owner = nullptr);
    [[nodiscard]] QString GetSectionName() const override;
};

class TIniCollection;

// One item of a TIniCollection. Item classes need an invokable
// constructor without arguments, through which loading creates them.
class TIniCollectionItem : public TIniPersistent
{
    Q_OBJECT
    Q_PROPERTY(QString ItemName READ ItemName WRITE SetItemName)
public:
    Q_INVOKABLE TIniCollectionItem();

    [[nodiscard]] const QString& ItemName() const { return FItemName; }
    void SetItemName(const QString& name) { FItemName = name; }

    [[nodiscard]] TIniCollection* Collection() const { return FCollection; }
    // The position in the collection, -1 without one.
    [[nodiscard]] int Index() const;
    // "<collection section>\<index>".
    [[nodiscard]] QString GetSectionName() const override;

private:
    friend class TIniCollection;
    TIniCollection* FCollection = nullptr;
    QString FItemName;
};

// An owned, ordered collection of items of one class. Published under a
// class-typed property of its owner (its QObject parent), it is filed in a
// section named after that property: the count in "Count", each item in
// "<section>\<index>".
class TIniCollection : public TIniPersistent
{
    Q_OBJECT
    Q_PROPERTY(int DefaultItemIndex READ DefaultItemIndex WRITE SetDefaultItemIndex)
    Q_CLASSINFO("Default:DefaultItemIndex", "0")
public:
    TIniCollection(const QMetaObject& itemClass, QObject* owner);
    ~TIniCollection() override;

    [[nodiscard]] int Count() const { return static_cast<int>(FItems.size()); }
    [[nodiscard]] TIniCollectionItem* Item(int index) const;
    [[nodiscard]] int IndexOf(const TIniCollectionItem* item) const;
    // Appends a new item of the collection's item class.
    TIniCollectionItem* Add();
    void Delete(int index);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    [[nodiscard]] bool Updating() const { return FUpdateCount > 0; }

    // 0 when empty; else the default item's index (item 0 without one).
    [[nodiscard]] int DefaultItemIndex() const;
    // Another index inside [0, count - 1] makes that item the default;
    // other values are ignored.
    void SetDefaultItemIndex(int index);
    [[nodiscard]] TIniCollectionItem* DefaultItem() const { return FDefaultItem; }

    // The name of the owner's property that holds this collection; under a
    // collection item, "<item section>\<property name>".
    [[nodiscard]] QString GetSectionName() const override;

Q_SIGNALS:
    // After a change outside an update, and at the end of an update.
    void Changed();

private:
    void NotifyChanged();

    const QMetaObject& FItemClass;
    std::vector<TIniCollectionItem*> FItems; // owned
    TIniCollectionItem* FDefaultItem = nullptr;
    int FUpdateCount = 0;
    bool FChangedInUpdate = false;
};
