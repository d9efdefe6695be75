#pragma once

#include "base/Exception.h"

// A store failure that a caller cannot recover from.
class EOutlookError : public Exception
{
public:
    using Exception::Exception;
};

// Entries of the "OutlookError" language section that the store layer shows.
inline constexpr int kTargetFolderError = 0;      // the target folder cannot be opened
inline constexpr int kCopyMoveError = 1;          // messages could not be copied or moved
inline constexpr int kDeleteMessagesError = 4;    // messages could not be deleted
inline constexpr int kCompactError = 5;           // the store could not be compacted (with the reason)
inline constexpr int kTransferredBeforeError = 6; // how many of the messages were copied or moved before a failure

// Text of entry `index` of the "OutlookError" language section.
[[nodiscard]] QString OutlookErrorText(int index);
// Beeps and shows entry `index` of the "OutlookError" section in an error box.
void ShowOutlookError(int index);
