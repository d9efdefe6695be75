#pragma once

#include <QFont>

#include <functional>
#include <optional>

class QWidget;
class TIniFiler;

// The font the user chose for every window of the program (Options → Font),
// kept with the window layout as "FontName" and "FontSize". Until one is
// chosen, the windows follow the desktop's font.

// Asks for a font, starting from the current one; on OK every window,
// open or opened later, takes it.
void ChooseSharedFont(QWidget* parent);
void SetSharedFont(const QFont& font);
// Writes the chosen font into the current section; nothing when none was chosen.
void SaveSharedFont(TIniFiler& filer);
// Takes the font of the current section when it names one.
void LoadSharedFont(TIniFiler& filer);

// Tests replace the platform's font dialog; returns the previous handler.
using TFontDialogHandler = std::function<std::optional<QFont>(const QFont& initial, QWidget* parent)>;
TFontDialogHandler SetFontDialogHandler(TFontDialogHandler handler);
