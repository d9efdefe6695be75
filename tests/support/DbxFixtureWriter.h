#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

// Writes Outlook Express 5/6 .dbx files for tests and benchmarks, with
// chosen folders, messages, states and damage. It follows the public
// description of the format on its own, with its own offsets, rather than
// sharing the reader's: a misreading in one of them then shows as a
// difference instead of cancelling out.

struct TDbxFixtureMessage {
    QByteArray Source;
    quint32 Flags = 0;         // message info flags: 0x80 read, 0x20 flagged, 0x08 draft, 0x80000 answered
    QDateTime Received;        // written as the received time when valid
    bool Deleted = false;      // written, then freed: on the deleted list, not in the index
    bool HeaderOnly = false;   // a message info without a source (a news or IMAP header)
};

struct TDbxFixtureFolder {
    quint32 Index = 0;
    quint32 Parent = 0;        // 0xFFFFFFFF for the root
    QByteArray Name;
    QByteArray FileName;       // empty for a container
    quint32 Special = 0;       // 1 Inbox, 2 Outbox, 3 Sent Items, 4 Deleted Items, 5 Drafts
    quint32 AccountKind = 3;   // 3 local folders, 1 IMAP, 0 news
};

// Where the writer put things, for tests that damage them.
struct TDbxFixtureLayout {
    std::vector<std::vector<quint32>> Blocks;   // per message, in the order given: its data blocks
    std::vector<quint32> Infos;                 // per message: its message info
    std::vector<quint32> TreeNodes;
};

[[nodiscard]] QByteArray WriteDbxMessageFile(const std::vector<TDbxFixtureMessage>& messages,
                                             TDbxFixtureLayout* layout = nullptr);
[[nodiscard]] QByteArray WriteDbxFolderFile(const std::vector<TDbxFixtureFolder>& folders);

// Damage: every tree node zeroed (the index is gone, the data blocks stay).
void ZeroDbxIndex(QByteArray& file, const TDbxFixtureLayout& layout);
// Damage: the block at `block` points on to `next`.
void SetDbxBlockNext(QByteArray& file, quint32 block, quint32 next);

// The standard local folders of a store (root, "Local Folders", the five
// special folders with their files) followed by `extra`.
[[nodiscard]] std::vector<TDbxFixtureFolder> StandardDbxFolders(const std::vector<TDbxFixtureFolder>& extra = {});
// Writes a folder list and message files into `dir` (file name → messages).
bool WriteDbxStore(const QString& dir, const std::vector<TDbxFixtureFolder>& folders,
                   const std::vector<std::pair<QString, std::vector<TDbxFixtureMessage>>>& files);
