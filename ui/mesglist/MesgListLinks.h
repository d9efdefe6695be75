#pragma once

class TMesgListView;

// What a message list needs of the program's internal clipboard of
// messages, which carries the list's copies, cuts, drags and pastes to and
// from other programs and windows. The list keeps every such call in its
// commands (MesgListCommands.cpp); the clipboard implements this face.
class IMesgListClipboard
{
public:
    virtual ~IMesgListClipboard() = default;

    // A list offers itself as a place to drop messages when it is made, and
    // withdraws when it goes.
    virtual void RegisterDropTarget(TMesgListView& list) = 0;
    virtual void UnregisterDropTarget(TMesgListView& list) = 0;
    // The list is the source of the copy, cut or drag that its collection
    // prepares next (the collection's CopyCommand, CutCommand, DragCommand).
    virtual void SetSourceControl(TMesgListView& list) = 0;
    // Whether what the system clipboard holds can be pasted into the list.
    [[nodiscard]] virtual bool CanPasteInto(TMesgListView& list) = 0;
    // Makes the list the target and pastes: the clipboard hands what it
    // holds to the list's collection (AcceptIncoming).
    virtual void PasteInto(TMesgListView& list) = 0;
};

// The clipboard of the process that new lists register with; none at first
// (then the lists copy, cut and drag through their collection alone and
// paste nothing). Returns the previous one.
IMesgListClipboard* SetMesgListClipboard(IMesgListClipboard* clipboard);
[[nodiscard]] IMesgListClipboard* MesgListClipboard();

// The folder tree tied to a message list. The two refer to each other: the
// list attaches the tree (AttachTree) and the tree learns its list through
// AttachList; whichever goes first detaches the other (the list calls
// AttachList(nullptr), the tree calls the list's ForgetTree).
class IMesgListTree
{
public:
    virtual ~IMesgListTree() = default;

    // From now on the tree follows this list and its collection's folder
    // model; none: the tree is no longer tied to a list.
    virtual void AttachList(TMesgListView* list) = 0;
    // The side with the keyboard focus leads: when the tree has it, the
    // list's collection opens the tree's folder; otherwise the tree selects
    // the folder the collection shows.
    virtual void SyncWithList() = 0;
};
