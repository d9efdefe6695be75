#include "fuzz/messages/MailboxRoundTrip.h"

#include "base/FastMemoryStream.h"
#include "messages/MboxFormat.h"

#include <vector>

QByteArray ReadBackOf(const QByteArray& source)
{
    return source.isEmpty() || source.endsWith('\n') ? source : source + SourceLineBreak(source);
}

std::vector<QByteArray> ReadMailboxBytes(const QByteArray& file, QString* problem)
{
    TFastMemoryStream stream;
    stream.WriteBuffer(file.constData(), file.size());
    stream.SetPosition(0);
    TMboxReader reader(stream);
    std::vector<QByteArray> messages;
    QByteArray source;
    while (reader.Next(source)) {
        if (source.isEmpty() && problem)
            *problem = QStringLiteral("an empty message was handed out");
        messages.push_back(source);
    }
    if (reader.Position() != reader.Size() && problem)
        *problem = QStringLiteral("reading stopped at %1 of %2 bytes").arg(reader.Position()).arg(reader.Size());
    return messages;
}

QByteArray WriteMailboxBytes(const std::vector<QByteArray>& sources, const QByteArray& sender, double sentDays)
{
    TFastMemoryStream stream;
    TMboxWriter writer(stream);
    for (const QByteArray& source : sources)
        writer.Append(sender, sentDays, source);
    writer.Flush();
    return stream.ToByteArray();
}

QString CheckMailboxRoundTrip(const QByteArray& bytes)
{
    QString problem;
    std::vector<QByteArray> sources = ReadMailboxBytes(bytes, &problem);
    if (!problem.isEmpty())
        return problem;
    sources.push_back(bytes);
    std::vector<QByteArray> expected;
    for (const QByteArray& source : sources)
        if (!source.isEmpty())
            expected.push_back(ReadBackOf(source));
    const std::vector<QByteArray> read = ReadMailboxBytes(WriteMailboxBytes(sources, bytes.left(24), 46000.5), &problem);
    if (!problem.isEmpty())
        return QStringLiteral("reading back: ") + problem;
    if (read.size() != expected.size())
        return QStringLiteral("%1 sources written, %2 read back").arg(expected.size()).arg(read.size());
    for (size_t i = 0; i < read.size(); ++i)
        if (read[i] != expected[i])
            return QStringLiteral("source %1 of %2 read back changed").arg(i + 1).arg(read.size());
    return {};
}
