#include "ui/dialogs/DialogUnits.h"

#include <QFontMetrics>

int MulDiv(int a, int b, int c)
{
    return static_cast<int>((static_cast<qint64>(a) * b + c / 2) / c);
}

TDialogUnits::TDialogUnits(const QFont& font)
    : Font(font)
{
    const QFontMetrics metrics(font);
    CharWidth = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
    CharHeight = metrics.height();
    RowHeight = 14 * CharHeight / 8;
}

int TDialogUnits::TextWidth(const QString& text) const
{
    QString shown = text;
    shown.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
    shown.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return QFontMetrics(Font).horizontalAdvance(shown);
}

int TDialogUnits::ButtonWidth(const QString& caption) const
{
    const int step = RowHeight * 162 / 100;
    return step * ((TextWidth(caption) + 4 * CharWidth) / step + 1);
}
