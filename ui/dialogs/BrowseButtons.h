#pragma once

#include <QPointer>
#include <QPushButton>
#include <QUrl>

#include <functional>

// A button beside an edit or combo box that lets the user choose a file of
// one extension, or a folder when the extension is empty; the chosen path
// replaces the control's text.
class TBrowseButton : public QPushButton
{
    Q_OBJECT
public:
    TBrowseButton(QWidget* target, const QString& extension, QWidget* parent = nullptr);

    [[nodiscard]] QWidget* Target() const { return FTarget; }
    [[nodiscard]] const QString& Extension() const { return FExtension; }
    [[nodiscard]] bool IsFolderBrowse() const { return FExtension.isEmpty(); }
    // Asks for the file or folder, starting from the control's text.
    void Browse();

    // The file dialog's filter for an extension: its "FileExt" entry and
    // the one of "*.*", each "description|patterns" made "description
    // (patterns)"; entries the language file lacks are left out.
    [[nodiscard]] static QString FileFilter(const QString& extension);

private:
    QPointer<QWidget> FTarget;
    QString FExtension;
};

// What a browse button asks the platform's file or folder chooser.
struct TBrowseRequest
{
    bool Folder = false;
    QString Title;
    QString Start;
    QString Filter;
};
// Answers a browse request with the chosen path, or empty text on cancel.
// Tests replace the platform's dialogs through it; returns the previous one.
using TBrowseHandler = std::function<QString(const TBrowseRequest& request)>;
TBrowseHandler SetBrowseHandler(TBrowseHandler handler);

// A button that opens its target (a file, folder or web address) with the
// desktop's program for it when clicked.
class TShellButton : public QPushButton
{
    Q_OBJECT
public:
    TShellButton(const QString& caption, const QString& target, QWidget* parent = nullptr);

    [[nodiscard]] const QString& ShellTarget() const { return FTarget; }
    void SetShellTarget(const QString& target) { FTarget = target; }
    // Opens the target; when no program can, shows the "ShellError" text
    // for it and returns false.
    bool Open();

private:
    QString FTarget;
};

// Opens a URL with the desktop's program (QDesktopServices); tests replace
// it. Returns the previous opener.
using TShellOpener = std::function<bool(const QUrl& url)>;
TShellOpener SetShellOpener(TShellOpener opener);
