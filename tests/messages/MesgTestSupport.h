#pragma once

#include "base/Stream.h"
#include "tests/content/ContentTestSupport.h"

#include <QByteArray>

class TMesgItem;
class TMimeMessage;

// The content fixture (code page 1252, re-detection off) plus the English
// locale and UTC, so that default charsets and dates read the same
// everywhere.
class TMesgTest : public TContentTest
{
protected:
    void SetUp() override;
};

// A stable text picture of a parsed message: its fields, headers, parts
// (kind, type, charset, names, sizes, digests, a preview) and, when an item
// is given, the list fields derived from it.
[[nodiscard]] QByteArray MessageSummary(TMimeMessage& message, const TMesgItem* item);

// A readable stream over bytes that hands out at most one byte per read.
class TOneByteStream : public TStream
{
public:
    explicit TOneByteStream(QByteArray bytes) : FBytes(std::move(bytes)) {}
    qint64 Read(void* buffer, qint64 count) override;
    qint64 Write(const void*, qint64) override { return 0; }
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;
    [[nodiscard]] qint64 Size() override { return FBytes.size(); }
    void SetSize(qint64) override {}

private:
    QByteArray FBytes;
    qint64 FPosition = 0;
};
