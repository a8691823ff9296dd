#include "UIKit/UIGeometry.h"

#include <charconv>

namespace {

std::string number(CGFloat value)
{
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    if (error != std::errc())
        return "nan";
    return std::string(text, end);
}

}

NSString NSStringFromCGPoint(CGPoint point)
{
    return "{" + number(point.x) + ", " + number(point.y) + "}";
}

NSString NSStringFromCGSize(CGSize size)
{
    return "{" + number(size.width) + ", " + number(size.height) + "}";
}

NSString NSStringFromCGRect(CGRect rect)
{
    return "{" + NSStringFromCGPoint(rect.origin) + ", " + NSStringFromCGSize(rect.size) + "}";
}

NSString NSStringFromCGAffineTransform(CGAffineTransform t)
{
    return "[" + number(t.a) + ", " + number(t.b) + ", " + number(t.c) + ", " + number(t.d) + ", " + number(t.tx) + ", " + number(t.ty) + "]";
}
