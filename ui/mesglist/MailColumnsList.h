#pragma once

#include "base/Exception.h"
#include "settings/IniPersistent.h"
#include "ui/actions/EditInterfaces.h"

#include <QString>

#include <vector>

// Misuse of a column list: a position it does not have.
class EListError : public Exception
{
public:
    using Exception::Exception;

    // "List index out of bounds (%d)" with the position.
    [[nodiscard]] static EListError IndexError(int index);
};

// The columns of a message list: distinct message fields (TMailColumnType)
// in display order. The fields not in the list are its hidden fields.
//
// It is filed in the current section of a settings pass: "ColumnsCount"
// and one key "Column<position>" per column holding the field's name
// ("mcSubject" ... "mcFlagged"). A count that is missing, not a number or
// not above 0 leaves the columns as they are; an unknown name reads as the
// subject, and a field named twice is listed once.
//
// The column dialog edits it as an ordered list (IOrderInterface): add
// appends the first hidden field, delete removes a column, move reorders.
class TMailColumnsList : public TIniComponent, public IOrderInterface
{
    Q_OBJECT
public:
    // Subject, from name, from address.
    explicit TMailColumnsList(QObject* owner = nullptr);

    // Takes the other list's columns.
    void Assign(const TMailColumnsList& other);
    // The columns at once; unknown and repeated fields are left out.
    void SetFields(const std::vector<int>& fields);
    [[nodiscard]] std::vector<int> Fields() const;

    // The field at a position; EListError for a position out of range.
    [[nodiscard]] int Field(int position) const;
    // Appends the field unless it is listed; returns its position.
    int AddField(int field);
    [[nodiscard]] int IndexOfField(int field) const;
    // Puts the field at the position (0 ... Count()), moving it there when
    // it is listed elsewhere.
    void InsertField(int position, int field);
    void MoveField(int from, int to);
    void DeleteField(int position);

    [[nodiscard]] int HiddenCount() const;
    // The index-th field, in field order, that is not listed.
    [[nodiscard]] int HiddenField(int index) const;
    void AddFirstHidden();

    // The subject, the names and the addresses are text fields.
    [[nodiscard]] static bool IsTextField(int field);
    // True for the first position that holds a text field.
    [[nodiscard]] bool IsFirstTextColumn(int position) const;
    [[nodiscard]] bool HasTextColumn() const;
    // The field's caption at the position, the icon fields' included.
    [[nodiscard]] QString Caption(int position) const;

    // "mcSubject" ... "mcFlagged"; the field of a name (letter case
    // ignored), the subject for a name it does not know.
    [[nodiscard]] static QString FieldName(int field);
    [[nodiscard]] static int FieldOfName(const QString& name);

    void DefineIniProperties(TIniFiler& filer) override;

    // ---- IOrderInterface
    [[nodiscard]] bool Supports(int kind) const override;
    [[nodiscard]] bool CanAdd() const override { return HiddenCount() > 0; }
    void Add() override { AddFirstHidden(); }
    [[nodiscard]] bool CanDelete(int index) const override { return index >= 0 && index < Count(); }
    void Delete(int index) override { DeleteField(index); }
    void Move(int from, int to) override { MoveField(from, to); }
    void Load(int) override {}
    void Save(int) override {}
    void Properties(int) override {}
    void SetDefault(int) override {}
    [[nodiscard]] int Count() const override { return static_cast<int>(FFields.size()); }
    [[nodiscard]] QString Text(int index) const override { return Caption(index); }

Q_SIGNALS:
    // The columns changed.
    void Changed();

private:
    void CheckPosition(int position, int limit) const;
    void Replace(std::vector<unsigned char> fields);

    std::vector<unsigned char> FFields;
};
