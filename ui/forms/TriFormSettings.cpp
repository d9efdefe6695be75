#include "ui/forms/TriForm.h"

#include "settings/IniFiler.h"
#include "ui/mesglist/MesgListView.h"
#include "ui/tree/OETreeView.h"

#include <QSplitter>

void TTriForm::DefineIniProperties(TIniFiler& filer)
{
    for (const char* name : {"ShowEditor", "ShowTextToolbar", "ShowTree", "ShowStatusBar"})
        filer.DefineProperty(this, QString::fromLatin1(name));
    filer.FileProperties(FList, filer.Loading());
    if (FPane) {
        const QString key = QStringLiteral("ListHeight");
        if (!filer.Loading()) {
            filer.WriteInt(key, FListPanel->height());
        } else if (!filer.ReadValue(key).isEmpty()) {
            // Never more than five sixths of the window: the pane stays in sight.
            const int total = FHorzSplitter->height();
            const int height = std::min(filer.ReadInt(key), total * 5 / 6);
            FHorzSplitter->setSizes({height, total - height});
        }
    }
    if (FTree) {
        const QString key = QStringLiteral("TreeWidth");
        if (!filer.Loading()) {
            filer.WriteInt(key, FTree->width());
        } else if (!filer.ReadValue(key).isEmpty()) {
            // Never more than five sixths of the window: the list stays in sight.
            const int width = std::min(filer.ReadInt(key), FListPanel->width() * 5 / 6);
            FListPanel->setSizes({width, FListPanel->width() - width});
            FShownOnce = true;
        }
    }
    if (filer.Loading() && FTree)
        FTree->SyncWithCollection();
}
