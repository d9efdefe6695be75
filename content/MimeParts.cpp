#include "content/MimeParts.h"

#include "base/FastMemoryStream.h"

namespace {

// The value of a "key=" parameter of a raw structured header: searched
// after the first ";", the key ignoring case; a quoted value runs to the
// next quote, any other to the next ";".
QByteArray RawParameter(const QByteArray& value, QByteArrayView key)
{
    const int semicolon = static_cast<int>(value.indexOf(';'));
    if (semicolon < 0)
        return {};
    const QByteArray rest = value.mid(semicolon + 1);
    const QByteArray upper = rest.toUpper();
    const QByteArray wanted = key.toByteArray().toUpper() + '=';
    qsizetype at = -1;
    for (qsizetype from = 0; (from = upper.indexOf(wanted, from)) >= 0; ++from) {
        // A whole parameter name: at the start or after a separator.
        if (from == 0 || upper[from - 1] == ';' || upper[from - 1] == ' ' || upper[from - 1] == '\t') {
            at = from;
            break;
        }
    }
    if (at < 0)
        return {};
    const QByteArray text = rest.mid(at + wanted.size()).trimmed();
    if (text.startsWith('"')) {
        const qsizetype close = text.indexOf('"', 1);
        return close < 0 ? text.mid(1) : text.mid(1, close - 1);
    }
    const qsizetype end = text.indexOf(';');
    return (end < 0 ? text : text.left(end)).trimmed();
}

} // namespace

QByteArray TMimePart::Disposition() const
{
    QByteArray value = FHeaders.Value("Content-Disposition");
    const qsizetype semicolon = value.indexOf(';');
    if (semicolon >= 0)
        value.truncate(semicolon);
    return value.trimmed().toLower();
}

QByteArray TMimePart::FileName() const
{
    if (!FFileName.isEmpty())
        return FFileName;
    QByteArray name = RawParameter(FHeaders.Value("Content-Disposition"), "filename");
    if (name.isEmpty())
        name = RawParameter(FHeaders.Value("Content-Type"), "name");
    return name;
}

QByteArray TMimePart::TransferEncoding() const
{
    return FHeaders.Value("Content-Transfer-Encoding").trimmed().toLower();
}

TMimeAttachment::TMimeAttachment() = default;
TMimeAttachment::~TMimeAttachment() = default;

TStream& TMimeAttachment::Data()
{
    if (!FData)
        FData = CreateDataStream();
    if (FDeferred) {
        // A decoding that fails keeps the content deferred for another try.
        FData->SetSize(0);
        FDeferred->DecodeInto(*FData);
        FDeferred.reset();
        FData->SetPosition(0);
    }
    return *FData;
}

QByteArray TMimeAttachment::DataBytes()
{
    TStream& data = Data();
    QByteArray bytes(data.Size(), Qt::Uninitialized);
    data.SetPosition(0);
    bytes.resize(data.Read(bytes.data(), bytes.size()));
    data.SetPosition(0);
    return bytes;
}

void TMimeAttachment::SetDataBytes(const QByteArray& data)
{
    FDeferred.reset();
    TStream& stream = Data();
    stream.SetSize(0);
    stream.SetPosition(0);
    stream.WriteBuffer(data.constData(), data.size());
    stream.SetPosition(0);
}

void TMimeAttachment::SetDeferredContent(TDeferredContent content)
{
    FDeferred = std::move(content);
}

qint64 TMimeAttachment::Size()
{
    return FDeferred ? FDeferred->EstimatedSize() : Data().Size();
}

std::unique_ptr<TStream> TMimeAttachment::CreateDataStream()
{
    return std::make_unique<TFastMemoryStream>();
}
