#include "ui/forms/MailboxFileNames.h"

#include <QFileInfo>

QString MailboxExportName(const QString& chosen)
{
    const QString suffix = QFileInfo(chosen).suffix();
    if (suffix.compare(QStringLiteral("mbox"), Qt::CaseInsensitive) == 0 ||
        suffix.compare(QStringLiteral("mbx"), Qt::CaseInsensitive) == 0)
        return chosen;
    const QString base = suffix.isEmpty() ? chosen : chosen.left(chosen.size() - suffix.size() - 1);
    return base + QStringLiteral(".mbox");
}

QString MailboxBackupName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return path.left(path.size() - suffix.size()) + QLatin1Char('~') + suffix;
}
