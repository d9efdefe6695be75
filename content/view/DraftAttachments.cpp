#include "content/view/DraftAttachments.h"

#include "content/MimeMessage.h"

#include <algorithm>

namespace {

bool IsPlainAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
}

// `parameter="value"`, or for text outside ASCII `parameter*=UTF-8''...`
// (RFC 2231) after `fallback="=?UTF-8?B?...?="` (RFC 2047), which older
// programs read.
QByteArray NameParameters(const QByteArray& parameter, const QString& name)
{
    if (IsPlainAscii(name)) {
        QByteArray quoted = name.toLatin1();
        quoted.replace('\\', "\\\\").replace('"', "\\\"");
        return parameter + "=\"" + quoted + '"';
    }
    const QByteArray utf8 = name.toUtf8();
    return parameter + "=\"=?UTF-8?B?" + utf8.toBase64() + "?=\"; " + parameter + "*=UTF-8''" +
           utf8.toPercentEncoding();
}

} // namespace

void AddFileAttachment(TMimeMessage& message, const QString& name, const QByteArray& data, QByteArray mimeType)
{
    if (mimeType.isEmpty())
        mimeType = "application/octet-stream";
    std::unique_ptr<TMimeAttachment> attachment = message.CreateAttachment();
    attachment->Headers().Add("Content-Type", mimeType + "; " + NameParameters("name", name));
    attachment->Headers().Add("Content-Transfer-Encoding", "base64");
    attachment->Headers().Add("Content-Disposition", "attachment; " + NameParameters("filename", name));
    attachment->SetContentType(mimeType);
    attachment->SetDataBytes(data);
    // A part that names no container (the default place) is written last
    // into the outermost one.
    message.AddPart(std::move(attachment));
}

void RemoveAttachment(TMimeMessage& message, int attachmentIndex)
{
    for (int i = 0, found = 0; i < message.PartCount(); ++i) {
        if (message.Part(i).Kind() != TMimePart::TKind::Attachment)
            continue;
        if (found++ == attachmentIndex) {
            message.RemovePart(i);
            return;
        }
    }
}
