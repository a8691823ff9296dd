#pragma once

#include "Foundation/NSAssertionHandler.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace ColorTestSupport {

struct AssertionFailure {
    std::string method;
    const objc_object* object;
    std::string fileName;
    std::string description;
};

// Collects the calling thread's assertion failures, instead of logging them, while it lives.
class ScopedAssertionRecorder {
public:
    ScopedAssertionRecorder() : m_handler(std::make_shared<Handler>()), m_previous(NSAssertionHandler::setCurrentHandler(m_handler)) { }
    ~ScopedAssertionRecorder() { NSAssertionHandler::setCurrentHandler(m_previous); }
    [[nodiscard]] std::vector<AssertionFailure> take() { return std::exchange(m_handler->failures, {}); }

private:
    struct Handler : NSAssertionHandler {
        void handleFailureInMethod(SEL method, const objc_object* object, std::string_view file, int, std::string_view description) override
        {
            failures.push_back({ sel_getName(method), object, std::string(file), std::string(description) });
        }
        std::vector<AssertionFailure> failures;
    };
    std::shared_ptr<Handler> m_handler;
    std::shared_ptr<NSAssertionHandler> m_previous;
};

inline UIColorRef colorIn(CGColorSpaceRef space, std::vector<CGFloat> components)
{
    return UIColor::colorWithCGColor(std::make_shared<const CGColor>(std::move(space), std::move(components)));
}
inline UIColorRef cmykColor() { return colorIn(CGColorSpaceCreateDeviceCMYK(), { 0.1f, 0.2f, 0.3f, 0.4f, 1 }); }
inline UIColorRef labColor() { return colorIn(CGColorSpaceCreateLab(), { 50, 10, -10, 1 }); }
inline UIColorRef deviceNColor() { return colorIn(CGColorSpaceCreateDeviceN(2), { 0.5f, 0.25f, 1 }); }
inline UIColorRef indexedColor() { return colorIn(CGColorSpaceCreateIndexed(CGColorSpaceCreateDeviceRGB()), { 3, 1 }); }
inline UIColorRef unknownModelColor() { return colorIn(std::make_shared<const CGColorSpace>(kCGColorSpaceModelUnknown, 1), { 0.5f, 1 }); }
inline UIColorRef patternColor()
{
    return UIColor::colorWithPatternImage(UIImage::imageWithCGImage(CGImage::create(2, 2, { 0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFFFFFF })));
}

// The colour's model and stored components, each within a few units in the last
// place of a float, the precision the colour model works in whatever CGFloat is.
inline ::testing::AssertionResult hasComponents(const UIColorRef& color, CGColorSpaceModel model, std::vector<CGFloat> expected)
{
    if (!color)
        return ::testing::AssertionFailure() << "no colour";
    auto& cgColor = color->CGColor();
    const CGFloat* begin = CGColorGetComponents(cgColor);
    std::vector<CGFloat> actual(begin, begin + CGColorGetNumberOfComponents(cgColor));
    bool same = CGColorSpaceGetModel(CGColorGetColorSpace(cgColor)) == model && actual.size() == expected.size()
        && std::equal(actual.begin(), actual.end(), expected.begin(), [](CGFloat a, CGFloat b) {
               return std::abs(a - b) <= 4 * std::numeric_limits<float>::epsilon() * std::max<CGFloat>(1, std::abs(b));
           });
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "model " << CGColorSpaceGetModel(CGColorGetColorSpace(cgColor)) << " components "
                                         << ::testing::PrintToString(actual) << ", expected model " << model << " "
                                         << ::testing::PrintToString(expected);
}

inline ::testing::AssertionResult isRGB(const UIColorRef& color, std::vector<CGFloat> rgba)
{
    return hasComponents(color, kCGColorSpaceModelRGB, std::move(rgba));
}

}
