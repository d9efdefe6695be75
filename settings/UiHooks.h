#pragma once

#include <QList>
#include <QString>

#include <functional>

class QObject;

// The layers below the user interface never show a window themselves: they
// call these hooks, which the ui module installs at start-up. Every setter
// returns the previous handler. Without an installed handler the text goes
// to standard error and a question gets its "cancel" answer, which is what
// the command-line program and the tests see.

using TErrorBoxHandler = std::function<void(const QString& text)>;

// Beeps and shows an error box with the product name as caption.
void ShowErrorBox(const QString& text);
// Installs the handler; returns the previous one.
TErrorBoxHandler SetErrorBoxHandler(TErrorBoxHandler handler);

// The platform's own message box with the error icon, for the moments when
// the language table may not be loaded (a missing language file).
using TSystemErrorBoxHandler = std::function<void(const QString& caption, const QString& text)>;
void ShowSystemErrorBox(const QString& caption, const QString& text);
TSystemErrorBoxHandler SetSystemErrorBoxHandler(TSystemErrorBoxHandler handler);

// The file-open dialog on `initialPath` (no title, all files); returns the
// chosen path, or empty text when the user cancels.
using TOpenFileDialogHandler = std::function<QString(const QString& initialPath)>;
[[nodiscard]] QString ChooseFileToOpen(const QString& initialPath);
TOpenFileDialogHandler SetOpenFileDialogHandler(TOpenFileDialogHandler handler);

// The process-wide file-error reporter, called inside a catch block with
// the file or store path: shows the localised file error for the exception
// in flight and returns true, or returns false (showing nothing) for an
// exception it does not map. The default maps EIniFileError to entry 5 of
// the "Error" section.
using TFileErrorReporter = std::function<bool(const QString& path)>;
bool ReportFileError(const QString& path);
TFileErrorReporter SetFileErrorReporter(TFileErrorReporter reporter);

// How the language layer reaches menus and actions, which are widgets. A
// member left empty keeps the default given with it.
struct TMenuHooks
{
    // The main form's menu (default: none).
    std::function<QObject*()> MainMenu;
    // The items of a menu, depth first, each before its children
    // (default: the menu's QObject children, depth first).
    std::function<QList<QObject*>(QObject* menu)> MenuItems;
    // The actions of the "ActionList1" of the form that owns the menu
    // (default: the children of the object named "ActionList1" among the
    // menu parent's children).
    std::function<QList<QObject*>(QObject* menu)> MenuActions;
    // The three shared pop-up menus and the shared action list (default: none).
    std::function<QList<QObject*>()> SharedMenus;
    std::function<QList<QObject*>()> SharedActions;
    // Sets a caption (default: the "title" property where the object has
    // one, else "text").
    std::function<void(QObject* item, const QString& caption)> SetCaption;
};

TMenuHooks SetMenuHooks(TMenuHooks hooks);
[[nodiscard]] QObject* MainMenu();
[[nodiscard]] QList<QObject*> MenuItemsOf(QObject* menu);
[[nodiscard]] QList<QObject*> MenuActionsOf(QObject* menu);
[[nodiscard]] QList<QObject*> SharedMenus();
[[nodiscard]] QList<QObject*> SharedActions();
void SetMenuCaption(QObject* item, const QString& caption);

// The short warning sound of the desktop (the ui installs it; none without).
using TBeepHandler = std::function<void()>;
void SoundBeep();
TBeepHandler SetSoundBeepHandler(TBeepHandler handler);
