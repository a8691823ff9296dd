#include "Foundation/NSAssertionHandler.h"

#include "Foundation/NSLog.h"

namespace {

thread_local std::shared_ptr<NSAssertionHandler> threadHandler;

const std::shared_ptr<NSAssertionHandler>& defaultHandler()
{
    static const auto handler = std::make_shared<NSAssertionHandler>();
    return handler;
}

std::string describe(const objc_object* object)
{
    if (!object)
        return "nil";
    return stringWithFormat("<%@: %p>", object_getClassName(object), static_cast<const void*>(object));
}

}

std::shared_ptr<NSAssertionHandler> NSAssertionHandler::currentHandler()
{
    return threadHandler ? threadHandler : defaultHandler();
}

std::shared_ptr<NSAssertionHandler> NSAssertionHandler::setCurrentHandler(std::shared_ptr<NSAssertionHandler> handler)
{
    auto previous = currentHandler();
    threadHandler = std::move(handler);
    return previous;
}

void NSAssertionHandler::handleFailureInMethod(SEL method, const objc_object* object, std::string_view fileName, int line, std::string_view description)
{
    // The receiver's class, or nothing for a nil receiver, names the method as -[Class selector] does.
    const char* className = object ? object_getClassName(object) : "nil";
    NSLog("*** Assertion failure in -[%@ %@] on %@, %@:%d: %@", className, method ? sel_getName(method) : "(null)", describe(object),
        fileName, line, description);
}

void NSAssertionHandler::handleFailureInFunction(std::string_view function, std::string_view fileName, int line, std::string_view description)
{
    NSLog("*** Assertion failure in %@, %@:%d: %@", function, fileName, line, description);
}

namespace Foundation {

bool assertInMethod(bool condition, SEL method, const objc_object* receiver, std::string_view description, SourceLocation where)
{
    if (!condition)
        NSAssertionHandler::currentHandler()->handleFailureInMethod(method, receiver, where.file, where.line, description);
    return condition;
}

bool assertInFunction(bool condition, std::string_view description, SourceLocation where)
{
    if (!condition)
        NSAssertionHandler::currentHandler()->handleFailureInFunction(where.function, where.file, where.line, description);
    return condition;
}

}
