#pragma once

#include <QByteArray>
#include <QIODevice>

// A byte pattern that shows misplaced or lost bytes: no run of it repeats
// within a block.
[[nodiscard]] QByteArray Pattern(qint64 size);

// A device that serves `data` but fails (or delivers nothing) after
// `limit` bytes, and takes at most `limit` bytes when written to.
class TLimitedDevice : public QIODevice
{
public:
    TLimitedDevice(QByteArray data, qint64 limit);

    [[nodiscard]] bool isSequential() const override { return false; }
    [[nodiscard]] qint64 size() const override { return FData.size(); }
    [[nodiscard]] const QByteArray& Written() const { return FWritten; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    QByteArray FData;
    QByteArray FWritten;
    qint64 FLimit;
};
