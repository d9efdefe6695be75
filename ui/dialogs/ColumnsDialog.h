#pragma once

#include "ui/dialogs/Dialog.h"
#include "ui/dialogs/OrderListBox.h"

#include <QPointer>

class TMailColumnsList;
class TMesgListView;
class TOrderButtons;

// The list box of the column dialog: the columns of a column list, in
// order, beside a plain list box of the fields that are not shown. Add
// appends the field selected in that box.
class TMesgColListBox : public TOrderListBox
{
    Q_OBJECT
public:
    explicit TMesgColListBox(QWidget* parent = nullptr);

    // The box of the fields not shown; refilled with this one.
    void SetHiddenBox(QListWidget* box);

    void Refill() override;
    // A field is selected in the box of the others.
    [[nodiscard]] bool CanAdd() const override;
    // Appends that field and selects its new row.
    void Add() override;

private:
    [[nodiscard]] TMailColumnsList* Columns() const;

    QPointer<QListWidget> FHidden;
};

// The column dialog: edits a working copy of a message list's columns and
// gives them to the list on OK. At least one text column (subject, names,
// addresses) must stay; without one, OK explains that and the dialog stays.
class TColumnsDialog : public TDialog
{
    Q_OBJECT
public:
    explicit TColumnsDialog(TMesgListView& list);
    ~TColumnsDialog() override;

    [[nodiscard]] TMesgColListBox* ShownBox() const { return FShown; }
    [[nodiscard]] TVarListBox* HiddenBox() const { return FHidden; }
    [[nodiscard]] TOrderButtons* Buttons() const { return FButtons; }
    [[nodiscard]] TMailColumnsList& WorkingCopy() const { return *FCopy; }

    // Runs the dialog; true when the list took the new columns.
    bool Execute();

protected:
    [[nodiscard]] bool ValidateDialog() override;

private:
    TMesgListView& FList;
    TMailColumnsList* FCopy;
    TMesgColListBox* FShown = nullptr;
    TVarListBox* FHidden = nullptr;
    TOrderButtons* FButtons = nullptr;
};
