#include "app/MessageFiles.h"

#include "ui/forms/MEditForm.h"

#include <QFile>

#include <cstdio>

TOpenedMessageFiles OpenMessageFiles(const QStringList& paths)
{
    TOpenedMessageFiles opened;
    for (const QString& path : paths) {
        auto* window = new TMEditForm;
        if (window->OpenFile(path)) {
            window->show();
            opened.Windows.push_back(window);
        } else {
            std::fprintf(stderr, "vellumo: %s is not a message file (.eml) that can be read\n", QFile::encodeName(path).constData());
            delete window;
            opened.Failed << path;
        }
    }
    return opened;
}
