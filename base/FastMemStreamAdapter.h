#pragma once

#include <QIODevice>

class TFastMemoryStream;

// The platform-stream view of a TFastMemoryStream: a QIODevice that reads,
// writes and seeks the memory stream itself (it does not own it), with a
// block-by-block copy to another device. Opened, it starts at the stream's
// position.
class TFastMemStreamAdapter : public QIODevice
{
    Q_OBJECT
public:
    // Result codes of CopyTo, as the store's stream interface reports them.
    static constexpr quint32 kOk = 0;
    static constexpr quint32 kFail = 0x80004005;          // the destination took fewer bytes
    static constexpr quint32 kUnexpected = 0x8000FFFF;    // an exception ended the copy

    struct TCopyResult {
        quint32 Result = kOk;
        qint64 BytesRead = 0;
        qint64 BytesWritten = 0;
    };

    explicit TFastMemStreamAdapter(TFastMemoryStream& stream, QObject* parent = nullptr);

    // Copies the first min(count, size) bytes of the stream, from its
    // beginning and block by block, to `destination`. A negative count copies
    // the whole stream and also rewinds this device.
    TCopyResult CopyTo(QIODevice& destination, qint64 count);

    [[nodiscard]] bool isSequential() const override { return false; }
    [[nodiscard]] qint64 size() const override;
    bool seek(qint64 pos) override;
    bool open(OpenMode mode) override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    TFastMemoryStream& FStream;
};
