#include "ui/forms/SharedFont.h"

#include "settings/IniFiler.h"

#include <QApplication>
#include <QFontDialog>

#include <utility>

namespace {

const QString kFontName = QStringLiteral("FontName");
const QString kFontSize = QStringLiteral("FontSize");

bool& FontChosen()
{
    static bool chosen = false;
    return chosen;
}

std::optional<QFont> AskPlatform(const QFont& initial, QWidget* parent)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

TFontDialogHandler& Handler()
{
    static TFontDialogHandler handler = AskPlatform;
    return handler;
}

} // namespace

void ChooseSharedFont(QWidget* parent)
{
    if (const std::optional<QFont> font = Handler()(QApplication::font(), parent))
        SetSharedFont(*font);
}

void SetSharedFont(const QFont& font)
{
    FontChosen() = true;
    // Every widget that has no font of its own follows the application's,
    // menus and dialogs included, and lays itself out again.
    QApplication::setFont(font);
}

void SaveSharedFont(TIniFiler& filer)
{
    if (!FontChosen())
        return;
    const QFont font = QApplication::font();
    filer.WriteValue(kFontName, font.family());
    filer.WriteInt(kFontSize, font.pointSize());
}

void LoadSharedFont(TIniFiler& filer)
{
    const QString name = filer.ReadValue(kFontName);
    const int size = filer.ReadValue(kFontSize).isEmpty() ? 0 : filer.ReadInt(kFontSize);
    if (name.isEmpty() && size <= 0)
        return;
    QFont font = QApplication::font();
    if (!name.isEmpty())
        font.setFamily(name);
    if (size > 0)
        font.setPointSize(size);
    SetSharedFont(font);
}

TFontDialogHandler SetFontDialogHandler(TFontDialogHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}
