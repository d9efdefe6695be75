#include "store/OutlookError.h"

#include "settings/UiHooks.h"

QString OutlookErrorText(int index)
{
    // English texts until the language table answers for the section.
    switch (index) {
    case 0: return QStringLiteral("The target folder cannot be opened.");
    case 1: return QStringLiteral("The messages could not be copied or moved.");
    default: return QStringLiteral("Store error %1.").arg(index);
    }
}

void ShowOutlookError(int index)
{
    ShowErrorBox(OutlookErrorText(index));
}
