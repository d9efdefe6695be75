#include "content/attach/AttachmentNames.h"

#include "content/GMimeHandle.h"
#include "content/MimeMessage.h"
#include "content/Utf16Funcs.h"

#include <QFile>
#include <QMimeDatabase>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

constexpr int kMaxExtensionBytes = 32;

// Parameter values that GMime decoded (RFC 2231, RFC 2047) are UTF-8; a
// value it took as it stands holds the message's own 8-bit bytes.
struct TParameter
{
    QByteArray Value;
    bool Decoded = false;
};

TParameter ParameterOf(GMimeParamList* list, const char* name)
{
    GMimeParam* param = list ? g_mime_param_list_get_parameter(list, name) : nullptr;
    if (!param || !g_mime_param_get_value(param))
        return {};
    return {QByteArray(g_mime_param_get_value(param)),
            g_mime_param_get_encoding_method(param) != GMIME_PARAM_ENCODING_METHOD_DEFAULT};
}

TParameter DispositionName(const QByteArray& value)
{
    if (value.isEmpty())
        return {};
    const auto disposition =
        TGObjectHandle<GMimeContentDisposition>::Adopt(g_mime_content_disposition_parse(nullptr, value.constData()));
    return disposition ? ParameterOf(g_mime_content_disposition_get_parameters(disposition.Get()), "filename")
                       : TParameter{};
}

TParameter ContentTypeName(const QByteArray& value)
{
    if (value.isEmpty())
        return {};
    const auto type = TGObjectHandle<GMimeContentType>::Adopt(g_mime_content_type_parse(nullptr, value.constData()));
    return type ? ParameterOf(g_mime_content_type_get_parameters(type.Get()), "name") : TParameter{};
}

bool IsDropped(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool IsReplaced(char16_t c)
{
    return QStringView(u"\\/:*?\"<>|").contains(QChar(c));
}

// The charset raw 8-bit names are read in: that of the first text part.
CharsetId FirstTextCharset(const TMimeMessage& message)
{
    const int index = message.FirstTextPart("text/");
    return index < 0 ? 0 : CharsetFromName(NormalizeCharsetName(QString::fromLatin1(message.Part(index).Charset())));
}

int AttachmentNumber(const TMimeMessage& message, const TMimeAttachment& attachment)
{
    int number = 0;
    for (int i = 0; i < message.PartCount(); ++i) {
        if (message.Part(i).Kind() != TMimePart::TKind::Attachment)
            continue;
        ++number;
        if (&message.Part(i) == &attachment)
            break;
    }
    return number;
}

struct TSplitName
{
    QString Base;
    QString Extension;   // with its dot; empty when none
};

TSplitName SplitExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || name.size() - dot > kMaxExtensionBytes || name.mid(dot).toUtf8().size() > kMaxExtensionBytes)
        return {name, {}};
    return {name.left(dot), name.mid(dot)};
}

} // namespace

QString AttachmentHeaderName(const TMimePart& part, CharsetId rawCharset)
{
    EnsureGMimeInitialized();
    TParameter name = DispositionName(part.Headers().Value("Content-Disposition"));
    if (name.Value.isEmpty())
        name = ContentTypeName(part.Headers().Value("Content-Type"));
    if (name.Value.isEmpty())
        name.Value = part.FileName();   // a name from inside the content
    return name.Decoded ? QString::fromUtf8(name.Value) : DecodeCharsetText(name.Value, rawCharset);
}

QString CleanAttachmentName(const QString& name)
{
    const qsizetype cut = std::max({name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')),
                                    name.lastIndexOf(QLatin1Char(':'))});
    return CleanFileNameText(name.mid(cut + 1));
}

QString CleanFileNameText(const QString& text)
{
    QString clean;
    for (const QChar c : text) {
        if (IsDropped(c.unicode()))
            continue;
        if (!IsReplaced(c.unicode()))
            clean.append(c);
        else if (!clean.endsWith(QLatin1Char('_')))
            clean.append(QLatin1Char('_'));
    }
    clean = clean.trimmed();
    qsizetype start = 0;
    while (start < clean.size() && (clean[start] == QLatin1Char('.') || clean[start].isSpace()))
        ++start;
    return clean.mid(start);
}

QString CutToFileNameBytes(const QString& text, qsizetype maxBytes)
{
    if (QFile::encodeName(text).size() <= maxBytes)
        return text;
    // Characters are counted one by one: a subject may be very long.
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    qsizetype fits = 0;
    qsizetype bytes = 0;
    for (qsizetype end = characters.toNextBoundary(); end > 0; end = characters.toNextBoundary()) {
        bytes += QFile::encodeName(text.mid(fits, end - fits)).size();
        if (bytes > maxBytes)
            break;
        fits = end;
    }
    return text.left(fits);
}

QString FitFileName(const QString& name, int maxBytes)
{
    if (name.toUtf8().size() <= maxBytes)
        return name;
    const TSplitName split = SplitExtension(name);
    const qsizetype room = maxBytes - split.Extension.toUtf8().size();
    return CutToFileNameBytes(split.Base, room) + split.Extension;
}

QString NumberedFileName(const QString& name, int counter)
{
    const TSplitName split = SplitExtension(name);
    const QString number = QStringLiteral("%1").arg(counter, 2, 10, QLatin1Char('0'));
    const qsizetype room = kMaxFileNameBytes - split.Extension.toUtf8().size() - number.size();
    return CutToFileNameBytes(split.Base, room) + number + split.Extension;
}

QString DisplayName(const TMimeMessage& message, const TMimeAttachment& attachment)
{
    QString name = CleanAttachmentName(AttachmentHeaderName(attachment, FirstTextCharset(message)));
    if (name.isEmpty()) {
        name = QStringLiteral("attachment%1").arg(AttachmentNumber(message, attachment));
        const QString suffix =
            QMimeDatabase().mimeTypeForName(QString::fromLatin1(attachment.ContentType())).preferredSuffix();
        if (!suffix.isEmpty())
            name += QLatin1Char('.') + suffix;
    }
    return FitFileName(name);
}
