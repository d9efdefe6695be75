#pragma once

#include <QByteArray>

#include <vector>

// Transfer decoders beside GMime's: uuencode and XXencode blocks ("begin
// 644 name" ... "end") and BinHex 4.0, both as a part's whole content and
// as blocks inside a plain text body.

// A file carried inside a text body or a part.
struct TEmbeddedFile
{
    QByteArray Name;
    QByteArray Data;
};

enum class TLineCoder { Uue, Xxe };

// Decodes one uuencoded or XXencoded line (length character first). A line
// shorter than its length character announces gives the bytes it holds;
// characters outside the alphabet count as 0.
[[nodiscard]] QByteArray DecodeCodedLine(QByteArrayView line, TLineCoder coder);

// Decodes a whole BinHex 4.0 text: the data between the first ":" and the
// next one (or the end), run-length expanded, read as the BinHex header, data
// fork and resource fork. The data fork becomes the file; a fork cut short
// keeps the bytes that arrived. False when not even the header is there.
[[nodiscard]] bool DecodeBinHex(QByteArrayView text, TEmbeddedFile& file);

// Decodes the first "begin" block of `text` as uuencode or XXencode (told
// apart by the length of its first line). False when there is no block.
[[nodiscard]] bool DecodeCodedBlock(QByteArrayView text, TEmbeddedFile& file);

// A plain body with its embedded files taken out: every uuencoded,
// XXencoded and BinHex block becomes a file, in order, and the text keeps
// the lines around them.
struct TEmbeddedScan
{
    QByteArray Text;
    std::vector<TEmbeddedFile> Files;
};
[[nodiscard]] TEmbeddedScan ExtractEmbeddedFiles(const QByteArray& body);
