#include "messages/MesgErrors.h"

#include "base/Stream.h"
#include "base/ThreadManager.h"
#include "settings/GlobStrings.h"
#include "settings/IniErrors.h"

int FileErrorNumber(std::exception_ptr error)
{
    if (!error)
        return -1;
    try {
        std::rethrow_exception(error);
    } catch (const EFOpenError&) {
        return 1;
    } catch (const EFCreateError&) {
        return 2;
    } catch (const EReadError&) {
        return 3;
    } catch (const EWriteError&) {
        return 4;
    } catch (const EIniFileError&) {
        return 5;
    } catch (const EStreamError&) {
        return 0;
    } catch (...) {
        return -1;
    }
}

QString StreamErrorReason(std::exception_ptr error)
{
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const EStreamError& streamError) {
        return streamError.Reason();
    } catch (...) {
    }
    return {};
}

void QueueFileError(const QString& fileName)
{
    const std::exception_ptr error = std::current_exception();
    const int number = FileErrorNumber(error);
    TThreadManager& manager = TThreadManager::Instance();
    if (number < 0) {
        manager.ReportException(error);
        return;
    }
    TGlobStrings& lang = Lang();
    const QString text = lang.TextOr(number, lang.ErrorSection(), QString());
    const QString reason = StreamErrorReason(error);
    const QString message = TGlobStrings::FormatText(QStringLiteral("%s %s"), {text, fileName});
    manager.ReportError(reason.isEmpty() ? message : message + QStringLiteral(" (") + reason + QLatin1Char(')'));
}
