#pragma once

class TMesgListView;

// The sort dialog: the list's sort key as a drop-down list and its reverse
// order as a check box. OK sorts the list through those two properties;
// true then.
bool RunSortDialog(TMesgListView& list);
