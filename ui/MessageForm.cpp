#include "ui/MessageForm.h"

#include "settings/GlobStrings.h"
#include "ui/Beep.h"
#include "ui/MessageText.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <array>

namespace {

struct TButtonInfo
{
    TBoxButton Button;
    const char* Key;   // caption key in "Common"
    int Result;
};

constexpr std::array<TButtonInfo, 11> kButtons{{
    {mbYes, "Yes", mrYes},
    {mbNo, "No", mrNo},
    {mbOk, "Ok", mrOk},
    {mbCancel, "Cancel", mrCancel},
    {mbAbort, "Abord", mrAbort},
    {mbRetry, "Retry", mrRetry},
    {mbIgnore, "Ignore", mrIgnore},
    {mbAll, "All", mrAll},
    {mbNoToAll, "NoAll", mrNoToAll},
    {mbYesToAll, "YesAll", mrYesToAll},
    {mbHelp, "Help", mrNone},
}};

constexpr int kIconSize = 32;

TBoxObserver& Observer()
{
    static TBoxObserver observer;
    return observer;
}

// Windows' MulDiv: a * b / c rounded to the nearest integer.
int MulDiv(int a, int b, int c)
{
    return static_cast<int>((static_cast<qint64>(a) * b + c / 2) / c);
}

QString KindCaption(TBoxKind kind)
{
    switch (kind) {
    case TBoxKind::Warning:
        return Lang().CommonText(QStringLiteral("Warning"));
    case TBoxKind::Error:
        return Lang().CommonText(QStringLiteral("Error"));
    case TBoxKind::Information:
        return Lang().CommonText(QStringLiteral("Information"));
    case TBoxKind::Confirmation:
        return Lang().CommonText(QStringLiteral("Confirm"));
    case TBoxKind::Custom:
        break;
    }
    return ProgramDisplayName();
}

QIcon KindIcon(TBoxKind kind, const QStyle* style)
{
    switch (kind) {
    case TBoxKind::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case TBoxKind::Error:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case TBoxKind::Information:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case TBoxKind::Confirmation:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case TBoxKind::Custom:
        break;
    }
    return {};
}

} // namespace

TTntMessageForm::TTntMessageForm(const QString& text, TBoxKind kind, TBoxButtons buttons, int helpContext)
    : FHelpContext(helpContext)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(KindCaption(kind));
    Build(text, kind, buttons);
}

void TTntMessageForm::Build(const QString& text, TBoxKind kind, TBoxButtons buttons)
{
    // Every measure follows from the average character of the box's font.
    const QFontMetrics metrics(font());
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int charWidth = metrics.horizontalAdvance(letters) / 52;
    const int charHeight = metrics.height();
    const int hMargin = MulDiv(8, charWidth, 4);
    const int vMargin = MulDiv(8, charHeight, 8);
    const int hSpacing = MulDiv(10, charWidth, 4);
    const int vSpacing = MulDiv(10, charHeight, 8);
    int buttonWidth = MulDiv(50, charWidth, 4);
    const int buttonHeight = MulDiv(14, charHeight, 8);
    const int buttonSpacing = MulDiv(4, charWidth, 4);

    std::vector<std::pair<QString, int>> shown;
    for (const TButtonInfo& info : kButtons)
        if (buttons & info.Button) {
            const QString caption = Lang().CommonText(QString::fromLatin1(info.Key));
            shown.emplace_back(caption, info.Result);
            buttonWidth = std::max(buttonWidth, metrics.horizontalAdvance(QString(caption).remove(QLatin1Char('&'))) + 8);
        }

    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 1024;
    const QSize textSize = TMessageText::Measure(text, font(), screenWidth * 100 / 162);
    const bool hasIcon = kind != TBoxKind::Custom;
    const int iconArea = hasIcon ? kIconSize + hSpacing : 0;
    const int textHeight = hasIcon ? std::max(textSize.height(), kIconSize) : textSize.height();
    const int count = static_cast<int>(shown.size());
    const int buttonsWidth = count * buttonWidth + std::max(count - 1, 0) * buttonSpacing;
    const int clientWidth = std::max(textSize.width() + iconArea, buttonsWidth) + 2 * hMargin;
    const int clientHeight = textHeight + buttonHeight + vSpacing + 2 * vMargin;
    setFixedSize(clientWidth, clientHeight);

    const bool mirrored = layoutDirection() == Qt::RightToLeft;
    const auto place = [&](QWidget* widget, int x, int y, int w, int h) {
        widget->setGeometry(mirrored ? clientWidth - x - w : x, y, w, h);
    };
    if (hasIcon) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image"));
        image->setPixmap(KindIcon(kind, style()).pixmap(kIconSize, kIconSize));
        place(image, hMargin, vMargin, kIconSize, kIconSize);
    }
    FMessage = new TMessageText(text, this);
    FMessage->setObjectName(QStringLiteral("Message"));
    place(FMessage, hMargin + iconArea, vMargin, textSize.width() + 1, textSize.height());

    int x = (clientWidth - buttonsWidth) / 2;
    const int y = textHeight + vMargin + vSpacing;
    for (const auto& [caption, result] : shown) {
        auto* button = new QPushButton(caption, this);
        button->setAutoDefault(false);
        place(button, x, y, buttonWidth, buttonHeight);
        x += buttonWidth + buttonSpacing;
        FButtons.push_back({button, result});
        if (result != mrNone)
            connect(button, &QPushButton::clicked, this, [this, result = result] { done(result); });
    }
    const auto find = [this](int result) -> QPushButton* {
        for (const TButtonEntry& entry : FButtons)
            if (entry.Result == result)
                return entry.Button;
        return nullptr;
    };
    for (int result : {mrOk, mrYes, mrRetry})
        if ((FDefault = find(result)))
            break;
    for (int result : {mrCancel, mrNo, mrOk})
        if ((FCancel = find(result)))
            break;
    if (FDefault) {
        FDefault->setDefault(true);
        FDefault->setFocus();
    }
}

QString TTntMessageForm::CopyText() const
{
    const QString rule = QString(27, QLatin1Char('-'));
    const QString newLine = QStringLiteral("\r\n");
    QString buttons;
    for (const TButtonEntry& entry : FButtons)
        buttons += entry.Button->text().remove(QLatin1Char('&')) + QStringLiteral("   ");
    return rule + newLine + windowTitle() + newLine + rule + newLine + FMessage->text() + newLine + rule + newLine
           + buttons + newLine + rule + newLine;
}

void TTntMessageForm::reject()
{
    // Closed otherwise than by a button (the title bar, the window manager).
    done(mrCancel);
}

void TTntMessageForm::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        if (FCancel)
            FCancel->click();
        else
            reject();
        return;
    }
    if (event->key() == Qt::Key_C && modifiers == Qt::ControlModifier) {
        Beep();
        QApplication::clipboard()->setText(CopyText());
        return;
    }
    TVistaForm::keyPressEvent(event);
}

TBoxObserver SetBoxObserver(TBoxObserver observer)
{
    return std::exchange(Observer(), std::move(observer));
}

int ShowBox(const QString& text, TBoxKind kind, TBoxButtons buttons, int helpContext, int left, int top)
{
    TTntMessageForm box(text, kind, buttons, helpContext);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    QPoint at = area.center() - QPoint(box.width() / 2, box.height() / 2);
    if (left >= 0)
        at.setX(left);
    if (top >= 0)
        at.setY(top);
    box.move(at);
    if (const TBoxObserver& observer = Observer())
        QTimer::singleShot(0, &box, [&box, observer] { observer(box); });
    return box.exec();
}
