// TMesgListView: what the settings file keeps of the list beyond its
// published properties (sort key, direction, date details, message).

#include "ui/mesglist/MesgListView.h"

#include "messages/MesgItems.h"
#include "settings/IniFiler.h"
#include "ui/mesglist/MailColumnsList.h"

QString TMesgListView::GetSectionName() const
{
    return ClassSectionName(this);
}

void TMesgListView::DefineIniProperties(TIniFiler& filer)
{
    // The list leads when the window then brings its folder tree in line.
    FocusControl();
    filer.FileProperties(FMailColumns, filer.Loading());
    filer.FileProperties(FMessages, filer.Loading());
}
