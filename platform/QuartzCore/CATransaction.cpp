#include "QuartzCore/CATransaction.h"

#include "QuartzCore/CAAnimationClock.h"
#include "QuartzCore/CAContext.h"

#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct CATransactionCompletionClaim::Group {
    std::function<void(bool finished)> handler;
    size_t pending = 0;
    bool closed = false;  // its transaction has been committed, or its block replaced
    bool allFinished = true;
    bool queued = false;
};

namespace {

using Group = CATransactionCompletionClaim::Group;

struct Level {
    std::map<std::string, CAPropertyValue, std::less<>> values;
    bool isImplicit = false;
    std::shared_ptr<Group> completion;
};

struct ThreadState {
    std::vector<Level> levels;
    unsigned long long commits = 0;
    bool changed = false;
    bool committing = false;
    // Groups whose transaction is committed and whose animations have all ended.
    std::vector<std::shared_ptr<Group>> ready;
    std::map<int, CATransaction::CommitObserver> observers;
    int nextObserverToken = 1;
};

ThreadState& state()
{
    thread_local ThreadState threadState;
    return threadState;
}

void queueIfDone(const std::shared_ptr<Group>& group)
{
    if (group && group->closed && group->pending == 0 && !group->queued) {
        group->queued = true;
        state().ready.push_back(group);
    }
}

void close(const std::shared_ptr<Group>& group)
{
    if (!group)
        return;
    group->closed = true;
    queueIfDone(group);
}

Level& currentLevel()
{
    auto& levels = state().levels;
    if (levels.empty())
        levels.push_back({ {}, true, nullptr });
    return levels.back();
}

}

void CATransaction::begin()
{
    state().levels.push_back({});
}

void CATransaction::commit()
{
    auto& levels = state().levels;
    if (levels.empty() || levels.back().isImplicit)
        return;
    close(levels.back().completion);
    levels.pop_back();
    // Nested in another transaction (the implicit one included), the changes go out with it.
    if (levels.empty() && !state().committing)
        commitChanges();
}

void CATransaction::flush()
{
    auto& levels = state().levels;
    if (depth() || state().committing)
        return;
    for (auto& level : levels)
        close(level.completion);
    levels.clear();
    commitChanges();
}

void CATransaction::commitChanges()
{
    auto& thread = state();
    {
        struct Committing {
            bool& flag;
            explicit Committing(bool& f) : flag(f) { flag = true; }
            ~Committing() { flag = false; }
        } committing(thread.committing);
        for (auto& context : CAContext::allContexts())
            context->prepareForCommit();
        bool changed = std::exchange(thread.changed, false) || CAAnimationClock::shared().hasRunningAnimations();
        // Observers may come and go while they are told: tell the ones present now.
        auto observers = thread.observers;
        for (auto& [token, observer] : observers)
            observer(changed);
        ++thread.commits;
    }
    // Last, and on a list of their own: a block may start transactions and animations.
    auto ready = std::exchange(thread.ready, {});
    for (auto& group : ready) {
        if (group->handler)
            group->handler(group->allFinished);
    }
}

unsigned long long CATransaction::commitCount()
{
    return state().commits;
}

size_t CATransaction::depth()
{
    size_t count = 0;
    for (const auto& level : state().levels)
        count += level.isImplicit ? 0 : 1;
    return count;
}

void CATransaction::noteLayerChange()
{
    auto& thread = state();
    thread.changed = true;
    // Changes made while a commit lays out and displays belong to that commit.
    if (!thread.committing)
        (void)currentLevel();
}

CAPropertyValue CATransaction::valueForKey(std::string_view key)
{
    auto& levels = state().levels;
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
        auto found = level->values.find(key);
        if (found != level->values.end())
            return found->second;
    }
    return {};
}

void CATransaction::setValueForKey(const CAPropertyValue& value, std::string_view key)
{
    currentLevel().values.insert_or_assign(std::string(key), value);
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

void CATransaction::setCompletionBlock(std::function<void()> block)
{
    setCompletionHandler(block ? [block = std::move(block)](bool) { block(); } : std::function<void(bool)>());
}

void CATransaction::setCompletionHandler(std::function<void(bool finished)> handler)
{
    Level& level = currentLevel();
    close(level.completion);
    level.completion = std::make_shared<Group>();
    level.completion->handler = std::move(handler);
}

int CATransaction::addCommitObserver(CommitObserver observer)
{
    auto& thread = state();
    int token = thread.nextObserverToken++;
    thread.observers.emplace(token, std::move(observer));
    return token;
}

void CATransaction::removeCommitObserver(int token)
{
    state().observers.erase(token);
}

std::unique_ptr<CATransactionCompletionClaim> CATransactionCompletionClaim::claimOpenTransactions()
{
    std::vector<std::shared_ptr<Group>> groups;
    for (auto& level : state().levels) {
        if (level.completion && !level.completion->closed) {
            ++level.completion->pending;
            groups.push_back(level.completion);
        }
    }
    if (groups.empty())
        return nullptr;
    return std::unique_ptr<CATransactionCompletionClaim>(new CATransactionCompletionClaim(std::move(groups)));
}

CATransactionCompletionClaim::CATransactionCompletionClaim(std::vector<std::shared_ptr<Group>> groups)
    : m_groups(std::move(groups))
{
}

CATransactionCompletionClaim::~CATransactionCompletionClaim()
{
    settle(false);
}

void CATransactionCompletionClaim::settle(bool finished)
{
    for (auto& group : std::exchange(m_groups, {})) {
        --group->pending;
        group->allFinished = group->allFinished && finished;
        queueIfDone(group);
    }
}
