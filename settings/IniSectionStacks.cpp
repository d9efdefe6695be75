#include "settings/IniSectionStacks.h"

#include <unordered_map>

namespace {

thread_local std::unordered_map<quint64, std::vector<int>> tStacks;

} // namespace

std::vector<int>& TIniSectionStacks::ForTable(quint64 tableId)
{
    std::vector<int>& stack = tStacks[tableId];
    if (stack.empty())
        stack.push_back(0);
    return stack;
}

void TIniSectionStacks::Forget(quint64 tableId)
{
    tStacks.erase(tableId);
}
