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
