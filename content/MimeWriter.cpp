#include "content/MimeWriter.h"

#include "base/Stream.h"
#include "content/GMimeHandle.h"
#include "content/MimeMessage.h"

#include <algorithm>
#include <climits>
#include <map>
#include <vector>

namespace {

using TObject = TGObjectHandle<GMimeObject>;

bool HasEightBit(const QByteArray& value)
{
    return std::any_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

class TWriter
{
public:
    explicit TWriter(const TMimeMessage& message) : FMessage(message), FEncoding(message.HeaderEncoding()) {}

    [[nodiscard]] TObject Build()
    {
        TObject root = RootObject();
        WriteMessageHeaders(root.Get());
        // A plain message that names no type stays without the field.
        const bool plain = FMessage.ContentType() == "text/plain" && FMessage.Charset().isEmpty();
        if (!g_mime_object_get_header(root.Get(), "Content-Type") && !GMIME_IS_MULTIPART(root.Get()) && !plain)
            SetContentType(root.Get(), FMessage.ContentType(), FMessage.Charset(), {});
        if (GMIME_IS_MULTIPART(root.Get()) && !g_mime_object_get_header(root.Get(), "MIME-Version"))
            AppendRaw(root.Get(), "MIME-Version", "1.0");
        ChooseEncodings();
        // A multipart whose fields name no boundary gets a new one (and its
        // Content-Type field is rewritten to carry it).
        for (GMimeMultipart* multipart : FMultiparts)
            if (!g_mime_multipart_get_boundary(multipart))
                g_mime_multipart_set_boundary(multipart, nullptr);
        return root;
    }

private:
    TObject RootObject()
    {
        if (!FMessage.Containers().empty())
            return Container(0);
        if (FMessage.PartCount() == 0)
            return TextLeaf(FMessage.Body(), FMessage.ContentType(), FMessage.Charset(), false);
        if (FMessage.PartCount() == 1 && FMessage.Body().isEmpty() &&
            FMessage.Part(0).Kind() == TMimePart::TKind::Attachment)
            return Leaf(FMessage.Part(0), true);
        // Parts added to a message that had none: the body becomes the first part of a mixed multipart.
        TObject root = NewMultipart("mixed");
        SetContentType(root.Get(), "multipart/mixed", {}, {});
        if (!FMessage.Body().isEmpty())
            Add(root.Get(), TextLeaf(FMessage.Body(), "text/plain", FMessage.Charset(), true));
        for (int i = 0; i < FMessage.PartCount(); ++i)
            Add(root.Get(), Leaf(FMessage.Part(i), false));
        return root;
    }

    // A multipart container with its children in source order; parts that
    // name no container (added by the program) go into the outermost one.
    TObject Container(int index)
    {
        const TMimeContainer& container = FMessage.Containers()[static_cast<std::size_t>(index)];
        const qsizetype slash = container.ContentType.indexOf('/');
        const QByteArray subtype = slash < 0 ? QByteArray("mixed") : container.ContentType.mid(slash + 1);
        TObject object = NewMultipart(subtype);
        if (index == 0) {
            g_mime_multipart_set_prologue(GMIME_MULTIPART(object.Get()), FMessage.Body().constData());
        } else {
            for (const TMimeHeader& header : container.Headers.Items())
                AppendRaw(object.Get(), header.Name, header.Value);
        }
        std::multimap<int, TObject> children;
        for (int i = 0; i < static_cast<int>(FMessage.Containers().size()); ++i)
            if (FMessage.Containers()[static_cast<std::size_t>(i)].Parent == index)
                children.emplace(FMessage.Containers()[static_cast<std::size_t>(i)].Order, Container(i));
        for (int i = 0; i < FMessage.PartCount(); ++i) {
            const TMimePart& part = FMessage.Part(i);
            if (part.Parent() == index || (index == 0 && part.Parent() < 0))
                children.emplace(part.Parent() < 0 ? INT_MAX : part.Order(), Leaf(part, false));
        }
        for (auto& [order, child] : children)
            Add(object.Get(), child);
        return object;
    }

    // New GMime objects start with a Content-Type field of their own; ours
    // come from the message, in its order.
    TObject NewMultipart(const QByteArray& subtype)
    {
        auto object = TObject::Adopt(GMIME_OBJECT(g_mime_multipart_new_with_subtype(subtype.constData())));
        g_mime_header_list_clear(g_mime_object_get_header_list(object.Get()));
        FMultiparts.push_back(GMIME_MULTIPART(object.Get()));
        return object;
    }

    TObject NewPart(const QByteArray& content, bool attachment)
    {
        auto object = TObject::Adopt(GMIME_OBJECT(g_mime_part_new()));
        g_mime_header_list_clear(g_mime_object_get_header_list(object.Get()));
        auto stream = TGObjectHandle<GMimeStream>::Adopt(
            g_mime_stream_mem_new_with_buffer(content.constData(), static_cast<size_t>(content.size())));
        auto wrapper = TGObjectHandle<GMimeDataWrapper>::Adopt(
            g_mime_data_wrapper_new_with_stream(stream.Get(), GMIME_CONTENT_ENCODING_DEFAULT));
        g_mime_part_set_content(GMIME_PART(object.Get()), wrapper.Get());
        FLeaves.push_back({GMIME_PART(object.Get()), attachment});
        return object;
    }

    // A part without a known transfer encoding gets base64 for an
    // attachment and the best 7-bit one for text; a forwarded message
    // (message/*) may only be 7bit or 8bit. Runs once every field is set.
    void ChooseEncodings()
    {
        for (const auto& [part, attachment] : FLeaves) {
            if (g_mime_part_get_content_encoding(part) != GMIME_CONTENT_ENCODING_DEFAULT)
                continue;
            GMimeContentType* type = g_mime_object_get_content_type(GMIME_OBJECT(part));
            const bool composite = type && g_mime_content_type_is_type(type, "message", "*");
            GMimeContentEncoding encoding = GMIME_CONTENT_ENCODING_BASE64;
            if (composite)
                encoding = g_mime_part_get_best_content_encoding(part, GMIME_ENCODING_CONSTRAINT_8BIT);
            else if (!attachment)
                encoding = g_mime_part_get_best_content_encoding(part, GMIME_ENCODING_CONSTRAINT_7BIT);
            g_mime_part_set_content_encoding(part, encoding);
        }
    }

    static void Add(GMimeObject* multipart, const TObject& child)
    {
        g_mime_multipart_add(GMIME_MULTIPART(multipart), child.Get());
    }

    // One leaf part. The root leaf of a single-part message takes the
    // message's header fields instead of its own.
    TObject Leaf(const TMimePart& part, bool isRoot)
    {
        QByteArray content;
        if (part.Kind() == TMimePart::TKind::Text)
            content = static_cast<const TMimeTextPart&>(part).Body();
        else
            content = const_cast<TMimeAttachment&>(static_cast<const TMimeAttachment&>(part)).DataBytes();
        TObject object = NewPart(content, part.Kind() == TMimePart::TKind::Attachment);
        if (!isRoot) {
            AppendPartHeaders(object.Get(), part);
            if (!g_mime_object_get_header(object.Get(), "Content-Type"))
                SetContentType(object.Get(), part.ContentType(), part.Charset(), part.FileName());
        }
        return object;
    }

    TObject TextLeaf(const QByteArray& text, const QByteArray& type, const QByteArray& charset, bool withHeaders)
    {
        TObject object = NewPart(text, false);
        if (withHeaders)
            SetContentType(object.Get(), type, charset, {});
        return object;
    }

    void AppendPartHeaders(GMimeObject* object, const TMimePart& part)
    {
        for (const TMimeHeader& header : part.Headers().Items())
            if (!IsUnknownEncoding(header))
                AppendRaw(object, header.Name, header.Value);
        if (part.Headers().IsEmpty() && !part.FileName().isEmpty())
            AppendRaw(object, "Content-Disposition", "attachment; filename=\"" + part.FileName() + '"');
    }

    // A transfer encoding the writer does not produce (XXencode, BinHex):
    // the field is left out and the part gets an encoding of its own.
    static bool IsUnknownEncoding(const TMimeHeader& header)
    {
        return header.Name.compare("Content-Transfer-Encoding", Qt::CaseInsensitive) == 0 &&
               g_mime_content_encoding_from_string(header.Value.trimmed().constData()) == GMIME_CONTENT_ENCODING_DEFAULT;
    }

    static void SetContentType(GMimeObject* object, const QByteArray& type, const QByteArray& charset,
                               const QByteArray& name)
    {
        QByteArray value = type.isEmpty() ? QByteArray("text/plain") : type;
        if (!charset.isEmpty())
            value += "; charset=\"" + charset + '"';
        if (!name.isEmpty())
            value += "; name=\"" + name + '"';
        AppendRaw(object, "Content-Type", value);
    }

    void WriteMessageHeaders(GMimeObject* root)
    {
        const TMimeHeaders& generated = FMessage.GeneratedHeaders();
        TMimeHeaders written;
        for (const TMimeHeader& header : FMessage.Headers().Items()) {
            if (IsUnknownEncoding(header))
                continue;
            const bool replaced = generated.Contains(header.Name) && !written.Contains(header.Name);
            const QByteArray value = replaced ? generated.Value(header.Name) : header.Value;
            AppendEncoded(root, header.Name, value);
            written.Add(header.Name, value);
        }
        for (const TMimeHeaders* list : {&generated, &FMessage.ExtraHeaders()})
            for (const TMimeHeader& header : list->Items())
                if (!written.Contains(header.Name)) {
                    AppendEncoded(root, header.Name, header.Value);
                    written.Add(header.Name, header.Value);
                }
    }

    void AppendEncoded(GMimeObject* object, const QByteArray& name, const QByteArray& value)
    {
        if (!HasEightBit(value)) {
            AppendRaw(object, name, value);
            return;
        }
        AppendRaw(object, name, EncodeHeaderText(value, {}, FEncoding.Letter, FEncoding.Transfer, FEncoding.Charset));
    }

    // Appends a field whose value GMime writes exactly as given.
    static void AppendRaw(GMimeObject* object, const QByteArray& name, const QByteArray& value)
    {
        GMimeHeaderList* list = g_mime_object_get_header_list(object);
        // GMime reads structured values (Content-Type ...) from the plain value.
        g_mime_header_list_append(list, name.constData(), value.constData(), nullptr);
        GMimeHeader* header = g_mime_header_list_get_header_at(list, g_mime_header_list_get_count(list) - 1);
        if (header)
            g_mime_header_set_raw_value(header, QByteArray(' ' + value + '\n').constData());
    }

    const TMimeMessage& FMessage;
    const THeaderEncoding FEncoding;
    std::vector<std::pair<GMimePart*, bool>> FLeaves;   // every leaf, and whether it is an attachment
    std::vector<GMimeMultipart*> FMultiparts;
};

} // namespace

void WriteMimeMessage(const TMimeMessage& message, TStream& target)
{
    EnsureGMimeInitialized();
    const TObject root = TWriter(message).Build();
    GMimeFormatOptions* format = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(format, GMIME_NEWLINE_FORMAT_DOS);
    const auto memory = TGObjectHandle<GMimeStream>::Adopt(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(root.Get(), format, memory.Get());
    g_mime_format_options_free(format);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(memory.Get()));
    target.WriteBuffer(bytes->data, static_cast<qint64>(bytes->len));
}
