#pragma once

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGImage.h"
#include "CoreGraphics/CGPath.h"

#include <cstdint>
#include <memory>
#include <vector>

struct CGContext;
using CGContextRef = std::shared_ptr<CGContext>;

enum CGBlendMode : int {
    kCGBlendModeNormal = 0,
    kCGBlendModeMultiply = 1,
    // What is drawn shows only where something was drawn before, and replaces it there.
    kCGBlendModeSourceIn = 18,
};

enum CGLineJoin : int {
    kCGLineJoinMiter = 0,
    kCGLineJoinRound = 1,
    kCGLineJoinBevel = 2,
};

enum CGLineCap : int {
    kCGLineCapButt = 0,
    kCGLineCapRound = 1,
    kCGLineCapSquare = 2,
};

enum CGPathDrawingMode : int {
    kCGPathFill = 0,
    kCGPathEOFill = 1,
    kCGPathStroke = 2,
    kCGPathFillStroke = 3,
    kCGPathEOFillStroke = 4,
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
// The platform's form: the pixel layout named by the caller. What can be drawn here is 8 bits
// per component, in device RGB with premultiplied or skipped alpha (first or last, either byte
// order) or in a grey space without alpha, in memory the context owns (data nil; bytesPerRow 0
// or at least a row's bytes); any other combination gives no context. Whatever the layout,
// the images made from the context are this platform's one kind (see CGImage).
[[nodiscard]] CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent, size_t bytesPerRow,
    const CGColorSpaceRef&, CGBitmapInfo);
// Not the platform's: a context drawing straight into pixels (width × height, packed rows) that
// its maker also hands out as images (CGImage over the same storage), so that pixels kept from
// frame to frame are neither cleared nor copied. The maker draws only while no such image is
// held elsewhere. Starts with the pixels as they are; nullptr for a size as above or a
// buffer of the wrong size.
using CGSharedPixels = std::shared_ptr<std::vector<std::uint32_t>>;
[[nodiscard]] CGContextRef CGBitmapContextCreateWithSharedPixels(CGSharedPixels, size_t width, size_t height);
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
// Lines are 1 wide, mitred (limit 10) and butt-ended until set otherwise.
void CGContextSetLineWidth(const CGContextRef&, CGFloat width);
void CGContextSetLineJoin(const CGContextRef&, CGLineJoin);
void CGContextSetLineCap(const CGContextRef&, CGLineCap);

// Shadows belong to the graphics state and fall under every later fill, stroke and image:
// the drawn shape's coverage, tinted with the colour, blurred and moved by the offset.
// The offset and blur are in the base space, which the CTM does not touch. Since iOS 3.2
// that space has its origin at the top left, so a positive height puts the shadow lower on
// screen whether or not the CTM is flipped. A null or clear colour turns shadows off.
void CGContextSetShadowWithColor(const CGContextRef&, CGSize offset, CGFloat blur, const CGColorRef&);
// Black at one third alpha.
void CGContextSetShadow(const CGContextRef&, CGSize offset, CGFloat blur);
// Device pixels per base-space unit: 1 for a bitmap context. Whoever makes a context for
// drawing in points at a screen scale sets that scale here (the platform keeps it in the
// base CTM), so that shadow offsets and blur stay in points.
void CGContextSetBaseScale(const CGContextRef&, CGFloat scale);

// The current path. Points are fixed by the CTM in force when they are added; line width
// and pattern phase by the one in force when the path is painted. Painting or clipping
// with the path consumes it, as do the rectangle and ellipse fills and strokes.
void CGContextBeginPath(const CGContextRef&);
void CGContextMoveToPoint(const CGContextRef&, CGFloat x, CGFloat y);
void CGContextAddLineToPoint(const CGContextRef&, CGFloat x, CGFloat y);
// As CGPathAddArcToPoint (PostScript's arct).
void CGContextAddArcToPoint(const CGContextRef&, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius);
void CGContextAddRect(const CGContextRef&, CGRect);
void CGContextAddEllipseInRect(const CGContextRef&, CGRect);
void CGContextAddPath(const CGContextRef&, const CGPathRef&);
void CGContextClosePath(const CGContextRef&);
[[nodiscard]] bool CGContextIsPathEmpty(const CGContextRef&);

void CGContextFillPath(const CGContextRef&);
void CGContextEOFillPath(const CGContextRef&);
void CGContextStrokePath(const CGContextRef&);
// A fill and a stroke together are one shape: one shadow falls under both.
void CGContextDrawPath(const CGContextRef&, CGPathDrawingMode);
// Clipping to an empty path leaves nothing drawable.
void CGContextClip(const CGContextRef&);
void CGContextFillEllipseInRect(const CGContextRef&, CGRect);
void CGContextStrokeEllipseInRect(const CGContextRef&, CGRect);

void CGContextFillRect(const CGContextRef&, CGRect);
void CGContextStrokeRect(const CGContextRef&, CGRect);
void CGContextClearRect(const CGContextRef&, CGRect);
void CGContextClipToRect(const CGContextRef&, CGRect);
// Everything drawn until the matching end is composited at once with the alpha and
// shadow in force at the beginning (a translucent view over its own subviews); inside,
// alpha is 1 and shadows are off.
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
