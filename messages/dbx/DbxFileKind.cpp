#include "messages/dbx/DbxFileKind.h"

#include "messages/dbx/DbxFormat.h"

using namespace DbxFormat;

TDbxKind DbxKindOf(const TDbxBytes& bytes)
{
    // A file cut short inside its header is still recognised, so that it is
    // reported as damaged rather than as some other kind of file.
    if (!bytes.Contains(0, kClsidOffset + 4) || bytes.U32Unchecked(0) != kSignature)
        return TDbxKind::NotDbx;
    switch (bytes.U32Unchecked(kClsidOffset)) {
    case kMessageDatabase: return TDbxKind::Messages;
    case kFolderDatabase: return TDbxKind::Folders;
    default: return TDbxKind::Other;
    }
}
