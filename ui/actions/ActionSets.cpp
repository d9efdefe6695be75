#include "ui/actions/ActionSets.h"

#include "settings/GlobStrings.h"
#include "settings/UiHooks.h"
#include "ui/actions/EditActions.h"
#include "ui/actions/ListActions.h"

#include <functional>

namespace {

template<typename TAction>
QAction* Make(QObject* owner)
{
    return new TAction(owner);
}

struct TActionEntry
{
    const char* Name;
    std::function<QAction*(QObject* owner)> Create;
};

const TActionEntry kEditActions[] = {
    {"AEditUndo", Make<TAEditUndo>},     {"AEditRedo", Make<TAEditRedo>},
    {"AEditCut", Make<TAEditCut>},       {"AEditCopy", Make<TAEditCopy>},
    {"AEditPaste", Make<TAEditPaste>},   {"AEditDelete", Make<TAEditDelete>},
    {"AEditSelectAll", Make<TAEditSelectAll>}, {"AEditFind", Make<TAEditFind>},
    {"AEditSearchAgain", Make<TAEditSearchAgain>},
};

struct TListBoxEntry
{
    int Kind;
    TActionEntry Action;
};

// In the order of the list box's pop-up menu.
const TListBoxEntry kListBoxActions[] = {
    {okAdd, {"AListBoxAdd", Make<TAAddItemListBox>}},
    {okDelete, {"AListBoxDel", Make<TADelItemListBox>}},
    {okSave, {"AListBoxSave", Make<TASaveItemListBox>}},
    {okLoad, {"AListBoxLoad", Make<TALoadItemListBox>}},
    {okMoveUp, {"AListBoxMoveUp", Make<TAMoveUpItemLB>}},
    {okMoveDown, {"AListBoxMoveDown", Make<TAMoveDownItemLB>}},
    {okMakeDefault, {"AListBoxMakeDef", Make<TAMakeDefItemListBox>}},
    {okProperty, {"AListBoxProperty", Make<TAPropertyItemListBox>}},
};

QAction* Create(const TActionEntry& entry, QObject* owner)
{
    QAction* action = entry.Create(owner);
    action->setObjectName(QString::fromLatin1(entry.Name));
    CaptionFromMenu(action);
    return action;
}

} // namespace

QList<QAction*> CreateEditActions(QObject* owner)
{
    QList<QAction*> actions;
    for (const TActionEntry& entry : kEditActions)
        actions << Create(entry, owner);
    return actions;
}

QList<QAction*> CreateListBoxActions(QObject* owner)
{
    QList<QAction*> actions;
    for (const TListBoxEntry& entry : kListBoxActions)
        actions << Create(entry.Action, owner);
    return actions;
}

TOrderListAction* CreateListBoxAction(int kind, QObject* owner)
{
    for (const TListBoxEntry& entry : kListBoxActions)
        if (entry.Kind == kind)
            return static_cast<TOrderListAction*>(Create(entry.Action, owner));
    return nullptr;
}

void CaptionFromMenu(QAction* action)
{
    const QString caption = Lang().SectionValue(QStringLiteral("Menu"), action->objectName());
    if (!caption.isEmpty())
        action->setText(caption);
}

QAction* SharedActionLike(const QAction& action)
{
    for (QObject* shared : SharedActions())
        if (shared->metaObject() == action.metaObject())
            return qobject_cast<QAction*>(shared);
    return nullptr;
}
