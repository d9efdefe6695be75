#include "tests/support/DbxFixtureWriter.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <map>

namespace {

// The file header is 0x24BC bytes; the file info follows it.
constexpr int kHeaderSize = 0x24BC;
constexpr int kMessageFileInfoSize = 0x618;
constexpr int kFolderFileInfoSize = 0x108;
// A data block: 0x10 bytes of header, 0x200 of text.
constexpr int kBlockText = 0x200;
constexpr int kBlockSize = 0x210;
// A tree node: 0x18 bytes of header, up to 0x33 entries of 12 bytes.
constexpr int kNodeSize = 0x27C;
constexpr int kNodeCapacity = 0x33;

// FILETIME: 100-nanosecond steps since 1601-01-01 UTC.
quint64 FileTime(const QDateTime& time)
{
    return quint64(time.toMSecsSinceEpoch() + 11644473600000LL) * 10000;
}

QByteArray Le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(value >> (8 * i));
    return bytes;
}

QByteArray Le64(quint64 value)
{
    return Le32(quint32(value)) + Le32(quint32(value >> 32));
}

// The file being built: objects are appended, each starting with its own offset.
class TBuilder
{
public:
    TBuilder(quint32 clsid, int fileInfoSize) : FBytes(kHeaderSize + fileInfoSize, '\0')
    {
        Put(0x00, 0xFE12ADCF);
        Put(0x04, clsid);
        // The rest of the content class and two version numbers, as every file has them.
        FBytes.replace(0x08, 20, QByteArray::fromHex("66e3d1119a4e00c04fa309d40500000005000000"));
        Put(0x1C, quint32(fileInfoSize));
        Put(kHeaderSize, 1);
    }

    quint32 Allocate(int size)
    {
        const auto offset = quint32(FBytes.size());
        FBytes.append(QByteArray(size, '\0'));
        Put(offset, offset);
        return offset;
    }

    void Put(qint64 offset, quint32 value) { FBytes.replace(offset, 4, Le32(value)); }
    [[nodiscard]] quint32 Get(qint64 offset) const
    {
        quint32 value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | quint8(FBytes[offset + i]);
        return value;
    }
    void PutByte(qint64 offset, quint8 value) { FBytes[offset] = char(value); }
    void PutBytes(qint64 offset, const QByteArray& bytes) { FBytes.replace(offset, bytes.size(), bytes); }

    QByteArray Finish()
    {
        Put(0x7C, quint32(FBytes.size()));   // used space of the file
        return FBytes;
    }

private:
    QByteArray FBytes;
};

// One field of an indexed info: a direct value or bytes in the data.
struct TField {
    quint8 Index;
    bool Direct;
    quint32 Value;
    QByteArray Data;
};

quint32 WriteIndexedInfo(TBuilder& file, std::vector<TField> fields)
{
    std::sort(fields.begin(), fields.end(), [](const TField& a, const TField& b) { return a.Index < b.Index; });
    QByteArray entries;
    QByteArray data;
    for (const TField& field : fields) {
        const quint32 value = field.Direct ? field.Value : quint32(data.size());
        entries += Le32(quint32(field.Index) | (field.Direct ? 0x80u : 0u) | value << 8);
        if (!field.Direct)
            data += field.Data;
    }
    while (data.size() % 4)
        data += '\0';
    const QByteArray body = entries + data;
    const quint32 offset = file.Allocate(0x0C + int(body.size()));
    file.Put(offset + 4, quint32(body.size()));
    file.PutByte(offset + 10, quint8(fields.size()));
    file.PutByte(offset + 11, 1);
    file.PutBytes(offset + 0x0C, body);
    return offset;
}

TField Int4(quint8 index, quint32 value, bool direct)
{
    return direct ? TField{index, true, value, {}} : TField{index, false, 0, Le32(value)};
}

TField String(quint8 index, const QByteArray& text)
{
    return {index, false, 0, text + '\0'};
}

TField Time(quint8 index, const QDateTime& time)
{
    return {index, false, 0, Le64(FileTime(time))};
}

std::vector<quint32> WriteBlocks(TBuilder& file, const QByteArray& source)
{
    std::vector<quint32> blocks;
    qsizetype done = 0;
    do {
        const quint32 block = file.Allocate(kBlockSize);
        const auto length = int(std::min<qsizetype>(kBlockText, source.size() - done));
        file.Put(block + 4, kBlockText);
        file.Put(block + 8, quint32(length));
        file.PutBytes(block + 0x10, source.mid(done, length));
        if (!blocks.empty())
            file.Put(blocks.back() + 12, block);
        blocks.push_back(block);
        done += length;
    } while (done < source.size());
    return blocks;
}

// Frees a block the way the format describes it: a new header (marker,
// free length, object length, unused, next free block).
void FreeObject(TBuilder& file, quint32 offset, int size, quint32 nextFree)
{
    file.Put(offset + 4, quint32(size - 0x14));
    file.Put(offset + 8, quint32(size));
    file.Put(offset + 12, 0);
    file.Put(offset + 16, nextFree);
}

// A balanced tree over `values`; returns its root node (0 when empty).
quint32 WriteTree(TBuilder& file, const std::vector<quint32>& values, size_t first, size_t last, quint32 parent,
                  int nodeId, std::vector<quint32>& nodes)
{
    const size_t count = last - first;
    if (count == 0)
        return 0;
    const quint32 node = file.Allocate(kNodeSize);
    nodes.push_back(node);
    file.Put(node + 12, parent);
    file.PutByte(node + 16, quint8(nodeId));
    if (count <= size_t(kNodeCapacity)) {
        file.PutByte(node + 17, quint8(count));
        for (size_t i = 0; i < count; ++i)
            file.Put(node + 0x18 + 12 * i, values[first + i]);
        return node;
    }
    // Separators between children of (nearly) equal size.
    const size_t separators = std::clamp<size_t>(count / (kNodeCapacity + 1), 1, kNodeCapacity);
    const size_t children = separators + 1;
    const size_t inChildren = count - separators;
    size_t at = first;
    auto childSize = [&](size_t child) { return inChildren / children + (child < inChildren % children ? 1 : 0); };
    size_t size = childSize(0);
    file.Put(node + 8, WriteTree(file, values, at, at + size, node, 0, nodes));
    file.Put(node + 20, quint32(size));
    at += size;
    file.PutByte(node + 17, quint8(separators));
    for (size_t i = 0; i < separators; ++i) {
        const qint64 entry = node + 0x18 + 12 * qint64(i);
        file.Put(entry, values[at++]);
        size = childSize(i + 1);
        file.Put(entry + 4, WriteTree(file, values, at, at + size, node, int(i + 1), nodes));
        file.Put(entry + 8, quint32(size));
        at += size;
    }
    return node;
}

void WriteIndex(TBuilder& file, const std::vector<quint32>& values, std::vector<quint32>& nodes)
{
    file.Put(0xC4, quint32(values.size()));
    file.Put(0xE4, WriteTree(file, values, 0, values.size(), 0, 0, nodes));
}

} // namespace

QByteArray WriteDbxMessageFile(const std::vector<TDbxFixtureMessage>& messages, TDbxFixtureLayout* layout)
{
    TBuilder file(0x6F74FDC5, kMessageFileInfoSize);
    file.PutByte(kHeaderSize + 4, 3);   // a local folder
    TDbxFixtureLayout written;
    for (const TDbxFixtureMessage& message : messages)
        written.Blocks.push_back(message.HeaderOnly ? std::vector<quint32>{} : WriteBlocks(file, message.Source));
    std::vector<quint32> live;
    quint32 freeList = 0;
    for (size_t i = 0; i < messages.size(); ++i) {
        const TDbxFixtureMessage& message = messages[i];
        const quint32 data = written.Blocks[i].empty() ? 0 : written.Blocks[i].front();
        // Pointers are stored directly (three bytes) or in the data: both
        // forms occur, so the fixtures use both.
        std::vector<TField> fields = {
            Int4(0x00, quint32(i + 1), true),
            Int4(0x01, message.Flags, false),
            String(0x08, "fixture message " + QByteArray::number(qulonglong(i + 1))),
            Int4(0x11, quint32(message.Source.size()), message.Source.size() < 0x1000000),
        };
        if (data != 0)
            fields.push_back(Int4(0x04, data, i % 2 == 0 && data < 0x1000000));
        if (message.Received.isValid())
            fields.push_back(Time(0x12, message.Received));
        const quint32 info = WriteIndexedInfo(file, fields);
        written.Infos.push_back(info);
        if (!message.Deleted) {
            live.push_back(info);
            continue;
        }
        FreeObject(file, info, 0x0C + int(file.Get(info + 4)), 0);
        for (auto block = written.Blocks[i].rbegin(); block != written.Blocks[i].rend(); ++block) {
            FreeObject(file, *block, kBlockSize, freeList);
            freeList = *block;
        }
    }
    file.Put(0x48, freeList);
    WriteIndex(file, live, written.TreeNodes);
    if (layout)
        *layout = written;
    return file.Finish();
}

QByteArray WriteDbxFolderFile(const std::vector<TDbxFixtureFolder>& folders)
{
    TBuilder file(0x6F74FDC6, kFolderFileInfoSize);
    std::vector<quint32> infos;
    for (const TDbxFixtureFolder& folder : folders) {
        std::vector<TField> fields = {
            Int4(0x00, folder.Index, true),
            Int4(0x01, folder.Parent, false),
            String(0x02, folder.Name),
            Int4(0x06, 0, true),
            Int4(0x09, folder.Special, true),
            Int4(0x0A, folder.AccountKind, true),
        };
        if (!folder.FileName.isEmpty())
            fields.push_back(String(0x03, folder.FileName));
        infos.push_back(WriteIndexedInfo(file, fields));
    }
    std::vector<quint32> nodes;
    WriteIndex(file, infos, nodes);
    return file.Finish();
}

void ZeroDbxIndex(QByteArray& file, const TDbxFixtureLayout& layout)
{
    for (quint32 node : layout.TreeNodes)
        file.replace(node, kNodeSize, QByteArray(kNodeSize, '\0'));
}

void SetDbxBlockNext(QByteArray& file, quint32 block, quint32 next)
{
    file.replace(block + 12, 4, Le32(next));
}

std::vector<TDbxFixtureFolder> StandardDbxFolders(const std::vector<TDbxFixtureFolder>& extra)
{
    std::vector<TDbxFixtureFolder> folders = {
        {0, 0xFFFFFFFF, "Outlook Express", {}, 0, 3},
        {1, 0, "Local Folders", {}, 0, 3},
        {2, 1, "Inbox", "Inbox.dbx", 1, 3},
        {3, 1, "Outbox", "Outbox.dbx", 2, 3},
        {4, 1, "Sent Items", "Sent Items.dbx", 3, 3},
        {5, 1, "Deleted Items", "Deleted Items.dbx", 4, 3},
        {6, 1, "Drafts", "Drafts.dbx", 5, 3},
    };
    folders.insert(folders.end(), extra.begin(), extra.end());
    return folders;
}

bool WriteDbxStore(const QString& dir, const std::vector<TDbxFixtureFolder>& folders,
                   const std::vector<std::pair<QString, std::vector<TDbxFixtureMessage>>>& files)
{
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(QDir(dir).filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    if (!QDir().mkpath(dir) || !write(QStringLiteral("Folders.dbx"), WriteDbxFolderFile(folders)))
        return false;
    return std::all_of(files.begin(), files.end(),
                       [&](const auto& entry) { return write(entry.first, WriteDbxMessageFile(entry.second)); });
}
