#pragma once

#include "content/MimeParser.h"

#include <QByteArrayView>

class TMimeMessage;

// A quick reading of a message source for what a message list shows of it:
// the message's header fields, its content type and charset, and the kind,
// type and charset of each leaf part (text part or attachment). For those,
// the message comes out as TMimeParser's Structure parse makes it, without
// building GMime's object tree; bodies, attachment data, containers and the
// extra header fields are left out.
//
// It reads only mail whose shape leaves no doubt: clean header blocks,
// content types of plain tokens and quoted strings, boundary lines that
// match exactly, no nested messages, no embedded uuencoded or BinHex files.
// On anything else it gives up, returns false and leaves the message
// cleared: the caller then parses with TMimeParser, which reads everything.
[[nodiscard]] bool ScanListStructure(QByteArrayView source, TMimeMessage& message,
                                     const TMimeParser::TLimits& limits = {});
