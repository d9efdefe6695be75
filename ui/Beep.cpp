#include "ui/Beep.h"

#include <QApplication>

namespace {

TBeepHandler& Handler()
{
    static TBeepHandler handler;
    return handler;
}

} // namespace

void Beep()
{
    if (const TBeepHandler& handler = Handler())
        handler();
    else
        QApplication::beep();
}

TBeepHandler SetBeepHandler(TBeepHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

void BeepAtTheEnds(int key, int row, int lastRow)
{
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_Home:
    case Qt::Key_Up:
        if (row <= 0)
            Beep();
        break;
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Down:
        if (row == lastRow)
            Beep();
        break;
    default:
        break;
    }
}
