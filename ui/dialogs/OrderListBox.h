#pragma once

#include "ui/VarControls.h"
#include "ui/actions/EditInterfaces.h"

#include <functional>
#include <iterator>
#include <utility>

// A list box that shows an ordered list held by a data object and passes
// the user's edits to it. It offers IOrderInterface itself, so the list-box
// actions and buttons act on it; a request the data object does not
// support is ignored. Without a data object it is empty and can do nothing.
class TOrderListBox : public TVarListBox, public IOrderInterface
{
    Q_OBJECT
public:
    explicit TOrderListBox(QWidget* parent = nullptr);

    [[nodiscard]] IOrderInterface* DataObject() const { return FData; }
    // Shows the object's list (refilled at once).
    void SetDataObject(IOrderInterface* data);

    // Rebuilds the rows from the list, keeping the selected row where it
    // was (clamped to the new rows; nothing selected when empty).
    virtual void Refill();
    // Whether the data object supports the operation (TOrderKind).
    [[nodiscard]] virtual bool CanDo(int kind) const;

    [[nodiscard]] bool Supports(int kind) const override { return CanDo(kind); }
    [[nodiscard]] bool CanAdd() const override;
    void Add() override;
    [[nodiscard]] bool CanDelete(int index) const override;
    void Delete(int index) override;
    // Moves the entry and its row, and selects the row it moved to.
    void Move(int from, int to) override;
    void Load(int index) override { RunAndRefill(okLoad, index); }
    void Save(int index) override { RunAndRefill(okSave, index); }
    void Properties(int index) override { RunAndRefill(okProperty, index); }
    void SetDefault(int index) override { RunAndRefill(okMakeDefault, index); }
    [[nodiscard]] int Count() const override;
    [[nodiscard]] QString Text(int index) const override;

protected:
    // Moves the shown row; the data has moved already.
    void MoveRow(int from, int to);

private:
    void RunAndRefill(TOrderKind kind, int index);

    IOrderInterface* FData = nullptr;
};

// An ordered list box over a plain list of the caller's (any container
// with size(), operator[], begin(), insert() and erase()). The rows are
// the texts that OnText gives for the entries; the list can be reordered
// and entries deleted, which OnDelete carries out.
class TListBoxForList : public TOrderListBox
{
    Q_OBJECT
public:
    explicit TListBoxForList(QWidget* parent = nullptr);

    template<typename TList>
    void SetList(TList* list)
    {
        SetListOperations([list] { return static_cast<int>(list->size()); },
                          [list](int from, int to) {
                              auto entry = std::move((*list)[from]);
                              list->erase(std::next(list->begin(), from));
                              list->insert(std::next(list->begin(), to), std::move(entry));
                          });
    }
    // The same for a list that keeps its entries to itself: its size, and
    // how it moves entry `from` to position `to`.
    void SetListOperations(std::function<int()> count, std::function<void(int from, int to)> move);

    // The text of entry i.
    std::function<QString(int index)> OnText;
    // Removes entry i from the list (the caller's own rules apply).
    std::function<void(int index)> OnDelete;

    [[nodiscard]] bool CanDo(int kind) const override;
    [[nodiscard]] bool CanAdd() const override { return false; }
    void Add() override {}
    [[nodiscard]] bool CanDelete(int index) const override;
    void Delete(int index) override;
    void Move(int from, int to) override;
    [[nodiscard]] int Count() const override;
    [[nodiscard]] QString Text(int index) const override;

private:
    std::function<int()> FListCount;
    std::function<void(int from, int to)> FListMove;
};
