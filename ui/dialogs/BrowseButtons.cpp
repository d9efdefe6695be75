#include "ui/dialogs/BrowseButtons.h"

#include "settings/GlobStrings.h"
#include "ui/MessageBoxes.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>

namespace {

// "No program is set up to open this type of file."
constexpr int kNoProgramError = 10;

QString AskPlatform(const TBrowseRequest& request)
{
    if (request.Folder)
        return QFileDialog::getExistingDirectory(nullptr, QString(), request.Start, QFileDialog::ShowDirsOnly);
    return QFileDialog::getOpenFileName(nullptr, request.Title, request.Start, request.Filter);
}

TBrowseHandler& BrowseHandler()
{
    static TBrowseHandler handler = AskPlatform;
    return handler;
}

TShellOpener& ShellOpener()
{
    static TShellOpener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

QString TextOf(const QWidget* control)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    return QString();
}

void SetTextOf(QWidget* control, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->isEditable())
        combo->setEditText(text);
    else if (combo)
        combo->setCurrentIndex(combo->findText(text));
}

// "Mailbox files (*.mbox)|*.mbox;*.mbx" becomes "Mailbox files (*.mbox *.mbx)".
QString FilterPair(const QString& entry)
{
    const qsizetype bar = entry.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return entry;
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString description = entry.left(bar);
    description.remove(trailingPatterns);
    const QString patterns = entry.mid(bar + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    return QStringLiteral("%1 (%2)").arg(description, patterns);
}

} // namespace

TBrowseHandler SetBrowseHandler(TBrowseHandler handler)
{
    return std::exchange(BrowseHandler(), handler ? std::move(handler) : TBrowseHandler(AskPlatform));
}

TBrowseButton::TBrowseButton(QWidget* target, const QString& extension, QWidget* parent)
    : QPushButton(parent)
    , FTarget(target)
    , FExtension(extension.startsWith(QLatin1Char('.')) ? extension.mid(1) : extension)
{
    setIcon(style()->standardIcon(IsFolderBrowse() ? QStyle::SP_DirOpenIcon : QStyle::SP_DialogOpenButton));
    setAccessibleName(Lang().CommonText(QStringLiteral("OpenFile")));
    setToolTip(accessibleName());
    connect(this, &QPushButton::clicked, this, &TBrowseButton::Browse);
}

QString TBrowseButton::FileFilter(const QString& extension)
{
    QStringList pairs;
    for (const QString& key : {extension, QStringLiteral("*.*")}) {
        const QString entry = Lang().SectionValue(QStringLiteral("FileExt"), key);
        if (!entry.isEmpty())
            pairs << FilterPair(entry);
    }
    return pairs.join(QStringLiteral(";;"));
}

void TBrowseButton::Browse()
{
    if (!FTarget)
        return;
    TBrowseRequest request;
    request.Folder = IsFolderBrowse();
    request.Start = TextOf(FTarget);
    if (request.Folder) {
        // The chooser starts in the folder only when it exists.
        if (!QFileInfo(request.Start).isDir())
            request.Start.clear();
    } else {
        request.Title = Lang().CommonText(QStringLiteral("OpenFile"));
        request.Filter = FileFilter(FExtension);
    }
    const QString chosen = BrowseHandler()(request);
    if (!chosen.isEmpty())
        SetTextOf(FTarget, QDir::toNativeSeparators(chosen));
}

TShellOpener SetShellOpener(TShellOpener opener)
{
    return std::exchange(ShellOpener(), std::move(opener));
}

TShellButton::TShellButton(const QString& caption, const QString& target, QWidget* parent)
    : QPushButton(caption, parent)
    , FTarget(target)
{
    connect(this, &QPushButton::clicked, this, &TShellButton::Open);
}

bool TShellButton::Open()
{
    const QUrl url = QUrl::fromUserInput(FTarget, QDir::currentPath(), QUrl::AssumeLocalFile);
    if (url.isValid() && ShellOpener() && ShellOpener()(url))
        return true;
    ErrorBox(Lang().TextIn(kNoProgramError, QStringLiteral("ShellError")));
    return false;
}
