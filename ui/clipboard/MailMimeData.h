#pragma once

#include <QMimeData>
#include <QPointer>

class TMailClipboard;

// The messages that the clipboard offers, as the system clipboard or a
// drag hands them out: nothing is produced until a receiver asks for a
// format. The marker of this run, the file descriptors and each file's
// contents serve this program's own runs; other programs get the messages
// as real ".eml" files (text/uri-list), written only when they ask, and are
// told whether the files were copied or cut.
class TMailMimeData : public QMimeData
{
    Q_OBJECT
public:
    TMailMimeData(TMailClipboard& source, bool cut);

    [[nodiscard]] QStringList formats() const override;
    [[nodiscard]] bool hasFormat(const QString& format) const override;

protected:
    [[nodiscard]] QVariant retrieveData(const QString& format, QMetaType type) const override;

private:
    [[nodiscard]] QByteArray UriList() const;

    QPointer<TMailClipboard> FSource;
    bool FCut;
};
