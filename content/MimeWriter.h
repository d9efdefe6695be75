#pragma once

class TMimeMessage;
class TStream;

// Writes a message object as a MIME message through GMime's writer, CR LF
// line ends, at the stream's position; the stream stays open.
//
// Header fields: the message's own, in order (a generated field of the
// same name replaces the value), then the generated and extra fields that
// are not written yet. Values holding 8-bit bytes are encoded by the
// message's header encoding (letter "8" keeps them raw). The body and the
// parts are written in their multipart structure, each re-encoded with its
// transfer encoding; XXencode and BinHex, which the writer does not
// produce, become base64.
void WriteMimeMessage(const TMimeMessage& message, TStream& target);
