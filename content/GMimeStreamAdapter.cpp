#include "content/GMimeStreamAdapter.h"

#include "base/Stream.h"

#include <algorithm>
#include <exception>

// GObject's type macros cast function pointers the way C does.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"

namespace {

struct TStreamAdapter
{
    GMimeStream Parent;
    TStream* Source;
    gint64 Origin;   // the source position that is offset 0 of the GMime stream
};

struct TStreamAdapterClass
{
    GMimeStreamClass ParentClass;
};

GType StreamAdapterType();

TStreamAdapter* AsAdapter(GMimeStream* stream)
{
    return reinterpret_cast<TStreamAdapter*>(stream);
}

// The end of the readable range: the bound, or the source's end.
gint64 RangeEnd(TStreamAdapter* adapter)
{
    const gint64 size = adapter->Source->Size() - adapter->Origin;
    const gint64 bound = adapter->Parent.bound_end;
    return bound >= 0 && bound < size ? bound : size;
}

ssize_t AdapterRead(GMimeStream* stream, char* buffer, size_t length)
{
    TStreamAdapter* adapter = AsAdapter(stream);
    const gint64 end = RangeEnd(adapter);
    const gint64 wanted = std::min<gint64>(static_cast<gint64>(length), end - stream->position);
    if (wanted <= 0)
        return 0;
    try {
        adapter->Source->SetPosition(adapter->Origin + stream->position);
        const qint64 read = adapter->Source->Read(buffer, wanted);
        if (read < 0)
            return -1;
        stream->position += read;
        return static_cast<ssize_t>(read);
    } catch (const std::exception&) {
        return -1;   // a failing source ends the parse as a read error, never as a crash
    }
}

ssize_t AdapterWrite(GMimeStream*, const char*, size_t)
{
    return -1;
}

int AdapterFlush(GMimeStream*)
{
    return 0;
}

int AdapterClose(GMimeStream*)
{
    return 0;
}

gboolean AdapterEos(GMimeStream* stream)
{
    return stream->position >= RangeEnd(AsAdapter(stream));
}

int AdapterReset(GMimeStream* stream)
{
    stream->position = stream->bound_start;
    return 0;
}

gint64 AdapterSeek(GMimeStream* stream, gint64 offset, GMimeSeekWhence whence)
{
    const gint64 end = RangeEnd(AsAdapter(stream));
    gint64 target = offset;
    if (whence == GMIME_STREAM_SEEK_CUR)
        target = stream->position + offset;
    else if (whence == GMIME_STREAM_SEEK_END)
        target = end + offset;
    if (target < stream->bound_start || target > end)
        return -1;
    stream->position = target;
    return target;
}

gint64 AdapterTell(GMimeStream* stream)
{
    return stream->position;
}

gint64 AdapterLength(GMimeStream* stream)
{
    return RangeEnd(AsAdapter(stream)) - stream->bound_start;
}

GMimeStream* AdapterSubstream(GMimeStream* stream, gint64 start, gint64 end)
{
    TStreamAdapter* adapter = AsAdapter(stream);
    auto* sub = AsAdapter(GMIME_STREAM(g_object_new(StreamAdapterType(), nullptr)));
    sub->Source = adapter->Source;
    sub->Origin = adapter->Origin;
    g_mime_stream_construct(&sub->Parent, start, end);
    return &sub->Parent;
}

void StreamAdapterClassInit(gpointer klass, gpointer)
{
    auto* streamClass = GMIME_STREAM_CLASS(klass);
    streamClass->read = AdapterRead;
    streamClass->write = AdapterWrite;
    streamClass->flush = AdapterFlush;
    streamClass->close = AdapterClose;
    streamClass->eos = AdapterEos;
    streamClass->reset = AdapterReset;
    streamClass->seek = AdapterSeek;
    streamClass->tell = AdapterTell;
    streamClass->length = AdapterLength;
    streamClass->substream = AdapterSubstream;
}

GType StreamAdapterType()
{
    static const GType type = g_type_register_static_simple(
        GMIME_TYPE_STREAM, "VellumoStreamAdapter", sizeof(TStreamAdapterClass), StreamAdapterClassInit,
        sizeof(TStreamAdapter), nullptr, GTypeFlags(0));
    return type;
}

} // namespace

#pragma GCC diagnostic pop

GMimeStream* NewGMimeStreamAdapter(TStream& stream)
{
    auto* adapter = AsAdapter(GMIME_STREAM(g_object_new(StreamAdapterType(), nullptr)));
    adapter->Source = &stream;
    adapter->Origin = stream.Position();
    g_mime_stream_construct(&adapter->Parent, 0, -1);
    return &adapter->Parent;
}
