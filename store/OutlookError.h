#pragma once

#include "base/Exception.h"

// A store failure that a caller cannot recover from.
class EOutlookError : public Exception
{
public:
    using Exception::Exception;
};

// Text of entry `index` of the "OutlookError" language section.
[[nodiscard]] QString OutlookErrorText(int index);
// Beeps and shows entry `index` of the "OutlookError" section in an error box.
void ShowOutlookError(int index);
