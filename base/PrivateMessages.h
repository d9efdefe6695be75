#pragma once

#include <QEvent>

// Numbers of the private messages that several modules exchange. They are
// posted as QEvent types (all above QEvent::User), so the numbers read the
// same as in the design of the windows and threads that use them.
enum TPrivateMessage : int {
    pmActivateInstance = 0x496,     // bring the running instance to the front
    pmThreadErrors = 0x497,         // background error texts are pending
    pmRefreshStatus = 0x499,        // refresh the status bar
    pmThreadStarted = 0x49D,        // a dispatch thread started (sent on that thread)
    pmThreadEnding = 0x49E,         // a dispatch thread is ending (sent on that thread)
    pmListBeginUpdate = 0x49F,
    pmListEndUpdate = 0x4A0,
    pmListTakeFocused = 0x4A1,      // take the focused row as current
    pmListSelectPending = 0x4A2,    // select the pending name
    pmListChanged = 0x4A3,
    pmListFitColumns = 0x4A4,
    pmListFollowTree = 0x4A8,
    pmTreeRefresh = 0x4B4,          // full tree refresh
    pmOpenFolder = 0x4B6,           // open or select a folder
    pmTreeUpdateNode = 0x4B7,
    pmTreeAddNode = 0x4B8,
    pmParserJobFirst = 0x4BD,       // parser-thread jobs 0x4BD to 0x4BF
    pmParserJobLast = 0x4BF,
    pmShowHeaderChanged = 0x4C0,    // every reading pane adds or removes its header page
    pmReloadList = 0x4C7,
};

[[nodiscard]] constexpr QEvent::Type EventType(int message)
{
    return static_cast<QEvent::Type>(message);
}
