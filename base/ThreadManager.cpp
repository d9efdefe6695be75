#include "base/ThreadManager.h"

#include "base/Exception.h"
#include "base/ExtThread.h"
#include "base/PrivateMessages.h"
#include "base/ThreadObjects.h"
#include "base/TsanAnnotations.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

// Receives pmThreadErrors on the main thread.
class TThreadManager::TReceiver : public QObject
{
public:
    explicit TReceiver(TThreadManager& manager) : FManager(manager) {}

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != EventType(pmThreadErrors))
            return QObject::event(event);
        AnnotateTakeOver(event);
        FManager.HandleErrorsPending();
        return true;
    }

private:
    TThreadManager& FManager;
};

TThreadManager& TThreadManager::Instance()
{
    static TThreadManager manager;
    return manager;
}

TThreadManager::TThreadManager()
    : FMainThread(std::this_thread::get_id())
    , FReceiver(std::make_unique<TReceiver>(*this))
{
    // A thread object leaving the registry is being destroyed by its owner:
    // only its per-thread objects go with it. The lists are walked under
    // their registry's read lock, because a list leaves the registry first
    // thing when it is destroyed: it then waits until the walk is over
    // instead of going under it.
    FThreads.SetRemovalHandler([this](TExtThread* thread) {
        FObjectLists.ForEach([thread](TThreadObjectList* list) { list->DropThread(thread); });
    });
}

TThreadManager::~TThreadManager() = default;

void TThreadManager::AddThread(TExtThread* thread)
{
    FThreads.Add(thread);
}

void TThreadManager::RemoveThread(TExtThread* thread)
{
    FThreads.Remove(thread);
}

void TThreadManager::AddObjectList(TThreadObjectList* list)
{
    FObjectLists.Add(list);
}

void TThreadManager::RemoveObjectList(TThreadObjectList* list)
{
    FObjectLists.Remove(list);
}

QString TThreadManager::ExceptionText(std::exception_ptr error)
{
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        text = e.Message();
    } catch (const std::exception& e) {
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QStringLiteral("Unknown exception");
    }
    return text.left(kMaxErrorLength);
}

void TThreadManager::ReportException(std::exception_ptr error)
{
    ReportError(ExceptionText(error));
}

void TThreadManager::ReportError(const QString& text)
{
    {
        std::lock_guard lock(FErrorMutex);
        FErrors.append(text.left(kMaxErrorLength));
    }
    if (!QCoreApplication::instance())
        return;   // nobody to tell; the text waits for a handler
    auto* event = new QEvent(EventType(pmThreadErrors));
    AnnotateHandOver(event);
    QCoreApplication::postEvent(FReceiver.get(), event);
}

QStringList TThreadManager::TakePendingErrors()
{
    std::lock_guard lock(FErrorMutex);
    return std::exchange(FErrors, {});
}

TThreadManager::TErrorHandler TThreadManager::SetErrorHandler(TErrorHandler handler)
{
    return std::exchange(FErrorHandler, std::move(handler));
}

void TThreadManager::HandleErrorsPending()
{
    if (FErrorHandler)
        FErrorHandler();
}
