#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <vector>

// Splits the bytes of one encoded run into the contents of its encoded
// words. Every word holds whole characters of its charset (RFC 2047 §5: a
// multi-byte character is never split across two words), and a word of
// ISO-2022-JP begins and ends in ASCII mode (RFC 1468): a word cut inside
// double-byte text is closed with ESC "(B" and the next one reopens the
// mode it was in. A single-byte charset splits between any two bytes, as
// before.
//
// `cost` gives the encoded length of a word's bytes; a word takes as many
// characters as keep that within `room` (one character at least).
[[nodiscard]] std::vector<QByteArray> SplitEncodedRun(QByteArrayView run, const QByteArray& charset, bool jis,
                                                      const std::function<qsizetype(QByteArrayView)>& cost,
                                                      qsizetype room);
