#include "ui/mesglist/MesgRowStyle.h"

#include "messages/MesgFields.h"

#include <QPalette>

#include <array>

namespace {

struct TImageName
{
    TMesgImage Index;
    const char* Theme;     // freedesktop icon name; none where no name fits
    const char* Bundled;   // our resource
};

constexpr std::array<TImageName, 6> kImages = {{
    {miRead, "mail-read", ":/icons/messages/read.svg"},
    {miUnread, "mail-unread", ":/icons/messages/unread.svg"},
    {miAttachment, "mail-attachment", ":/icons/messages/attachment.svg"},
    {miHighPriority, "mail-mark-important", ":/icons/messages/priority-high.svg"},
    {miLowPriority, nullptr, ":/icons/messages/priority-low.svg"},
    {miFlagged, nullptr, ":/icons/messages/flag.svg"},
}};

bool DarkBase(const QPalette& palette)
{
    return palette.color(QPalette::Base).lightnessF() < 0.5;
}

} // namespace

QList<QIcon> MesgListImages()
{
    QList<QIcon> images(miFlagged + 1);
    for (const TImageName& name : kImages) {
        // The selected rows show the images as they are: the style's tint
        // of selected images would blur their colours into the highlight.
        QIcon bundled;
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Selected})
            bundled.addFile(QLatin1String(name.Bundled), QSize(), mode);
        images[name.Index] = name.Theme ? QIcon::fromTheme(QLatin1String(name.Theme), bundled) : bundled;
    }
    return images;
}

QColor HighPriorityColor(const QPalette& palette)
{
    return DarkBase(palette) ? QColor(0xff, 0x7a, 0x7a) : QColor(0xc0, 0x00, 0x00);
}

QColor FlaggedColor(const QPalette& palette)
{
    return DarkBase(palette) ? QColor(0x7c, 0xaa, 0xff) : QColor(0x00, 0x3c, 0xc8);
}

TRowStyle MesgRowStyle(unsigned char state, int priority, bool selected, const QPalette& palette)
{
    TRowStyle style;
    style.Bold = (state & stUnread) != 0;
    style.Italic = (state & stUnsent) != 0;
    if (selected)
        return style;
    if (priority <= 1)
        style.Color = HighPriorityColor(palette);
    if (state & stFlagged)
        style.Color = FlaggedColor(palette);
    return style;
}
