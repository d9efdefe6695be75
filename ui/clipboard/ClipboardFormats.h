#pragma once

#include "engine/StoreTypes.h"
#include "messages/MesgFiles.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QMimeData;

// The data formats that carry messages and folders between the program's
// windows, its other runs and other programs.
namespace ClipboardFormats {

// One 32-bit store folder id (little-endian).
inline const QString kFolder = QStringLiteral("OutlookExpressFolderClipboardFormat");
// The names and descriptors of the offered message files.
inline const QString kFileDescriptors = QStringLiteral("application/x-vellumo-file-group-descriptor");
// The contents of offered file n: this prefix followed by n in decimal.
inline const QString kFileContentsPrefix = QStringLiteral("application/x-vellumo-file-contents-");
// Real files, as file managers take them; with the two below, they tell copy from cut.
inline const QString kUriList = QStringLiteral("text/uri-list");
inline const QString kKdeCut = QStringLiteral("application/x-kde-cutselection");
inline const QString kGnomeCopied = QStringLiteral("x-special/gnome-copied-files");

// The marker of data offered by this run: "QuorvanInternalDropSupports"
// followed by a millisecond counter taken on first use, so each run has
// its own name.
[[nodiscard]] const QString& InternalMarker();
[[nodiscard]] QString FileContents(int index);

[[nodiscard]] QByteArray EncodeFolder(TStoreId folder);
// kNoStoreId when the data carries no well-formed folder id.
[[nodiscard]] TStoreId DecodeFolder(const QMimeData* data);

[[nodiscard]] QByteArray EncodeDescriptors(const QList<TVirtualFileDescriptor>& descriptors);
// Empty for malformed data.
[[nodiscard]] QList<TVirtualFileDescriptor> DecodeDescriptors(const QByteArray& bytes);

// True when the data comes from a cut (KDE's or GNOME's way of saying so).
[[nodiscard]] bool IsCut(const QMimeData* data);

} // namespace ClipboardFormats
