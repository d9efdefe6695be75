#include "ui/mesg/ShellOpen.h"

#include "settings/GlobStrings.h"
#include "ui/MessageBoxes.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>

#include <array>
#include <utility>

namespace {

TDesktopOpener& DesktopOpener()
{
    static TDesktopOpener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

// Asks for a program file and starts it with the path as its argument.
TProgramChooser& ProgramChooser()
{
    static TProgramChooser chooser = [](const QString& path) {
        const QString program = QFileDialog::getOpenFileName(nullptr, Lang().CommonText(QStringLiteral("OpenFile")),
                                                             QStringLiteral("/usr/bin"));
        return !program.isEmpty() && QProcess::startDetached(program, {path}, QFileInfo(path).absolutePath());
    };
    return chooser;
}

// The result code of a file that the desktop cannot be asked to open.
int CheckFile(const QFileInfo& file)
{
    if (!file.dir().exists())
        return srPathNotFound;
    if (!file.exists())
        return srFileNotFound;
    if (!file.isReadable())
        return srAccessDenied;
    return srOpened;
}

void ShowShellError(int code, const QString& target)
{
    ErrorBox(ShellErrorText(code) + QLatin1Char('\n') + target);
}

} // namespace

TDesktopOpener SetDesktopOpener(TDesktopOpener opener)
{
    return std::exchange(DesktopOpener(), std::move(opener));
}

TProgramChooser SetProgramChooser(TProgramChooser chooser)
{
    return std::exchange(ProgramChooser(), std::move(chooser));
}

QString ShellErrorText(int code)
{
    // The platform codes in the order of the numbered "ShellError" texts.
    static constexpr std::array<int, 13> kCodes = {0, 2, 3, 11, 5, 27, 30, 29, 28, 32, 31, 8, 26};
    for (std::size_t text = 0; text < kCodes.size(); ++text) {
        if (kCodes[text] == code)
            return Lang().TextIn(static_cast<int>(text), QStringLiteral("ShellError"));
    }
    return {};
}

int ShellOpenFile(const QString& path)
{
    const QFileInfo file(path);
    int result = CheckFile(file);
    if (result == srOpened && !DesktopOpener()(QUrl::fromLocalFile(file.absoluteFilePath())))
        result = ProgramChooser()(file.absoluteFilePath()) ? srOpened : srNoAssociation;
    if (result < 32)
        ShowShellError(result, path);
    return result;
}

bool IsOpenableLink(const QUrl& url)
{
    static const std::array<QString, 5> kSchemes = {QStringLiteral("http"), QStringLiteral("https"),
                                                    QStringLiteral("ftp"), QStringLiteral("mailto"),
                                                    QStringLiteral("news")};
    return url.isValid() && !url.isRelative() && std::find(kSchemes.begin(), kSchemes.end(), url.scheme().toLower()) != kSchemes.end();
}

bool OpenMessageLink(const QUrl& url)
{
    if (!IsOpenableLink(url))
        return false;
    if (DesktopOpener()(url))
        return true;
    ShowShellError(srNoAssociation, url.toDisplayString());
    return false;
}
