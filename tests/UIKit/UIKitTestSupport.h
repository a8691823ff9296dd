#pragma once

#include "UIKit/UIGraphics.h"
#include "UIKit/UIView.h"
#include "UIKit/UIViewRendering.h"
#include "objc/runtime.h"

#include <ostream>

// Views print as their class and frame rather than their bytes.
inline void PrintTo(const UIView& view, std::ostream* out)
{
    CGRect f = view.frame();
    *out << object_getClassName(&view) << " (" << f.origin.x << ", " << f.origin.y << ", " << f.size.width << ", " << f.size.height << ")";
}

namespace UIKitTestSupport {

inline CGImageRef render(UIView& view, CGFloat scale = 1)
{
    UIImageRef image = renderViewToImage(view, scale);
    return image ? image->CGImage() : nullptr;
}

// Swaps a method's implementation for the scope, as a plug-in's hook would.
class ScopedImplementation {
public:
    ScopedImplementation(Method method, IMP replacement) : m_method(method), m_previous(method_setImplementation(method, replacement)) { }
    ~ScopedImplementation() { method_setImplementation(m_method, m_previous); }
    ScopedImplementation(const ScopedImplementation&) = delete;
    ScopedImplementation& operator=(const ScopedImplementation&) = delete;

private:
    Method m_method;
    IMP m_previous;
};

}
