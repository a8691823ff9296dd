#pragma once

#include "QuartzCore/CABase.h"
#include "QuartzCore/CAMediaTimingFunction.h"
#include "QuartzCore/CAPropertyValue.h"

#include <string_view>

// The transaction keys the platform defines, for setValueForKey and valueForKey.
inline constexpr std::string_view kCATransactionAnimationDuration = "animationDuration";
inline constexpr std::string_view kCATransactionDisableActions = "disableActions";
inline constexpr std::string_view kCATransactionAnimationTimingFunction = "animationTimingFunction";

// Groups of layer changes, per thread. Explicit transactions nest with begin
// and commit; a value set in one holds for the transactions nested inside it
// unless they set their own. Setting a value outside any explicit transaction
// opens the thread's implicit transaction, which lasts until flush: what the
// run loop does after each event, so the value holds for the rest of that
// event's work, as on the platform.
class CATransaction {
public:
    static void begin();
    // A commit without a matching begin is ignored.
    static void commit();
    // Ends the implicit transaction once no explicit one is open.
    static void flush();
    // Explicit transactions open on this thread.
    [[nodiscard]] static size_t depth();
    // How often this thread's changes have been committed: each flush, and each
    // commit that closes the last open transaction. Layers made since the last
    // one are not on screen yet and take no implicit actions.
    [[nodiscard]] static unsigned long long commitCount();

    // Defaults: actions enabled, 0.25 s, nil timing function.
    [[nodiscard]] static bool disableActions();
    static void setDisableActions(bool);
    [[nodiscard]] static CFTimeInterval animationDuration();
    // A negative or non-finite duration counts as 0.
    static void setAnimationDuration(CFTimeInterval);
    [[nodiscard]] static CAMediaTimingFunctionRef animationTimingFunction();
    static void setAnimationTimingFunction(CAMediaTimingFunctionRef);

    // nil for a key no open transaction has set.
    [[nodiscard]] static CAPropertyValue valueForKey(std::string_view key);
    static void setValueForKey(const CAPropertyValue&, std::string_view key);

    static constexpr CFTimeInterval defaultAnimationDuration = 0.25;
};
