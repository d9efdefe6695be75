#pragma once

#include <QByteArray>

#include <cstddef>

// Turns fuzzer bytes into a .dbx file: an input that does not begin with
// the .dbx signature is put behind a sound file header whose index root and
// count come from its first bytes, so that short inputs reach the objects
// behind the header instead of being refused at the signature.
[[nodiscard]] QByteArray DbxFileFromFuzzInput(const unsigned char* data, std::size_t size);

// Runs every reading the importer does on the file: its kind, the message
// list (index, and the scan of the data blocks when the index is damaged),
// every source, the folder list.
void ReadWholeDbxFile(const QByteArray& file);
