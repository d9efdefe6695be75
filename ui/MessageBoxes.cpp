#include "ui/MessageBoxes.h"

#include "base/Stream.h"
#include "base/ThreadManager.h"
#include "settings/GlobStrings.h"
#include "settings/IniErrors.h"
#include "settings/UiHooks.h"
#include "ui/Beep.h"

#include <QFileDialog>
#include <QMessageBox>

#include <exception>

namespace {

// English texts of the file errors, for a language file that lacks them:
// a file error must be reported, not turned into a missing-text error.
const QString kFileErrorFallback[] = {
    QStringLiteral("The data could not be read or written:"),
    QStringLiteral("The file cannot be opened:"),
    QStringLiteral("The file cannot be created:"),
    QStringLiteral("The file cannot be read:"),
    QStringLiteral("The file cannot be written:"),
    QStringLiteral("The settings file cannot be read or written:"),
};

// Boxes belong to the main thread; elsewhere the text is queued for it.
bool QueuedFromWorker(const QString& text)
{
    if (TThreadManager::Instance().IsMainThread())
        return false;
    TThreadManager::Instance().ReportError(text);
    return true;
}

int BeepAndShow(const QString& text, TBoxKind kind, TBoxButtons buttons)
{
    if (QueuedFromWorker(text))
        return mrCancel;
    Beep();
    return ShowBox(text, kind, buttons);
}

void ShowSystemBox(const QString& caption, const QString& text)
{
    if (QueuedFromWorker(text))
        return;
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.exec();
}

} // namespace

void ErrorBox(const QString& text)
{
    BeepAndShow(text, TBoxKind::Error, mbOk);
}

void InfoBox(const QString& text)
{
    BeepAndShow(text, TBoxKind::Information, mbOk);
}

int ConfirmBox(const QString& text)
{
    return BeepAndShow(text, TBoxKind::Confirmation, mbYes | mbNo | mbCancel);
}

void ErrorOf(int number, int section)
{
    ErrorBox(Lang().TextOf(number, section));
}

void ErrorOf(int number, TLangSection section)
{
    ErrorBox(Lang().TextOf(number, section));
}

void InfoOf(int number, int section)
{
    InfoBox(Lang().TextOf(number, section));
}

void InfoOf(int number, TLangSection section)
{
    InfoBox(Lang().TextOf(number, section));
}

void ErrorIn(const QString& section, const QString& key)
{
    ErrorBox(Lang().NamedValue(Lang().SectionIndexOf(section), key));
}

void ErrorNumbered(int number)
{
    ErrorBox(Lang().Strings(number));
}

void ErrorFormatted(int number, const QVariantList& args)
{
    ErrorBox(Lang().FormatTextOf(number, Lang().ErrorSection(), args));
}

void FileErrorBox(int code, const QString& fileName)
{
    const QString fallback = code >= feStream && code <= feIniFile ? kFileErrorFallback[code] : QString();
    const QString entry = Lang().TextOr(code, Lang().ErrorSection(), fallback);
    ErrorBox(TGlobStrings::FormatText(QStringLiteral("%s/n%s"), {entry, fileName}));
}

int FileErrorCodeOfCurrentException()
{
    if (!std::current_exception())
        return -1;
    try {
        throw;
    } catch (const EFOpenError&) {
        return feOpen;
    } catch (const EFCreateError&) {
        return feCreate;
    } catch (const EReadError&) {
        return feRead;
    } catch (const EWriteError&) {
        return feWrite;
    } catch (const EIniFileError&) {
        return feIniFile;
    } catch (const EStreamError&) {
        return feStream;
    } catch (...) {
        return -1;
    }
}

bool ReportFileErrorInBox(const QString& path)
{
    const int code = FileErrorCodeOfCurrentException();
    if (code < 0)
        return false;
    FileErrorBox(code, path);
    return true;
}

void ShowBackgroundErrors()
{
    // A box runs its own event loop, where the next pending-errors message
    // may arrive: the pass already running shows those texts too, in order.
    static bool showing = false;
    if (showing)
        return;
    struct TShowing {
        TShowing() { showing = true; }
        ~TShowing() { showing = false; }
    } guard;
    for (QStringList texts = TThreadManager::Instance().TakePendingErrors(); !texts.isEmpty();
         texts = TThreadManager::Instance().TakePendingErrors())
        for (const QString& text : texts)
            ShowSystemErrorBox(ProgramDisplayName(), text);
}

void InstallUiHooks()
{
    SetErrorBoxHandler(ErrorBox);
    SetSystemErrorBoxHandler(ShowSystemBox);
    SetOpenFileDialogHandler([](const QString& initialPath) {
        return QFileDialog::getOpenFileName(nullptr, QString(), initialPath, QStringLiteral("*"));
    });
    SetFileErrorReporter(ReportFileErrorInBox);
    SetSoundBeepHandler(Beep);
    TThreadManager::Instance().SetErrorHandler(ShowBackgroundErrors);
}
