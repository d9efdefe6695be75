#pragma once

#include <QColor>
#include <QIcon>
#include <QList>

class QPalette;

// The small images of the message list, by index.
enum TMesgImage : int {
    miRead = 5,
    miUnread = 6,
    miAttachment = 7,
    miHighPriority = 8,
    miLowPriority = 9,
    miFlagged = 10,
};

// The images indexed by TMesgImage (the indexes below miRead hold none):
// the desktop theme's icon where it has one of that meaning, else ours.
// They are drawn from vector images, so they stay sharp at any scale.
[[nodiscard]] QList<QIcon> MesgListImages();

// How a message's row is written.
struct TRowStyle
{
    bool Bold = false;      // unread
    bool Italic = false;    // unsent
    QColor Color;           // invalid: the palette's text colour
};

// The style of a row from the message's state bits and priority: bold when
// unread, italic when unsent, red when of high priority, blue when flagged
// (over red). A selected row keeps the palette's highlighted text colour,
// which is readable on the highlight. The red and the blue are chosen for
// the lightness of the palette's base, so that they stay readable on dark
// palettes too.
[[nodiscard]] TRowStyle MesgRowStyle(unsigned char state, int priority, bool selected, const QPalette& palette);
[[nodiscard]] QColor HighPriorityColor(const QPalette& palette);
[[nodiscard]] QColor FlaggedColor(const QPalette& palette);
