#pragma once

#include <QFont>
#include <QString>

// Windows' MulDiv: a * b / c rounded to the nearest integer.
[[nodiscard]] int MulDiv(int a, int b, int c);

// The measures of the dialogs built in code, all derived from the average
// character of the dialog font, so dialogs follow the user's font size.
struct TDialogUnits
{
    explicit TDialogUnits(const QFont& font);

    // Width of a text on one line, "&" mnemonics not counted.
    [[nodiscard]] int TextWidth(const QString& text) const;
    // The width of a push button with that caption: the smallest multiple
    // of RowHeight × 1.62 above the caption width + 4 CharWidth.
    [[nodiscard]] int ButtonWidth(const QString& caption) const;

    QFont Font;
    // Average width of the 52 letters A-Z and a-z.
    int CharWidth;
    // Height of the letters.
    int CharHeight;
    // Height of edits, combos and buttons: 14/8 of CharHeight.
    int RowHeight;
};
