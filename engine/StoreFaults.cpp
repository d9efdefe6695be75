#include "engine/StoreFaults.h"

#include <array>
#include <mutex>

namespace {

struct TFaultPlan {
    int After = 0;
    int Count = 0;
};

std::mutex gFaultMutex;
std::array<TFaultPlan, static_cast<size_t>(TStoreOp::Count)> gPlans;

} // namespace

void TStoreFaults::Inject(TStoreOp op, int count, int after)
{
    std::lock_guard lock(gFaultMutex);
    gPlans[static_cast<size_t>(op)] = {after, count};
}

void TStoreFaults::Reset()
{
    std::lock_guard lock(gFaultMutex);
    gPlans.fill({});
}

bool TStoreFaults::ShouldFail(TStoreOp op)
{
    std::lock_guard lock(gFaultMutex);
    TFaultPlan& plan = gPlans[static_cast<size_t>(op)];
    if (plan.Count <= 0)
        return false;
    if (plan.After > 0) {
        --plan.After;
        return false;
    }
    --plan.Count;
    return true;
}
