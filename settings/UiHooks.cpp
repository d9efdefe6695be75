#include "settings/UiHooks.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex gHooksMutex;
TErrorBoxHandler gErrorBox;

} // namespace

void ShowErrorBox(const QString& text)
{
    TErrorBoxHandler handler;
    {
        std::lock_guard lock(gHooksMutex);
        handler = gErrorBox;
    }
    if (handler)
        handler(text);
    else
        std::fprintf(stderr, "vellumo: %s\n", text.toLocal8Bit().constData());
}

TErrorBoxHandler SetErrorBoxHandler(TErrorBoxHandler handler)
{
    std::lock_guard lock(gHooksMutex);
    std::swap(gErrorBox, handler);
    return handler;
}
