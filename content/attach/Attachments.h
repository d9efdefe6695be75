#pragma once

#include "content/MimeParts.h"

#include <QString>

class TMimeMessage;

// The attachment objects a parsed message is given through its creation
// hook (TMimeMessage::OnCreateAttachment).
//
// The memory attachment is the message layer's own TMimeAttachment: its
// data lives in a memory stream and, when the message was parsed to be
// shown, is decoded from the source only when first asked for.
using TIdAttachmentMemory = TMimeAttachment;

// A memory attachment that knows the message it belongs to and keeps its
// display name once computed.
class TWideAttachmentMemory : public TIdAttachmentMemory
{
public:
    explicit TWideAttachmentMemory(const TMimeMessage& owner) : FOwner(owner) {}

    // DisplayName (content/attach/AttachmentNames.h), computed on first use.
    [[nodiscard]] const QString& DisplayName();

protected:
    [[nodiscard]] const TMimeMessage& Owner() const { return FOwner; }

private:
    const TMimeMessage& FOwner;
    QString FDisplayName;
};

// The attachment of a message view: it can write its data to a file of
// the run's private temporary folder (to be opened by another program or
// dragged out), and deletes that file when it goes.
class TAttachmentFastMem : public TWideAttachmentMemory
{
public:
    using TWideAttachmentMemory::TWideAttachmentMemory;
    ~TAttachmentFastMem() override;

    // Writes the data (decoding it now if it waits in the source) to the
    // attachment's temporary file and returns its path. The first call
    // names the file after DisplayName, with "01", "02" ... "999" before
    // the extension while a name is taken, and creates it exclusively, so
    // it never replaces another attachment's file; later calls rewrite the
    // same file. Raises EFCreateError or EWriteError.
    QString EnsureTempFile();
    // The temporary file's path; empty until one is written.
    [[nodiscard]] const QString& TempPath() const { return FTempPath; }

private:
    QString FTempPath;
};

// The attachment of a message parsed for a preview: its data stream keeps
// nothing but the size of what was written into it.
class TEmptyAttachment : public TMimeAttachment
{
protected:
    [[nodiscard]] std::unique_ptr<TStream> CreateDataStream() override;
};
