#include "content/view/MesgViewModel.h"

#include "base/SafeFile.h"
#include "content/IdCoderHeader.h"
#include "content/MesgUtils.h"
#include "content/MimeWriter.h"
#include "content/Utf16Funcs.h"
#include "content/WideIdEMailAddress.h"
#include "content/attach/AttachmentNames.h"
#include "content/attach/Attachments.h"
#include "content/view/HtmlText.h"
#include "settings/SystemCodePage.h"

#include <QUrl>

#include <stdexcept>
#include <utility>

namespace {

CharsetId LabelCharset(const QByteArray& label)
{
    return CharsetFromName(NormalizeCharsetName(QString::fromLatin1(label)));
}

// The first address of a decoded address line, as name and address.
void FirstAddress(const QString& line, QString& name, QString& address)
{
    TWideIdEMailAddressList list;
    list.SetAddressListText(line, 1);
    if (list.Count() > 0) {
        name = list.Item(0).Name();
        address = list.Item(0).Address();
    }
}

} // namespace

TMesgViewModel::TMesgViewModel(TAttachments attachments)
    : FKind(attachments)
{
    FMessage.OnCreateAttachment = [this]() -> std::unique_ptr<TMimeAttachment> {
        if (FKind == TAttachments::Empty)
            return std::make_unique<TEmptyAttachment>();
        return std::make_unique<TAttachmentFastMem>(FMessage);
    };
    // Header fields stay raw 8-bit text, as the view read them.
    FMessage.OnHeaderEncoding = [this] {
        return THeaderEncoding{'8', THeaderTransfer::Bit8, CharsetName(FChosenCharset).toLatin1()};
    };
}

void TMesgViewModel::LoadSource(const TSharedSource& source)
{
    FParser.Parse(source, FMessage, TMimeParser::TMode::Deferred);
}

void TMesgViewModel::DisplayMessage(const TViewOptions& options, bool unsent)
{
    FUnsent = unsent;
    LoadMessage(LabelCharset(FMessage.Charset()), false, options);
}

void TMesgViewModel::ChangeCharset(CharsetId charset, const TViewOptions& options)
{
    if (charset != FChosenCharset)
        LoadMessage(charset, true, options);
}

void TMesgViewModel::LoadMessage(CharsetId charset, bool keep, const TViewOptions& options)
{
    FOptions = options;
    FChosenCharset = charset;
    LoadBody(keep);
    DecodeFields();
    FReadOnly = !(FUnsent || IsUnsent(&FMessage));
    FShown = ShownBody(FPlainText, FOptions, !FReadOnly);
}

void TMesgViewModel::Clear()
{
    FMessage.Clear();
    FUnsent = false;
    FReadOnly = true;
    FChosenCharset = 0;
    FEffectiveCharset = 0;
    FHasPlain = false;
    FHasHtml = false;
    FPlainText.clear();
    FShown = {};
    FHtmlText.clear();
    FFields = {};
}

void TMesgViewModel::SetReadOnly(bool readOnly)
{
    if (readOnly == FReadOnly)
        return;
    FReadOnly = readOnly;
    FShown = ShownBody(FPlainText, FOptions, !FReadOnly);
}

void TMesgViewModel::LoadBody(bool keep)
{
    FEffectiveCharset = FChosenCharset;
    FHasPlain = false;
    FHasHtml = false;
    FPlainText.clear();
    FHtmlText.clear();
    if (FMessage.Containers().empty()) {
        // A single-part message: the message's own body is its text.
        if (FMessage.ContentType().startsWith("text/html"))
            LoadHtml(FMessage.Body(), FMessage.Charset(), keep);
        else
            LoadPlain(FMessage.Body(), FMessage.Charset(), keep);
        return;
    }
    const int plain = FMessage.FirstTextPart("text/plain");
    if (plain >= 0) {
        const auto& part = static_cast<const TMimeTextPart&>(FMessage.Part(plain));
        LoadPlain(part.Body(), part.Charset(), keep);
    }
    const int html = FMessage.FirstTextPart("text/html");
    if (html >= 0) {
        const auto& part = static_cast<const TMimeTextPart&>(FMessage.Part(html));
        LoadHtml(part.Body(), part.Charset(), keep);
    }
}

void TMesgViewModel::LoadPlain(const QByteArray& body, const QByteArray& label, bool keep)
{
    FPlainText = DecodeBody(body, label, keep);
    FHasPlain = true;
}

void TMesgViewModel::LoadHtml(const QByteArray& body, QByteArray label, bool keep)
{
    // A part that names no charset is read in the one its document names.
    if (LabelCharset(label) == 0 && !HtmlMetaCharset(body).isEmpty())
        label = HtmlMetaCharset(body);
    FHtmlText = DecodeBody(body, label, keep);
    FHasHtml = true;
}

QString TMesgViewModel::DecodeBody(const QByteArray& body, const QByteArray& label, bool keep)
{
    CharsetId charset = keep ? FChosenCharset : LabelCharset(label);
    if (charset == 0)
        charset = DefaultMessageCharset();
    FEffectiveCharset = charset;
    QString decoded = DecodeBodyText(body, charset);
    // Malformed UTF-8 decodes to nothing; a message with one bad byte must
    // still show its text, with the bad bytes marked.
    if (decoded.isEmpty() && !body.isEmpty())
        decoded = QString::fromUtf8(body);
    // Trimmed once decoded: an ISO-2022-JP text opens with an escape.
    return TrimControls(decoded);
}

void TMesgViewModel::DecodeFields()
{
    FFields = {};
    FFields.Subject = Field("Subject");
    FFields.From = Field("From");
    FFields.To = Field("To");
    FFields.Cc = Field("Cc");
    FFields.Bcc = Field("Bcc");
    FFields.Sender = Field("Sender");
    FFields.ReplyTo = Field("Reply-To");
    FFields.Organization = Field("Organization");
    FFields.Newsgroups = Field("Newsgroups");
    FFields.Date = FormatMessageDate(0, DateTimeToDays(FMessage.Date()));
    FirstAddress(FFields.From, FFields.FromName, FFields.FromAddress);
    FirstAddress(FFields.To, FFields.ToName, FFields.ToAddress);
}

QString TMesgViewModel::Field(const char* name) const
{
    const CharsetId charset = FEffectiveCharset != 0 ? FEffectiveCharset : DefaultMessageCharset();
    return DecodeHeaderField(FMessage.Headers().Value(name), charset);
}

QString TMesgViewModel::HeaderText() const
{
    QStringList lines;
    for (const TMimeHeader& header : FMessage.Headers().Items()) {
        const QByteArray line = header.Name + ": " + header.Value;
        QString text = DecodeCharsetText(line, FEffectiveCharset);
        lines.append(text.isEmpty() ? DecodeSystemText(line) : text);
    }
    return lines.join(QLatin1Char('\n'));
}

QString TMesgViewModel::HtmlBodyText() const
{
    return FHasHtml ? HtmlToText(FHtmlText) : QString();
}

QString TMesgViewModel::BodyText() const
{
    return FHasPlain ? FPlainText : HtmlBodyText();
}

int TMesgViewModel::CidAttachment(const QString& url) const
{
    if (!url.startsWith(QLatin1String("cid:"), Qt::CaseInsensitive))
        return -1;
    const QString id = StripAngles(QUrl::fromPercentEncoding(url.mid(4).toUtf8()));
    if (id.isEmpty())
        return -1;
    for (int i = 0; i < AttachmentCount(); ++i) {
        const QString contentId = StripAngles(QString::fromLatin1(Attachment(i).ContentId()));
        if (contentId.compare(id, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

TMimeAttachment& TMesgViewModel::Attachment(int index)
{
    return const_cast<TMimeAttachment&>(std::as_const(*this).Attachment(index));
}

const TMimeAttachment& TMesgViewModel::Attachment(int index) const
{
    for (int i = 0, found = 0; i < FMessage.PartCount(); ++i) {
        if (FMessage.Part(i).Kind() != TMimePart::TKind::Attachment)
            continue;
        if (found++ == index)
            return static_cast<const TMimeAttachment&>(FMessage.Part(i));
    }
    throw std::out_of_range("attachment index");
}

QByteArray TMesgViewModel::CidResource(const QString& url)
{
    const int index = CidAttachment(url);
    return index < 0 ? QByteArray() : Attachment(index).DataBytes();
}

QString TMesgViewModel::AttachmentName(int index)
{
    TMimeAttachment& attachment = Attachment(index);
    if (auto* wide = dynamic_cast<TWideAttachmentMemory*>(&attachment))
        return wide->DisplayName();
    return DisplayName(FMessage, attachment);
}

qint64 TMesgViewModel::AttachmentSize(int index)
{
    return Attachment(index).Size();
}

QString TMesgViewModel::EnsureTempFile(int index)
{
    auto* attachment = dynamic_cast<TAttachmentFastMem*>(&Attachment(index));
    if (!attachment)
        throw EFCreateError(QStringLiteral("A preview keeps no attachment data to write."));
    return attachment->EnsureTempFile();
}

void TMesgViewModel::SaveAttachment(int index, const QString& path)
{
    WriteFileSafely(path, Attachment(index).Data(), TSafeFileStream::TMode::Replace);
}

void TMesgViewModel::SaveAsText(const QString& path) const
{
    SaveAsText(path, FFields, BodyText());
}

void TMesgViewModel::SaveAsText(const QString& path, const TMesgFieldTexts& fields, const QString& body)
{
    WriteTextFile(path, TextForm(fields, body));
}

void TMesgViewModel::SaveMessageFile(const QString& path, const TEditedMessage* edited)
{
    if (edited)
        RebuildMessage(FMessage, *edited);
    WriteMessageFile(FMessage, path);
}

void TMesgViewModel::SaveBodyToStream(TStream& target, const QString& editedText)
{
    if (!FReadOnly && FHasPlain) {
        TEditedMessage edited;
        edited.Body = editedText;
        ReplaceBody(FMessage, editedText, RebuildCharset(FEffectiveCharset, edited));
    }
    WriteMimeMessage(FMessage, target);
}

QString TMesgViewModel::PreviewText(const TViewOptions& options) const
{
    return ::PreviewText(FFields, SplitLines(BodyText()), options);
}
