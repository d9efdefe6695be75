#pragma once

#include <QtGlobal>

// The layout of Outlook Express 5 and 6 database (.dbx) files, as the
// public descriptions of the format give it. All numbers are little-endian
// 32-bit values ("int4") unless said otherwise; every object in the file
// begins with its own offset (the "object marker"), which is how a reader
// tells a real object from a stray pointer.
namespace DbxFormat {

// File header: 0x24BC bytes at offset 0.
inline constexpr qint64 kFileHeaderSize = 0x24BC;
inline constexpr quint32 kSignature = 0xFE12ADCF;              // "cf ad 12 fe"
inline constexpr qint64 kClsidOffset = 0x04;                   // first four bytes of the content class
inline constexpr quint32 kMessageDatabase = 0x6F74FDC5;        // a folder's message file
inline constexpr quint32 kFolderDatabase = 0x6F74FDC6;         // Folders.dbx
inline constexpr qint64 kFileInfoLengthOffset = 0x1C;          // length of the file info after the header
inline constexpr qint64 kDeletedMessagesOffset = 0x48;         // first block of the deleted-block list
inline constexpr qint64 kTreeEntriesOffset = 0xC4;             // values stored in the first tree
inline constexpr qint64 kTreeRootOffset = 0xE4;                // root node of the first tree

// Tree node: a 0x18-byte header and up to 0x33 entries of three values.
// In order, a node stands for: its first child's subtree, then for every
// entry its value followed by that entry's child subtree.
inline constexpr qint64 kTreeNodeSize = 0x27C;
inline constexpr qint64 kNodeFirstChild = 0x08;
inline constexpr qint64 kNodeFirstChildCount = 0x14;           // values below the first child
inline constexpr qint64 kNodeEntryCount = 0x11;                // one byte
inline constexpr qint64 kNodeEntries = 0x18;
inline constexpr qint64 kNodeEntrySize = 0x0C;                 // value, child, values below the child
inline constexpr int kMaxNodeEntries = 0x33;
// Deeper than this, a tree of 32-bit values cannot be: a deeper path is a
// damaged or hostile file.
inline constexpr int kMaxTreeDepth = 32;

// Indexed info (message info, folder info): a 0x0C-byte header (marker,
// body length, object length as two bytes, entry count as one byte, change
// count as one byte), then one four-byte entry per field (bits 0-6 the field
// index, bit 7 "value stored directly", three bytes of value or of offset
// into the data), then the data.
inline constexpr qint64 kInfoHeaderSize = 0x0C;
inline constexpr qint64 kInfoBodyLength = 0x04;
inline constexpr qint64 kInfoEntryCount = 0x0A;                // one byte

// Message data block: marker, body length, length of the text in this
// block, next block (0 at the end); the text follows the 0x10-byte header.
inline constexpr qint64 kBlockHeaderSize = 0x10;
inline constexpr quint32 kBlockBodySize = 0x200;
inline constexpr qint64 kBlockBodyLength = 0x04;
inline constexpr qint64 kBlockTextLength = 0x08;
inline constexpr qint64 kBlockNext = 0x0C;
// A freed block keeps its marker but says it is free: its second value is
// the free length (0x1FC for a data block), never 0x200.

// Fields of a message info.
enum TMessageField : quint8 {
    mfIndex = 0x00,
    mfFlags = 0x01,
    mfDateSent = 0x02,
    mfDataOffset = 0x04,
    mfDateSaved = 0x06,
    mfMessageId = 0x07,
    mfSubject = 0x08,
    mfSenderName = 0x0D,
    mfSenderAddress = 0x0E,
    mfSourceLength = 0x11,
    mfDateReceived = 0x12,
};

// Message info flags.
inline constexpr quint32 kFlagDraft = 0x08;          // "in work": not sent yet
inline constexpr quint32 kFlagMarked = 0x20;         // flagged
inline constexpr quint32 kFlagRead = 0x80;
inline constexpr quint32 kFlagAttachment = 0x4000;
inline constexpr quint32 kFlagAnswered = 0x80000;

// Fields of a folder info (in Folders.dbx).
enum TFolderField : quint8 {
    ffIndex = 0x00,
    ffParent = 0x01,                                 // 0xFFFFFFFF for the root
    ffName = 0x02,
    ffFileName = 0x03,
    ffFlags = 0x06,
    ffSpecial = 0x09,                                // 1 Inbox … 5 Drafts
    ffAccountKind = 0x0A,                            // 3: the local folders
};

inline constexpr quint32 kAccountLocal = 3;
inline constexpr quint32 kNoParent = 0xFFFFFFFFu;

} // namespace DbxFormat
