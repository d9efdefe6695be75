#pragma once

#include <QList>

class QAction;
class QObject;
class TOrderListAction;

// The shared action sets of the program's windows. Each action is named as
// the language file's "Menu" section knows it and takes its caption from
// there; shortcuts are the action classes' own.

// AEditUndo, AEditRedo, AEditCut, AEditCopy, AEditPaste, AEditDelete,
// AEditSelectAll, AEditFind, AEditSearchAgain.
[[nodiscard]] QList<QAction*> CreateEditActions(QObject* owner);
// AListBoxAdd, AListBoxDel, AListBoxSave, AListBoxLoad, AListBoxMoveUp,
// AListBoxMoveDown, AListBoxMakeDef, AListBoxProperty.
[[nodiscard]] QList<QAction*> CreateListBoxActions(QObject* owner);
// A new list-box action of that kind (TOrderKind), named and captioned as
// in the shared set; none for a kind without an action.
[[nodiscard]] TOrderListAction* CreateListBoxAction(int kind, QObject* owner);

// The caption of "Menu" named after the action (kept when the entry is missing).
void CaptionFromMenu(QAction* action);
// The action of the same class among the shared actions of the program
// (settings/UiHooks.h), or none.
[[nodiscard]] QAction* SharedActionLike(const QAction& action);
