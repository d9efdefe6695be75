#include "store/OutlookError.h"

#include "settings/GlobStrings.h"
#include "settings/UiHooks.h"

QString OutlookErrorText(int index)
{
    const TGlobStrings& strings = Lang();
    return strings.TextOr(index, strings.OutlookErrorSection(), QStringLiteral("Store error %1.").arg(index));
}

void ShowOutlookError(int index)
{
    ShowErrorBox(OutlookErrorText(index));
}
