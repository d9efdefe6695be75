#pragma once

#include <gmime/gmime.h>

class TStream;

// A read-only GMimeStream over one of our streams, so that GMime's parser
// reads a message source in place (a block memory stream needs no copy into
// one contiguous buffer). The adapter does not own the stream; it reads
// from the stream's position at creation to its end, and reads no more than
// the stream delivers per call, so a stream that returns one byte at a time
// feeds the parser one byte at a time.
[[nodiscard]] GMimeStream* NewGMimeStreamAdapter(TStream& stream);
