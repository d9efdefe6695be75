#include "messages/dbx/DbxFolderFile.h"

#include "messages/dbx/DbxFormat.h"
#include "messages/dbx/DbxIndexedInfo.h"
#include "messages/dbx/DbxTree.h"

#include <unordered_set>

using namespace DbxFormat;

namespace {

// The file name part of a stored name, which may carry a Windows path.
QByteArray BaseName(const QByteArray& name)
{
    const qsizetype slash = std::max(name.lastIndexOf('\\'), name.lastIndexOf('/'));
    return name.mid(slash + 1);
}

} // namespace

TDbxFolderList ReadDbxFolders(const TDbxBytes& bytes)
{
    TDbxFolderList list;
    const TDbxTreeValues tree = ReadDbxTree(bytes, bytes.U32(kTreeRootOffset).value_or(0),
                                            bytes.U32(kTreeEntriesOffset).value_or(0));
    // A folder the list lost is not lost to the import: its file is then
    // one the list does not name. Counts are therefore no reason to warn.
    list.Damaged = !tree.Intact || !bytes.Contains(0, kFileHeaderSize);
    std::unordered_set<quint32> indexes;
    for (quint32 offset : tree.Values) {
        TDbxIndexedInfo info;
        const std::optional<quint32> index = info.Read(bytes, offset) ? info.Int(ffIndex) : std::nullopt;
        if (!index || !indexes.insert(*index).second) {
            list.Damaged = true;
            continue;
        }
        TDbxFolder folder;
        folder.Index = *index;
        folder.Parent = info.Int(ffParent).value_or(kNoParent);
        folder.Name = info.String(ffName);
        folder.FileName = BaseName(info.String(ffFileName));
        folder.Special = int(info.Int(ffSpecial).value_or(0));
        folder.Local = info.Int(ffAccountKind).value_or(kAccountLocal) == kAccountLocal;
        list.Folders.push_back(folder);
    }
    return list;
}
