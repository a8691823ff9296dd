#pragma once

// Where failed assertions go. The platform's handler logs and then raises; no
// exception may cross a framework boundary here, so ours logs and returns, and
// the operation that failed answers its failure value (nil, 0, false).

#include "objc/runtime.h"

#include <memory>
#include <string_view>

class NSAssertionHandler {
public:
    virtual ~NSAssertionHandler() = default;

    // The calling thread's handler: the one set for the thread, else the default, which logs with NSLog.
    [[nodiscard]] static std::shared_ptr<NSAssertionHandler> currentHandler();
    // Sets the calling thread's handler (nullptr restores the default) and answers the one it replaces.
    static std::shared_ptr<NSAssertionHandler> setCurrentHandler(std::shared_ptr<NSAssertionHandler>);

    // object is the receiver (may be null); fileName is the source file that asserted.
    virtual void handleFailureInMethod(SEL method, const objc_object* object, std::string_view fileName, int line, std::string_view description);
    virtual void handleFailureInFunction(std::string_view function, std::string_view fileName, int line, std::string_view description);
};

namespace Foundation {

// Where a call was written. std::source_location needs a newer clang than the
// fuzzing tool chain has; these builtins work in both compilers.
struct SourceLocation {
    [[nodiscard]] static constexpr SourceLocation current(const char* file = __builtin_FILE(), int line = __builtin_LINE(),
        const char* function = __builtin_FUNCTION())
    {
        return { file, line, function };
    }

    const char* file;
    int line;
    const char* function;
};

// NSAssert in a method: a false condition is reported to the calling thread's
// handler. Answers the condition, so the method can return its failure value.
[[nodiscard]] bool assertInMethod(bool condition, SEL method, const objc_object* receiver, std::string_view description,
    SourceLocation where = SourceLocation::current());
// NSCAssert in a plain function.
[[nodiscard]] bool assertInFunction(bool condition, std::string_view description,
    SourceLocation where = SourceLocation::current());

}
