#include "base/ThreadObjects.h"

#include "base/ExtThread.h"
#include "base/ThreadManager.h"

TThreadObject::TThreadObject(TSyncItems* owner)
    : TSyncItem(owner)
    , FThreadId(std::this_thread::get_id())
    , FThread(TExtThread::Current())
{
}

TThreadObjectList::TThreadObjectList(TFactory factory, QObject* owner)
    : TSyncItems(owner)
    , FFactory(std::move(factory))
    , FMainObject(NewObject())
{
    TThreadManager::Instance().AddObjectList(this);
}

TThreadObjectList::~TThreadObjectList()
{
    TThreadManager::Instance().RemoveObjectList(this);
}

std::unique_ptr<TThreadObject> TThreadObjectList::NewObject()
{
    return FFactory ? FFactory(this) : std::make_unique<TThreadObject>(this);
}

std::unique_ptr<TSyncItem> TThreadObjectList::CreateItem()
{
    return NewObject();
}

TThreadObject* TThreadObjectList::Find(std::thread::id thread) const
{
    TReadGuard guard(*this);
    for (int i = 0; i < Count(); ++i) {
        auto* object = static_cast<TThreadObject*>(Item(i));
        if (object->ThreadId() == thread)
            return object;
    }
    return nullptr;
}

TThreadObject* TThreadObjectList::ObjectForCurrentThread()
{
    if (TThreadManager::Instance().IsMainThread())
        return FMainObject.get();
    if (TThreadObject* object = Find(std::this_thread::get_id()))
        return object;
    // Only this thread creates its own object, so nobody can add it meanwhile.
    std::unique_ptr<TThreadObject> created = NewObject();
    TThreadObject* object = created.get();
    if (OnCreateObject)
        OnCreateObject(this, object);
    Add(std::move(created));
    return object;
}

void TThreadObjectList::DropThread(const TExtThread* thread)
{
    TWriteGuard guard(*this);
    for (int i = Count() - 1; i >= 0; --i)
        if (static_cast<TThreadObject*>(Item(i))->Thread() == thread)
            Delete(i);
}
