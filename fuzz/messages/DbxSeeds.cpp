// Writes a seed corpus for the .dbx fuzz target into the folder given as
// the only argument: small message files of several shapes and a folder list.

#include "tests/support/DbxFixtureWriter.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir dir(QFile::decodeName(argv[1]));
    std::vector<TDbxFixtureMessage> messages;
    for (int i = 0; i < 60; ++i) {
        TDbxFixtureMessage message;
        message.Source = "Subject: seed " + QByteArray::number(i) + "\r\n\r\n" + QByteArray(i * 37, 'x');
        message.Flags = quint32(i) * 0x1111;
        message.Deleted = i % 7 == 3;
        message.HeaderOnly = i % 11 == 5;
        messages.push_back(message);
    }
    TDbxFixtureLayout layout;
    QByteArray cycle = WriteDbxMessageFile({messages.begin(), messages.begin() + 3}, &layout);
    SetDbxBlockNext(cycle, layout.Blocks[0].front(), layout.Blocks[0].front());
    const std::pair<const char*, QByteArray> seeds[] = {
        {"empty.dbx", WriteDbxMessageFile({})},
        {"three.dbx", WriteDbxMessageFile({messages.begin(), messages.begin() + 3})},
        {"sixty.dbx", WriteDbxMessageFile(messages)},
        {"cycle.dbx", cycle},
        {"Folders.dbx", WriteDbxFolderFile(StandardDbxFolders({{7, 2, "Sub", "Sub.dbx", 0, 3}}))},
    };
    for (const auto& [name, bytes] : seeds) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    return 0;
}
