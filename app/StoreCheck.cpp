#include "app/StoreCheck.h"

#include "engine/StoreNamespace.h"

#include <QMessageBox>

#include <cstdio>

QString StoreUnavailableText(const QString& product, const QString& path, const QString& reason)
{
    return QStringLiteral("%1 cannot run: the message store at %2 cannot be opened (%3).").arg(product, path, reason);
}

bool StorePresent(const QString& product)
{
    TStoreNamespace store;
    const TStoreResult result = store.Initialize();
    if (result == srOk)
        return true;
    const QString text =
        StoreUnavailableText(product, TStoreNamespace::DefaultStorePath(), QString::fromUtf8(StoreResultText(result)));
    std::fprintf(stderr, "vellumo: %s\n", text.toLocal8Bit().constData());
    QMessageBox box(QMessageBox::Critical, product, text);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return false;
}
