#include "settings/UiHooks.h"

#include "settings/GlobStrings.h"
#include "settings/IniErrors.h"

#include <QObject>
#include <QVariant>

#include <cstdio>
#include <mutex>

namespace {

std::mutex gHooksMutex;
TErrorBoxHandler gErrorBox;
TSystemErrorBoxHandler gSystemErrorBox;
TOpenFileDialogHandler gOpenFileDialog;
TFileErrorReporter gFileErrorReporter;
TMenuHooks gMenuHooks;
TBeepHandler gBeep;

template<typename T>
T Installed(const T& slot)
{
    std::lock_guard lock(gHooksMutex);
    return slot;
}

template<typename T>
T Replace(T& slot, T handler)
{
    std::lock_guard lock(gHooksMutex);
    std::swap(slot, handler);
    return handler;
}

void PrintError(const QString& text)
{
    std::fprintf(stderr, "vellumo: %s\n", text.toLocal8Bit().constData());
}

// Entry 5 of "Error" (an ini file error), the path and the detail.
bool DefaultReportFileError(const QString& path)
{
    try {
        throw;
    } catch (const EIniFileError& error) {
        const QString text = Lang().TextOr(5, Lang().ErrorSection(), QStringLiteral("Settings file error"));
        ShowErrorBox(TGlobStrings::FormatText(QStringLiteral("%s/n%s/n%s"), {text, path, error.Message()}));
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

void ShowErrorBox(const QString& text)
{
    if (const TErrorBoxHandler handler = Installed(gErrorBox))
        handler(text);
    else
        PrintError(text);
}

TErrorBoxHandler SetErrorBoxHandler(TErrorBoxHandler handler)
{
    return Replace(gErrorBox, std::move(handler));
}

void ShowSystemErrorBox(const QString& caption, const QString& text)
{
    if (const TSystemErrorBoxHandler handler = Installed(gSystemErrorBox))
        handler(caption, text);
    else
        PrintError(caption + QStringLiteral(": ") + text);
}

TSystemErrorBoxHandler SetSystemErrorBoxHandler(TSystemErrorBoxHandler handler)
{
    return Replace(gSystemErrorBox, std::move(handler));
}

QString ChooseFileToOpen(const QString& initialPath)
{
    if (const TOpenFileDialogHandler handler = Installed(gOpenFileDialog))
        return handler(initialPath);
    PrintError(QStringLiteral("no file chosen for %1").arg(initialPath));
    return {};
}

TOpenFileDialogHandler SetOpenFileDialogHandler(TOpenFileDialogHandler handler)
{
    return Replace(gOpenFileDialog, std::move(handler));
}

bool ReportFileError(const QString& path)
{
    if (const TFileErrorReporter reporter = Installed(gFileErrorReporter))
        return reporter(path);
    return DefaultReportFileError(path);
}

TFileErrorReporter SetFileErrorReporter(TFileErrorReporter reporter)
{
    return Replace(gFileErrorReporter, std::move(reporter));
}

TMenuHooks SetMenuHooks(TMenuHooks hooks)
{
    return Replace(gMenuHooks, std::move(hooks));
}

QObject* MainMenu()
{
    const auto hook = Installed(gMenuHooks).MainMenu;
    return hook ? hook() : nullptr;
}

QList<QObject*> MenuItemsOf(QObject* menu)
{
    if (const auto hook = Installed(gMenuHooks).MenuItems)
        return hook(menu);
    return menu ? menu->findChildren<QObject*>() : QList<QObject*>();
}

QList<QObject*> MenuActionsOf(QObject* menu)
{
    if (const auto hook = Installed(gMenuHooks).MenuActions)
        return hook(menu);
    QObject* form = menu ? menu->parent() : nullptr;
    QObject* list = form ? form->findChild<QObject*>(QStringLiteral("ActionList1"), Qt::FindDirectChildrenOnly) : nullptr;
    return list ? list->findChildren<QObject*>(Qt::FindDirectChildrenOnly) : QList<QObject*>();
}

QList<QObject*> SharedMenus()
{
    const auto hook = Installed(gMenuHooks).SharedMenus;
    return hook ? hook() : QList<QObject*>();
}

QList<QObject*> SharedActions()
{
    const auto hook = Installed(gMenuHooks).SharedActions;
    return hook ? hook() : QList<QObject*>();
}

void SetMenuCaption(QObject* item, const QString& caption)
{
    if (const auto hook = Installed(gMenuHooks).SetCaption) {
        hook(item, caption);
        return;
    }
    const bool hasTitle = item->metaObject()->indexOfProperty("title") >= 0;
    item->setProperty(hasTitle ? "title" : "text", caption);
}

void SoundBeep()
{
    if (const TBeepHandler handler = Installed(gBeep))
        handler();
}

TBeepHandler SetSoundBeepHandler(TBeepHandler handler)
{
    return Replace(gBeep, std::move(handler));
}
