#include "content/attach/FileDialogFilter.h"

#include "settings/GlobStrings.h"

QString FileDialogFilter(const QStringList& keys)
{
    TGlobStrings& lang = Lang();
    const int section = lang.SectionIndexOf(QStringLiteral("FileExt"));
    QStringList entries;
    for (const QString& key : keys) {
        const QString text = lang.NamedValue(section, key);
        if (text.isEmpty())
            continue;
        const qsizetype bar = text.indexOf(QLatin1Char('|'));
        const QString description = (bar < 0 ? text : text.left(bar)).trimmed();
        const QString patterns = bar < 0 ? QString() : text.mid(bar + 1).replace(QLatin1Char(';'), QLatin1Char(' ')).trimmed();
        if (description.contains(QLatin1Char('(')) || patterns.isEmpty())
            entries.append(description);
        else
            entries.append(QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return entries.join(QStringLiteral(";;"));
}
