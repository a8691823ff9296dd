#pragma once

#include "QuartzCore/CABase.h"
#include "QuartzCore/CAMediaTimingFunction.h"
#include "QuartzCore/CAPropertyValue.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

// The transaction keys the platform defines, for setValueForKey and valueForKey.
inline constexpr std::string_view kCATransactionAnimationDuration = "animationDuration";
inline constexpr std::string_view kCATransactionDisableActions = "disableActions";
inline constexpr std::string_view kCATransactionAnimationTimingFunction = "animationTimingFunction";

class CATransactionCompletionClaim;

// Groups of layer changes, per thread. Explicit transactions nest with begin
// and commit; a value set in one holds for the transactions nested inside it
// unless they set their own. A layer change or a value set outside any
// explicit transaction opens the thread's implicit transaction, which lasts
// until flush: what the run loop does at the end of each turn, so the changes
// of one turn go out together, as on the platform.
//
// A commit (flush, or the commit that closes the last open transaction when no
// implicit one is open) is one ordered rendering update: the layer trees of
// every CAContext are laid out, then displayed where they need it, then the
// commit observers are told (a screen composites its frame there), the commit
// is counted, and last the completion blocks of transactions whose animations
// have all ended run.
class CATransaction {
public:
    static void begin();
    // A commit without a matching begin is ignored.
    static void commit();
    // Ends the implicit transaction once no explicit one is open.
    static void flush();
    // Explicit transactions open on this thread.
    [[nodiscard]] static size_t depth();
    // How often this thread's changes have been committed. Layers made since the
    // last commit are not on screen yet and take no implicit actions.
    [[nodiscard]] static unsigned long long commitCount();

    // Defaults: actions enabled, 0.25 s, nil timing function.
    [[nodiscard]] static bool disableActions();
    static void setDisableActions(bool);
    [[nodiscard]] static CFTimeInterval animationDuration();
    // A negative or non-finite duration counts as 0.
    static void setAnimationDuration(CFTimeInterval);
    [[nodiscard]] static CAMediaTimingFunctionRef animationTimingFunction();
    static void setAnimationTimingFunction(CAMediaTimingFunctionRef);

    // Runs once every animation added from now on within this transaction (nested ones
    // included) has ended or been removed, at the end of the commit that follows; at the
    // end of this transaction's own commit when none was added. Setting another block
    // lets the previous one run on what it has gathered so far.
    static void setCompletionBlock(std::function<void()>);
    // The same, told whether every animation ran to its end.
    static void setCompletionHandler(std::function<void(bool finished)>);

    // nil for a key no open transaction has set.
    [[nodiscard]] static CAPropertyValue valueForKey(std::string_view key);
    static void setValueForKey(const CAPropertyValue&, std::string_view key);

    // Told at each commit after layout and display, with whether any layer changed since
    // the last commit or an animation is running (a frame would look different).
    using CommitObserver = std::function<void(bool changed)>;
    static int addCommitObserver(CommitObserver);
    static void removeCommitObserver(int token);

    // For layers: a change was made. Opens the implicit transaction when none is open.
    static void noteLayerChange();

    static constexpr CFTimeInterval defaultAnimationDuration = 0.25;

private:
    friend class CATransactionCompletionClaim;
    static void commitChanges();
};

// An added animation's share in the completion blocks of the transactions open when it
// was added. The layer settles it when the animation ends or is removed; one dropped
// unsettled counts as removed.
class CATransactionCompletionClaim {
public:
    [[nodiscard]] static std::unique_ptr<CATransactionCompletionClaim> claimOpenTransactions();
    ~CATransactionCompletionClaim();
    void settle(bool finished);

    struct Group;

private:
    explicit CATransactionCompletionClaim(std::vector<std::shared_ptr<Group>>);
    std::vector<std::shared_ptr<Group>> m_groups;
};
