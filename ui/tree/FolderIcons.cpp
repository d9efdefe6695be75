#include "ui/tree/FolderIcons.h"

#include <QIconEngine>
#include <QPainter>

#include <array>

namespace {

// Draws a selected node's icon as it is: the styles' tinting of selected
// icons blends a folder into a muddy shape of the selection's colour.
class TUntintedIconEngine : public QIconEngine
{
public:
    explicit TUntintedIconEngine(QIcon icon) : FIcon(std::move(icon)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        FIcon.paint(painter, rect, Qt::AlignCenter, Untinted(mode), state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return FIcon.pixmap(size, Untinted(mode), state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return FIcon.pixmap(size, scale, Untinted(mode), state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return FIcon.actualSize(size, Untinted(mode), state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return FIcon.availableSizes(Untinted(mode), state);
    }
    [[nodiscard]] QString iconName() override { return FIcon.name(); }
    [[nodiscard]] QString key() const override { return QStringLiteral("TUntintedIconEngine"); }
    [[nodiscard]] QIconEngine* clone() const override { return new TUntintedIconEngine(FIcon); }

private:
    static QIcon::Mode Untinted(QIcon::Mode mode) { return mode == QIcon::Selected ? QIcon::Normal : mode; }

    QIcon FIcon;
};

struct TIconName
{
    const char* Theme;     // freedesktop icon name
    const char* Bundled;   // our resource
};

// Indexed by kind.
constexpr std::array<TIconName, 7> kIcons = {{
    {"folder-mail", ":/icons/folders/store.svg"},
    {"mail-folder-inbox", ":/icons/folders/inbox.svg"},
    {"mail-folder-outbox", ":/icons/folders/outbox.svg"},
    {"mail-folder-sent", ":/icons/folders/sent.svg"},
    {"user-trash", ":/icons/folders/deleted.svg"},
    {"mail-folder-drafts", ":/icons/folders/drafts.svg"},
    {"folder", ":/icons/folders/folder.svg"},
}};

QIcon MakeIcon(const TIconName& name)
{
    return QIcon(new TUntintedIconEngine(
        QIcon::fromTheme(QLatin1String(name.Theme), QIcon(QLatin1String(name.Bundled)))));
}

} // namespace

QIcon FolderIcon(int kind)
{
    // Made once: a tree refresh sets the icon of every node.
    static const std::array<QIcon, kIcons.size()> icons = [] {
        std::array<QIcon, kIcons.size()> made;
        for (size_t i = 0; i < kIcons.size(); ++i)
            made[i] = MakeIcon(kIcons[i]);
        return made;
    }();
    const size_t index = kind >= 0 && static_cast<size_t>(kind) < icons.size() ? static_cast<size_t>(kind) : icons.size() - 1;
    return icons[index];
}
