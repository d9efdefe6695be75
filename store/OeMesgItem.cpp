#include "store/OeMesgItem.h"

#include "base/Stream.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "store/OutlookError.h"

#include <QIODevice>

void TOeMesgItem::WriteSource(TStream& target)
{
    if (HasSource()) {
        TMesgItem::WriteSource(target);
        return;
    }
    // Sources not yet in memory come from the store (main thread only).
    auto* items = static_cast<TOeMesgItems*>(Owner());
    TStoreFolder* folder = items->Folders().Folder();
    std::unique_ptr<QIODevice> stream;
    if (!folder || folder->OpenMessage(static_cast<TStoreId>(Id()), stream) != srOk)
        throw EOutlookError(QStringLiteral("Can not open message %1").arg(Id()));
    const QByteArray source = stream->readAll();
    target.WriteBuffer(source.constData(), source.size());
}
