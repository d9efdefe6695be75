#pragma once

#include "ui/actions/EditInterfaces.h"
#include "ui/actions/TargetAction.h"

#include <functional>

// The row count, the selected row (-1 for none) and the selection of a
// list control: an item view (its current row) or a combo box.
[[nodiscard]] bool IsListControl(const QWidget* control);
[[nodiscard]] int ListCount(const QWidget* control);
[[nodiscard]] int ListIndex(const QWidget* control);
void SetListIndex(QWidget* control, int row);

// Moves the selection of a list one row: responsible for the fixed
// control, else for a focused list control. After moving, OnExecute runs.
class TNextPrevAction : public TTargetAction
{
    Q_OBJECT
public:
    TNextPrevAction(int step, QObject* parent);

    std::function<void()> OnExecute;

protected:
    [[nodiscard]] bool HandlesTarget(QWidget* target) const override;
    void UpdateTarget(QWidget* target) override;
    void ExecuteTarget(QWidget* target) override;

private:
    int FStep;
};

class TNextItemListAction : public TNextPrevAction
{
    Q_OBJECT
public:
    explicit TNextItemListAction(QObject* parent = nullptr);
};

class TPrevItemListAction : public TNextPrevAction
{
    Q_OBJECT
public:
    explicit TPrevItemListAction(QObject* parent = nullptr);
};

// Edits an ordered list: responsible for the fixed list box, else for the
// focused list control, when it offers IOrderInterface and is visible. An
// operation the list does not support hides the action.
class TOrderListAction : public TTargetAction
{
    Q_OBJECT
public:
    TOrderListAction(TOrderKind kind, QObject* parent);

    [[nodiscard]] TOrderKind Kind() const { return FKind; }
    // Raises EActionError for a control without IOrderInterface.
    void SetFixedControl(QWidget* control) override;

protected:
    [[nodiscard]] bool HandlesTarget(QWidget* target) const override;
    void UpdateTarget(QWidget* target) override;
    void ExecuteTarget(QWidget* target) override;

private:
    [[nodiscard]] bool CanRun(const IOrderInterface& list, int selected, int count) const;

    TOrderKind FKind;
};

class TAAddItemListBox : public TOrderListAction
{
    Q_OBJECT
public:
    explicit TAAddItemListBox(QObject* parent = nullptr);
};

class TADelItemListBox : public TOrderListAction
{
    Q_OBJECT
public:
    explicit TADelItemListBox(QObject* parent = nullptr);
};

class TAMoveDownItemLB : public TOrderListAction
{
    Q_OBJECT
public:
    explicit TAMoveDownItemLB(QObject* parent = nullptr);
};

class TAMoveUpItemLB : public TOrderListAction
{
    Q_OBJECT
public:
    explicit TAMoveUpItemLB(QObject* parent = nullptr);
};

class TALoadItemListBox : public TOrderListAction
{
    Q_OBJECT
public:
    explicit TALoadItemListBox(QObject* parent = nullptr);
};

class TASaveItemListBox : public TOrderListAction
{
    Q_OBJECT
public:
    explicit TASaveItemListBox(QObject* parent = nullptr);
};

class TAMakeDefItemListBox : public TOrderListAction
{
    Q_OBJECT
public:
    explicit TAMakeDefItemListBox(QObject* parent = nullptr);
};

class TAPropertyItemListBox : public TOrderListAction
{
    Q_OBJECT
public:
    explicit TAPropertyItemListBox(QObject* parent = nullptr);
};
