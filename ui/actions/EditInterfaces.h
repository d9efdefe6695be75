#pragma once

#include <QString>
#include <QWidget>

// What a control can be asked by the edit, find and list actions. An
// action does not know the control it acts on: it asks the focused control
// (or a control fixed to it) for one of these interfaces, and the control
// answers whether the operation is possible now and carries it out.

// Clipboard and selection operations of a text control.
class ITextEditInterface
{
public:
    virtual ~ITextEditInterface() = default;
    [[nodiscard]] virtual bool CanCopy() const = 0;
    virtual void Copy() = 0;
    [[nodiscard]] virtual bool CanCut() const = 0;
    virtual void Cut() = 0;
    [[nodiscard]] virtual bool CanPaste() const = 0;
    virtual void Paste() = 0;
    [[nodiscard]] virtual bool CanDelete() const = 0;
    // Removes the selection.
    virtual void Delete() = 0;
    [[nodiscard]] virtual bool CanSelectAll() const = 0;
    virtual void SelectAll() = 0;
};

class IUndoInterface
{
public:
    virtual ~IUndoInterface() = default;
    [[nodiscard]] virtual bool CanUndo() const = 0;
    virtual void Undo() = 0;
    [[nodiscard]] virtual bool CanRedo() const = 0;
    virtual void Redo() = 0;
};

// Searching inside a control. Both find actions are enabled by
// CanSearchAgain; CanFind is asked where only opening the dialog matters.
class IFindInterface
{
public:
    virtual ~IFindInterface() = default;
    [[nodiscard]] virtual bool CanFind() const = 0;
    // Asks for the text, then searches.
    virtual void Find() = 0;
    [[nodiscard]] virtual bool CanSearchAgain() const = 0;
    // Searches for the last text again; asks first when there is none.
    virtual void SearchAgain() = 0;
};

// The operations an ordered list can support, as Supports is asked for them.
enum TOrderKind : int {
    okAdd = 0,
    okDelete = 1,
    okMoveDown = 2,
    okMoveUp = 3,
    okLoad = 4,
    okSave = 5,
    okMakeDefault = 7,
    okProperty = 8,
};

// An ordered list of texts that the user edits through a list box, its
// buttons and the list-box actions. The object that owns the data
// implements it; indices are rows of the list.
class IOrderInterface
{
public:
    virtual ~IOrderInterface() = default;
    [[nodiscard]] virtual bool Supports(int kind) const = 0;
    [[nodiscard]] virtual bool CanAdd() const = 0;
    virtual void Add() = 0;
    [[nodiscard]] virtual bool CanDelete(int index) const = 0;
    virtual void Delete(int index) = 0;
    virtual void Move(int from, int to) = 0;
    virtual void Load(int index) = 0;
    virtual void Save(int index) = 0;
    virtual void Properties(int index) = 0;
    virtual void SetDefault(int index) = 0;
    [[nodiscard]] virtual int Count() const = 0;
    [[nodiscard]] virtual QString Text(int index) const = 0;
};

// The interface a control offers, or none.
template<typename TInterface>
[[nodiscard]] TInterface* InterfaceOf(QWidget* control)
{
    return dynamic_cast<TInterface*>(control);
}
