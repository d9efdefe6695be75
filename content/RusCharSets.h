#pragma once

#include <QByteArray>
#include <QString>

// Russian text often arrives in the wrong Cyrillic code page (KOI8-R labelled
// windows-1251, or the other way round). RussianRedetect looks at a decoded
// text as windows-1251 and returns whichever reading - as it is, re-read as
// KOI8-R, or re-read the other way - has letter statistics closest to
// Russian. Pure ASCII text comes back unchanged; any other text makes a round
// trip through code page 1251, so characters 1251 lacks become "?".
[[nodiscard]] QString RussianRedetect(const QString& text);

// The byte-level choice behind RussianRedetect, on windows-1251 bytes.
[[nodiscard]] QByteArray ChooseRussianReading(const QByteArray& bytes);
