#include "QuartzCore/CATransaction.h"

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

struct Level {
    std::map<std::string, CAPropertyValue, std::less<>> values;
    bool isImplicit = false;
};

std::vector<Level>& levels()
{
    thread_local std::vector<Level> stack;
    return stack;
}

unsigned long long& commits()
{
    thread_local unsigned long long count = 0;
    return count;
}

}

void CATransaction::begin()
{
    levels().push_back({});
}

void CATransaction::commit()
{
    auto& stack = levels();
    if (stack.empty() || stack.back().isImplicit)
        return;
    stack.pop_back();
    // Nested in the implicit transaction, the changes go out with it at the flush.
    if (stack.empty())
        ++commits();
}

void CATransaction::flush()
{
    auto& stack = levels();
    if (depth())
        return;
    stack.clear();
    ++commits();
}

unsigned long long CATransaction::commitCount()
{
    return commits();
}

size_t CATransaction::depth()
{
    size_t count = 0;
    for (const auto& level : levels())
        count += level.isImplicit ? 0 : 1;
    return count;
}

CAPropertyValue CATransaction::valueForKey(std::string_view key)
{
    auto& stack = levels();
    for (auto level = stack.rbegin(); level != stack.rend(); ++level) {
        auto found = level->values.find(key);
        if (found != level->values.end())
            return found->second;
    }
    return {};
}

void CATransaction::setValueForKey(const CAPropertyValue& value, std::string_view key)
{
    auto& stack = levels();
    if (stack.empty())
        stack.push_back({ {}, true });
    stack.back().values.insert_or_assign(std::string(key), value);
}

bool CATransaction::disableActions()
{
    return valueForKey(kCATransactionDisableActions).boolValue();
}

void CATransaction::setDisableActions(bool disable)
{
    setValueForKey(CAPropertyValue(disable), kCATransactionDisableActions);
}

CFTimeInterval CATransaction::animationDuration()
{
    CAPropertyValue value = valueForKey(kCATransactionAnimationDuration);
    if (!value.get<double>() && !value.get<bool>())
        return defaultAnimationDuration;
    double duration = value.doubleValue();
    return std::isfinite(duration) && duration > 0 ? duration : 0;
}

void CATransaction::setAnimationDuration(CFTimeInterval duration)
{
    setValueForKey(CAPropertyValue(duration), kCATransactionAnimationDuration);
}

CAMediaTimingFunctionRef CATransaction::animationTimingFunction()
{
    CAPropertyValue value = valueForKey(kCATransactionAnimationTimingFunction);
    auto* function = value.get<CAPropertyValue::TimingFunction>();
    return function ? *function : nullptr;
}

void CATransaction::setAnimationTimingFunction(CAMediaTimingFunctionRef function)
{
    setValueForKey(CAPropertyValue(std::move(function)), kCATransactionAnimationTimingFunction);
}
