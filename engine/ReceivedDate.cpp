#include "engine/ReceivedDate.h"

#include <QRegularExpression>

namespace {

// Returns the unfolded value of the first header named `name` (with colon,
// lower case), looking only at the header block before the first empty line.
QByteArray FirstHeaderValue(const QByteArray& source, QByteArrayView name)
{
    qsizetype pos = 0;
    while (pos < source.size()) {
        qsizetype end = source.indexOf('\n', pos);
        if (end < 0)
            end = source.size();
        const QByteArray line = source.mid(pos, end - pos).trimmed();
        if (line.isEmpty())
            return {};
        if (line.size() >= name.size() && line.first(name.size()).toLower() == name) {
            QByteArray value = line.mid(name.size());
            // Continuation lines begin with a space or a tab.
            pos = end + 1;
            while (pos < source.size() && (source[pos] == ' ' || source[pos] == '\t')) {
                end = source.indexOf('\n', pos);
                if (end < 0)
                    end = source.size();
                value += ' ' + source.mid(pos, end - pos).trimmed();
                pos = end + 1;
            }
            return value;
        }
        pos = end + 1;
    }
    return {};
}

} // namespace

QDateTime ReceivedDateOf(const QByteArray& source)
{
    const QByteArray value = FirstHeaderValue(source, "received:");
    const qsizetype semicolon = value.lastIndexOf(';');
    if (semicolon < 0)
        return {};
    QString date = QString::fromLatin1(value.mid(semicolon + 1)).simplified();
    // Qt's RFC 2822 reader refuses trailing comments such as "(PST)".
    static const QRegularExpression comment(QStringLiteral("\\s*\\([^)]*\\)\\s*$"));
    date.remove(comment);
    QDateTime result = QDateTime::fromString(date, Qt::RFC2822Date);
    return result.isValid() ? result.toUTC() : QDateTime();
}
