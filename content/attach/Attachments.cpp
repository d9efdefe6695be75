#include "content/attach/Attachments.h"

#include "base/SafeFile.h"
#include "base/Stream.h"
#include "content/attach/AttachmentNames.h"
#include "content/attach/SafeWrites.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxCounter = 999;

// Stores nothing: writing moves the position and grows the size, reading
// gives zero bytes up to the size.
class TNullStream : public TStream
{
public:
    qint64 Read(void* buffer, qint64 count) override
    {
        const qint64 read = std::clamp<qint64>(FSize - FPosition, 0, std::max<qint64>(count, 0));
        std::memset(buffer, 0, static_cast<size_t>(read));
        FPosition += read;
        return read;
    }
    qint64 Write(const void*, qint64 count) override
    {
        FPosition += std::max<qint64>(count, 0);
        FSize = std::max(FSize, FPosition);
        return std::max<qint64>(count, 0);
    }
    qint64 Seek(qint64 offset, TSeekOrigin origin) override
    {
        FPosition = std::max<qint64>(0, SeekTarget(FPosition, FSize, offset, origin));
        return FPosition;
    }
    [[nodiscard]] qint64 Size() override { return FSize; }
    void SetSize(qint64 size) override
    {
        FSize = std::max<qint64>(size, 0);
        FPosition = std::min(FPosition, FSize);
    }

private:
    qint64 FSize = 0;
    qint64 FPosition = 0;
};

} // namespace

const QString& TWideAttachmentMemory::DisplayName()
{
    if (FDisplayName.isEmpty())
        FDisplayName = ::DisplayName(FOwner, *this);
    return FDisplayName;
}

TAttachmentFastMem::~TAttachmentFastMem()
{
    if (!FTempPath.isEmpty())
        QFile::remove(FTempPath);
}

QString TAttachmentFastMem::EnsureTempFile()
{
    if (!FTempPath.isEmpty()) {
        // A link put in the file's place is replaced, never followed.
        WriteFileSafely(FTempPath, Data(), TSafeFileStream::TMode::Replace, TSafeFileStream::TAccess::Private);
        return FTempPath;
    }
    const QString folder = PrivateTempFolder();
    if (folder.isEmpty())
        throw EFCreateError(QStringLiteral("Cannot create the temporary folder for \"%1\".").arg(DisplayName()));
    const QString name = DisplayName();
    for (int counter = 0; counter <= kMaxCounter; ++counter) {
        const QString path = folder + QLatin1Char('/') + (counter == 0 ? name : NumberedFileName(name, counter));
        if (WriteNewFile(path, Data())) {
            FTempPath = path;
            return FTempPath;
        }
    }
    throw EFCreateError(QStringLiteral("Cannot create file \"%1/%2\". Every numbered name is taken.").arg(folder, name));
}

std::unique_ptr<TStream> TEmptyAttachment::CreateDataStream()
{
    return std::make_unique<TNullStream>();
}
