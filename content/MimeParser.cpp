#include "content/MimeParser.h"

#include "base/FastMemoryStream.h"
#include "content/GMimeHandle.h"
#include "content/GMimeStreamAdapter.h"
#include "content/MimeCoders.h"
#include "content/MimeMessage.h"

#include <optional>

namespace {

bool IsOneOf(const QByteArray& value, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (value == name)
            return true;
    return false;
}

// The header fields of a GMime object, raw values unfolded.
TMimeHeaders HeadersOf(GMimeObject* object)
{
    TMimeHeaders headers;
    GMimeHeaderList* list = g_mime_object_get_header_list(object);
    const int count = g_mime_header_list_get_count(list);
    for (int i = 0; i < count; ++i) {
        GMimeHeader* header = g_mime_header_list_get_header_at(list, i);
        const char* raw = g_mime_header_get_raw_value(header);
        headers.Add(QByteArray(g_mime_header_get_name(header)), TMimeHeaders::Unfold(raw ? raw : ""));
    }
    return headers;
}

// "type/subtype" in lower case, and the charset label.
void ContentTypeOf(GMimeObject* object, QByteArray& type, QByteArray& charset)
{
    GMimeContentType* contentType = g_mime_object_get_content_type(object);
    if (!contentType)
        return;
    const TGCharHandle mimeType(g_mime_content_type_get_mime_type(contentType));
    type = QByteArray(mimeType.Get()).toLower();
    charset = QByteArray(g_mime_content_type_get_parameter(contentType, "charset")).trimmed();
}

QByteArray BytesOf(GMimeStream* memory)
{
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(memory));
    return QByteArray(reinterpret_cast<const char*>(bytes->data), static_cast<qsizetype>(bytes->len));
}

// Fills one message object from GMime's tree.
class TBuilder
{
public:
    TBuilder(TMimeMessage& message, const TMimeParser::TLimits& limits, TMimeParser::TMode mode)
        : FMessage(message), FLimits(limits), FMode(mode) {}

    // Lets attachments keep their content in `source`, which the parser
    // reads through streams of type `sourceType` starting at offset 0.
    void DeferTo(const TSharedSource& source, GType sourceType)
    {
        FSource = source;
        FSourceType = sourceType;
    }

    void Root(GMimeObject* root)
    {
        FMessage.Headers() = HeadersOf(root);
        for (const TMimeHeader& header : FMessage.Headers().Items())
            if (!TMimeMessage::IsStandardHeader(header.Name))
                FMessage.ExtraHeaders().Add(header.Name, header.Value);
        QByteArray type = "text/plain";
        QByteArray charset;
        ContentTypeOf(root, type, charset);
        FMessage.SetContentType(type);
        FMessage.SetCharset(charset);
        if (GMIME_IS_MULTIPART(root)) {
            FMessage.SetBody(QByteArray(g_mime_multipart_get_prologue(GMIME_MULTIPART(root))));
            const int index = FMessage.AddContainer({type, FMessage.Headers(), -1, FOrder++});
            Children(GMIME_MULTIPART(root), index, 1);
        } else {
            Leaf(root, -1, true);
        }
    }

private:
    void Children(GMimeMultipart* multipart, int container, int depth)
    {
        const int count = g_mime_multipart_get_count(multipart);
        for (int i = 0; i < count && FPartCount < FLimits.MaxParts; ++i) {
            GMimeObject* child = g_mime_multipart_get_part(multipart, i);
            if (!GMIME_IS_MULTIPART(child)) {
                Leaf(child, container, false);
            } else if (depth < FLimits.MaxDepth) {
                QByteArray type;
                QByteArray charset;
                ContentTypeOf(child, type, charset);
                const int index = FMessage.AddContainer({type, HeadersOf(child), container, FOrder++});
                Children(GMIME_MULTIPART(child), index, depth + 1);
            }
        }
    }

    // A leaf: a text part, an attachment, or (for a single-part message)
    // the message's own body.
    void Leaf(GMimeObject* object, int container, bool isRoot)
    {
        ++FPartCount;
        TMimeHeaders headers = HeadersOf(object);
        QByteArray type = "text/plain";
        QByteArray charset;
        ContentTypeOf(object, type, charset);
        // The leaf is read as text unless it is an attachment as mail
        // programs show them: a disposition "attachment", a file name, or a
        // type that is not text.
        auto text = std::make_unique<TMimeTextPart>();
        text->Headers() = headers;
        const bool declared = text->Disposition() == "attachment" || !text->FileName().isEmpty()
                              || !type.startsWith("text/");
        if (declared && FMode == TMimeParser::TMode::Structure) {
            AddAttachment(std::move(headers), type, charset, {}, {}, container);
            return;
        }
        if (declared && FSource) {
            if (std::optional<TDeferredContent> deferred = Deferred(object, headers, type)) {
                AddAttachment(std::move(headers), type, charset, {}, {}, container)->SetDeferredContent(*std::move(deferred));
                return;
            }
        }
        // Only plain text can hide more attachments (uuencoded blocks); other
        // text parts are not decoded for the structure.
        if (FMode == TMimeParser::TMode::Structure && type != "text/plain" && !isRoot) {
            text->SetContentType(type);
            text->SetCharset(charset);
            text->SetPlace(container, FOrder++);
            FMessage.AddPart(std::move(text));
            return;
        }
        TEmbeddedFile coded;
        const QByteArray content = Content(object, headers, type, coded);
        if (declared || !coded.Name.isEmpty()) {
            AddAttachment(std::move(headers), type, charset, content, coded.Name, container);
            return;
        }
        // Plain text may carry uuencoded, XXencoded or BinHex files, which
        // mail programs show as attachments.
        TEmbeddedScan scan;
        if (type == "text/plain")
            scan = ExtractEmbeddedFiles(content);
        else
            scan.Text = content;
        if (isRoot) {
            FMessage.SetBody(scan.Text);
        } else {
            text->SetContentType(type);
            text->SetCharset(charset);
            text->SetBody(scan.Text);
            text->SetPlace(container, FOrder++);
            FMessage.AddPart(std::move(text));
        }
        for (TEmbeddedFile& file : scan.Files)
            AddAttachment({}, "application/octet-stream", {}, file.Data, file.Name, container);
    }

    TMimeAttachment* AddAttachment(TMimeHeaders headers, const QByteArray& type, const QByteArray& charset,
                                   const QByteArray& data, const QByteArray& name, int container)
    {
        std::unique_ptr<TMimeAttachment> attachment = FMessage.CreateAttachment();
        attachment->Headers() = std::move(headers);
        attachment->SetContentType(type);
        attachment->SetCharset(charset);
        if (attachment->FileName().isEmpty())
            attachment->SetFileName(name);
        attachment->SetDataBytes(data);
        attachment->SetPlace(container, FOrder++);
        TMimeAttachment* added = attachment.get();
        FMessage.AddPart(std::move(attachment));
        return added;
    }

    // Where a leaf's content lies in the shared source, when GMime left it
    // there (a part, not a message, in a transfer encoding GMime decodes).
    // XXencode and BinHex name their file inside the content, which the
    // list needs at once: they are decoded now.
    std::optional<TDeferredContent> Deferred(GMimeObject* object, const TMimeHeaders& headers, const QByteArray& type) const
    {
        if (!GMIME_IS_PART(object) || IsXxencode(headers) || IsBinHex(headers, type))
            return std::nullopt;
        GMimeDataWrapper* wrapper = g_mime_part_get_content(GMIME_PART(object));
        GMimeStream* content = wrapper ? g_mime_data_wrapper_get_stream(wrapper) : nullptr;
        if (!content || G_OBJECT_TYPE(content) != FSourceType)
            return std::nullopt;
        const char* encoding = g_mime_content_encoding_to_string(g_mime_data_wrapper_get_encoding(wrapper));
        return TDeferredContent(FSource, content->bound_start, content->bound_end, QByteArray(encoding ? encoding : ""));
    }

    static bool IsXxencode(const TMimeHeaders& headers)
    {
        const QByteArray encoding = headers.Value("Content-Transfer-Encoding").trimmed().toLower();
        return IsOneOf(encoding, {"x-xxencode", "xxencode", "x-xxe", "xxe"});
    }

    static bool IsBinHex(const TMimeHeaders& headers, const QByteArray& type)
    {
        return headers.Value("Content-Transfer-Encoding").toLower().contains("binhex") || type == "application/mac-binhex40";
    }

    // The content of a leaf with its transfer encoding removed. XXencode
    // and BinHex, which GMime does not know, are decoded here; their file
    // name goes to `coded`.
    static QByteArray Content(GMimeObject* object, const TMimeHeaders& headers, const QByteArray& type,
                              TEmbeddedFile& coded)
    {
        const auto memory = TGObjectHandle<GMimeStream>::Adopt(g_mime_stream_mem_new());
        if (GMIME_IS_MESSAGE_PART(object)) {
            GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
            if (inner)
                g_mime_object_write_to_stream(GMIME_OBJECT(inner), DosFormat(), memory.Get());
            return BytesOf(memory.Get());
        }
        if (!GMIME_IS_PART(object))
            return {};
        GMimeDataWrapper* wrapper = g_mime_part_get_content(GMIME_PART(object));
        if (!wrapper)
            return {};
        const bool xxe = IsXxencode(headers);
        const bool binhex = IsBinHex(headers, type);
        if (!xxe && !binhex) {
            g_mime_data_wrapper_write_to_stream(wrapper, memory.Get());
            return BytesOf(memory.Get());
        }
        GMimeStream* raw = g_mime_data_wrapper_get_stream(wrapper);
        g_mime_stream_reset(raw);
        g_mime_stream_write_to_stream(raw, memory.Get());
        const QByteArray text = BytesOf(memory.Get());
        if (xxe ? DecodeCodedBlock(text, coded) : DecodeBinHex(text, coded))
            return coded.Data;
        coded = {};
        return text;
    }

    static GMimeFormatOptions* DosFormat()
    {
        static GMimeFormatOptions* const options = [] {
            GMimeFormatOptions* format = g_mime_format_options_new();
            g_mime_format_options_set_newline_format(format, GMIME_NEWLINE_FORMAT_DOS);
            return format;
        }();
        return options;
    }

    TMimeMessage& FMessage;
    const TMimeParser::TLimits& FLimits;
    TMimeParser::TMode FMode;
    TSharedSource FSource;   // set when attachments may stay in the source
    GType FSourceType = G_TYPE_INVALID;
    int FOrder = 0;
    int FPartCount = 0;
};

} // namespace

void TMimeParser::TOptionsDeleter::operator()(void* options) const
{
    g_mime_parser_options_free(static_cast<GMimeParserOptions*>(options));
}

TMimeParser::TMimeParser()
    : TMimeParser(TLimits{})
{
}

TMimeParser::TMimeParser(TLimits limits)
    : FLimits(limits)
{
    EnsureGMimeInitialized();
    FOptions.reset(g_mime_parser_options_new());
}

TMimeParser::~TMimeParser() = default;

void TMimeParser::Parse(TStream& source, TMimeMessage& message, TMode mode) const
{
    Build(source, message, mode == TMode::Deferred ? TMode::Full : mode, nullptr);
}

void TMimeParser::Parse(const QByteArray& source, TMimeMessage& message, TMode mode) const
{
    auto stream = std::make_shared<TFastMemoryStream>(TFastMemoryStream::BlockSizeFor(source.size()));
    stream->WriteBuffer(source.constData(), source.size());
    Parse(TSharedSource(std::move(stream)), message, mode);
}

void TMimeParser::Parse(const TSharedSource& source, TMimeMessage& message, TMode mode) const
{
    TSourceView view(source);
    Build(view, message, mode, mode == TMode::Deferred ? &source : nullptr);
}

void TMimeParser::Build(TStream& source, TMimeMessage& message, TMode mode, const TSharedSource* shared) const
{
    message.Clear();
    const auto stream = TGObjectHandle<GMimeStream>::Adopt(NewGMimeStreamAdapter(source));
    const auto parser = TGObjectHandle<GMimeParser>::Adopt(g_mime_parser_new_with_stream(stream.Get()));
    // GMime's parts refer to their content in the source instead of copying
    // it; the builder decodes what it needs before the source may change
    // (deferred attachments share the source and keep it), and the parts go
    // with `root` at the end of this call.
    g_mime_parser_set_persist_stream(parser.Get(), TRUE);
    const auto root = TGObjectHandle<GMimeObject>::Adopt(
        g_mime_parser_construct_part(parser.Get(), static_cast<GMimeParserOptions*>(FOptions.get())));
    if (!root)
        return;
    TBuilder builder(message, FLimits, mode);
    if (shared)
        builder.DeferTo(*shared, G_OBJECT_TYPE(stream.Get()));
    builder.Root(root.Get());
}
