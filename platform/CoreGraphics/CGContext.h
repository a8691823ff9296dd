#pragma once

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGImage.h"

#include <memory>

struct CGContext;
using CGContextRef = std::shared_ptr<CGContext>;

enum CGBlendMode : int {
    kCGBlendModeNormal = 0,
    kCGBlendModeMultiply = 1,
};

enum CGInterpolationQuality : int {
    kCGInterpolationDefault = 0,
    kCGInterpolationNone = 1,
    kCGInterpolationLow = 2,
    kCGInterpolationMedium = 4,
    kCGInterpolationHigh = 3,
};

// A bitmap context: premultiplied ARGB32 pixels, origin at the bottom left with y
// growing upward, as the platform's bitmap contexts are. Drawing goes to Cairo.
// nullptr when a dimension is 0 or the pixel count is over CGImage::maximumPixelCount.
[[nodiscard]] CGContextRef CGBitmapContextCreate(size_t width, size_t height);
[[nodiscard]] size_t CGBitmapContextGetWidth(const CGContextRef&);
[[nodiscard]] size_t CGBitmapContextGetHeight(const CGContextRef&);
[[nodiscard]] CGImageRef CGBitmapContextCreateImage(const CGContextRef&);

void CGContextSaveGState(const CGContextRef&);
void CGContextRestoreGState(const CGContextRef&);
void CGContextTranslateCTM(const CGContextRef&, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(const CGContextRef&, CGFloat sx, CGFloat sy);
void CGContextRotateCTM(const CGContextRef&, CGFloat angle);
void CGContextConcatCTM(const CGContextRef&, CGAffineTransform);
[[nodiscard]] CGAffineTransform CGContextGetCTM(const CGContextRef&);

void CGContextSetFillColorWithColor(const CGContextRef&, const CGColorRef&);
void CGContextSetStrokeColorWithColor(const CGContextRef&, const CGColorRef&);
void CGContextSetAlpha(const CGContextRef&, CGFloat alpha);
void CGContextSetBlendMode(const CGContextRef&, CGBlendMode);
void CGContextSetInterpolationQuality(const CGContextRef&, CGInterpolationQuality);
void CGContextSetLineWidth(const CGContextRef&, CGFloat width);

void CGContextFillRect(const CGContextRef&, CGRect);
void CGContextStrokeRect(const CGContextRef&, CGRect);
void CGContextClearRect(const CGContextRef&, CGRect);
void CGContextClipToRect(const CGContextRef&, CGRect);
// Everything drawn until the matching end is composited at once with the alpha
// in force at the beginning (a translucent view over its own subviews).
void CGContextBeginTransparencyLayer(const CGContextRef&);
void CGContextEndTransparencyLayer(const CGContextRef&);
// Draws the image scaled into rect, upright in the context's y-up space.
void CGContextDrawImage(const CGContextRef&, CGRect, const CGImageRef&);

// RAII for save/restore.
class CGContextStateSaver {
public:
    explicit CGContextStateSaver(CGContextRef context) : m_context(std::move(context)) { CGContextSaveGState(m_context); }
    ~CGContextStateSaver() { CGContextRestoreGState(m_context); }
    CGContextStateSaver(const CGContextStateSaver&) = delete;
    CGContextStateSaver& operator=(const CGContextStateSaver&) = delete;

private:
    CGContextRef m_context;
};
