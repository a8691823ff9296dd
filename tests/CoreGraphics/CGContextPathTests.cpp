#include "CoreGraphics/CGContext.h"
#include "CoreGraphics/cairo/CairoContext.h"
#include "support/GraphicsTestSupport.h"

#include <cairo.h>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <string>

using namespace TestSupport;

namespace {

using Step = std::function<void(const CGContextRef&)>;
const Step nothing = [](const CGContextRef&) { };

CGColorRef rgba(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha = 1)
{
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), { red, green, blue, alpha });
}

std::string drawn(const CGContextRef& context)
{
    return letters(*CGBitmapContextCreateImage(context));
}

// UIKit's CTM for a view: origin at the top left, y down.
void flip(const CGContextRef& context)
{
    CGContextTranslateCTM(context, 0, static_cast<CGFloat>(CGBitmapContextGetHeight(context)));
    CGContextScaleCTM(context, 1, -1);
}

struct Probe {
    size_t x, y;  // rows from the top
    Pixel expected;
};

void expectProbes(const CGContextRef& context, std::initializer_list<Probe> probes)
{
    auto image = CGBitmapContextCreateImage(context);
    for (const auto& p : probes)
        EXPECT_TRUE(pixelNear(pixelAt(*image, p.x, p.y), p.expected)) << "pixel " << p.x << ", " << p.y;
}

}

TEST(CGContextFillPath, FillsInsideTheCircleOnly)
{
    auto context = CGBitmapContextCreate(20, 20);
    CGContextSetFillColorWithColor(context, rgba(0, 0, 1));
    auto circle = CGPathCreateMutable();
    CGPathAddArc(circle, nullptr, 10, 10, 8, 0, 7, false);
    CGContextAddPath(context, circle);
    CGContextFillPath(context);
    EXPECT_TRUE(CGContextIsPathEmpty(context));
    expectProbes(context, { { 10, 10, opaqueBlue }, { 3, 9, opaqueBlue }, { 9, 16, opaqueBlue }, { 0, 10, transparent }, { 10, 0, transparent },
                              { 3, 3, transparent }, { 16, 16, transparent } });
    // Clipped to the left half, red covers it all and nothing on the right.
    CGContextAddRect(context, CGRectMake(0, 0, 10, 20));
    CGContextClip(context);
    CGContextSetFillColorWithColor(context, rgba(1, 0, 0));
    CGContextFillRect(context, CGRectMake(0, 0, 20, 20));
    expectProbes(context, { { 3, 3, opaqueRed }, { 3, 9, opaqueRed }, { 10, 10, opaqueBlue }, { 16, 16, transparent } });
}

TEST(CGContextStrokePath, CoversTheLineWidthCentredOnThePath)
{
    struct Case {
        const char* label;
        Step setUp, beforeStroke;
        const char* expected;
    };
    const Case cases[] = {
        { "width 1 by default", nothing, nothing, "..../..../.RR./..../...." },
        { "width 3", [](const CGContextRef& c) { CGContextSetLineWidth(c, 3); }, nothing, "..../.RR./.RR./.RR./...." },
        { "square caps", [](const CGContextRef& c) { CGContextSetLineWidth(c, 3); CGContextSetLineCap(c, kCGLineCapSquare); }, nothing,
            "..../RRRR/RRRR/RRRR/...." },
        // Points are fixed when added; the width is taken in the CTM at stroke time.
        { "CTM scaled after adding", nothing, [](const CGContextRef& c) { CGContextScaleCTM(c, 1, 3); }, "..../.RR./.RR./.RR./...." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto context = CGBitmapContextCreate(4, 5);
        CGContextSetStrokeColorWithColor(context, rgba(1, 0, 0));
        c.setUp(context);
        CGContextMoveToPoint(context, 1, 2.5f);
        CGContextAddLineToPoint(context, 3, 2.5f);
        c.beforeStroke(context);
        CGContextStrokePath(context);
        EXPECT_EQ(drawn(context), c.expected);
    }
}

TEST(CGContextDrawPath, ModesAndFillRules)
{
    // Nested squares wound alike; the red stroke, 2 wide, covers every pixel but the middle one.
    const std::pair<CGPathDrawingMode, const char*> cases[] = {
        { kCGPathFill, "KKKKKKK/KKKKKKK/KKKKKKK/KKKKKKK/KKKKKKK/KKKKKKK/KKKKKKK" },
        { kCGPathEOFill, "KKKKKKK/KKKKKKK/KK...KK/KK...KK/KK...KK/KKKKKKK/KKKKKKK" },
        { kCGPathStroke, "RRRRRRR/RRRRRRR/RRRRRRR/RRR.RRR/RRRRRRR/RRRRRRR/RRRRRRR" },
        { kCGPathFillStroke, "RRRRRRR/RRRRRRR/RRRRRRR/RRRKRRR/RRRRRRR/RRRRRRR/RRRRRRR" },
        { kCGPathEOFillStroke, "RRRRRRR/RRRRRRR/RRRRRRR/RRR.RRR/RRRRRRR/RRRRRRR/RRRRRRR" },
    };
    for (const auto& [mode, expected] : cases) {
        SCOPED_TRACE(mode);
        auto context = CGBitmapContextCreate(7, 7);
        CGContextSetFillColorWithColor(context, rgba(0, 0, 0));
        CGContextSetStrokeColorWithColor(context, rgba(1, 0, 0));
        CGContextSetLineWidth(context, 2);
        CGContextAddRect(context, CGRectMake(0, 0, 7, 7));
        CGContextAddRect(context, CGRectMake(2, 2, 3, 3));
        CGContextDrawPath(context, mode);
        EXPECT_EQ(drawn(context), expected);
        EXPECT_TRUE(CGContextIsPathEmpty(context));
    }
}

TEST(CGContextFillPath, PatternColourTilesInDevicePixels)
{
    auto tile = imageFromRows({ { opaqueRed, opaqueBlue } });
    auto path = CGPathCreateMutable();  // two squares; the tiling runs on across the gap
    CGPathAddRect(path, nullptr, CGRectMake(0, 0, 2, 2));
    CGPathAddRect(path, nullptr, CGRectMake(3, 0, 1, 2));
    for (CGFloat alpha : { 1.0f, 0.5f }) {
        SCOPED_TRACE(alpha);
        auto context = CGBitmapContextCreate(4, 2);
        flip(context);
        CGContextSetFillColorWithColor(context, CGColorCreateWithPattern(tile, alpha));
        CGContextAddPath(context, path);
        CGContextFillPath(context);
        int a = alpha == 1 ? 255 : 128;
        expectProbes(context, { { 0, 0, { a, 0, 0, a } }, { 1, 1, { 0, 0, a, a } }, { 2, 0, transparent }, { 3, 1, { 0, 0, a, a } } });
    }
}

TEST(CGContextSetBlendMode, MultiplyDarkensPathFillsUntilRestored)
{
    const std::pair<CGBlendMode, Pixel> cases[] = { { kCGBlendModeNormal, { 255, 128, 0, 255 } }, { kCGBlendModeMultiply, { 128, 64, 0, 255 } } };
    for (auto [mode, expected] : cases) {
        SCOPED_TRACE(mode);
        auto context = CGBitmapContextCreate(2, 1);
        CGContextSetFillColorWithColor(context, rgba(0.5f, 0.5f, 0.5f));
        CGContextFillRect(context, CGRectMake(0, 0, 2, 1));
        CGContextSetFillColorWithColor(context, rgba(1, 0.5f, 0));
        CGContextSaveGState(context);
        CGContextSetBlendMode(context, mode);
        CGContextFillEllipseInRect(context, CGRectMake(-4, -4, 9, 9));
        CGContextRestoreGState(context);
        CGContextFillRect(context, CGRectMake(1, 0, 1, 1));
        expectProbes(context, { { 0, 0, expected }, { 1, 0, { 255, 128, 0, 255 } } });
    }
}

TEST(CGContextSetShadow, OffsetInBaseSpaceYDownUnderEveryDrawingWhileInTheState)
{
    auto blueShadow = [](CGSize offset) { return [offset](const CGContextRef& c) { CGContextSetShadowWithColor(c, offset, 0, rgba(0, 0, 1)); }; };
    auto fill = [](CGRect rect) { return [rect](const CGContextRef& c) { CGContextFillRect(c, rect); }; };
    const Step down = blueShadow({ 0, 1 }), fillPixel = fill(CGRectMake(1, 3, 1, 1));  // pixel (1, 1)
    const Step stroke = [](const CGContextRef& c) {
        CGContextMoveToPoint(c, 1, 3.5f);
        CGContextAddLineToPoint(c, 2, 3.5f);
        CGContextStrokePath(c);
    };
    const Step image = [](const CGContextRef& c) { CGContextDrawImage(c, CGRectMake(1, 3, 1, 1), imageFromRows({ { opaqueRed } })); };
    struct Case {
        const char* label;
        Step setUp, draw;
        const char* expected;
    };
    const char* below = "..../.R../.B../..../....";
    const char* none = "..../.R../..../..../....";
    const Case cases[] = {
        { "y-up context, offset down", down, fillPixel, below },
        { "offset up", blueShadow({ 0, -1 }), fillPixel, ".B../.R../..../..../...." },
        // The CTM turns neither the offset over nor scales it; the base scale does.
        { "flipped CTM", [&](const CGContextRef& c) { flip(c); down(c); }, fill(CGRectMake(1, 1, 1, 1)), below },
        { "scaled CTM", [&](const CGContextRef& c) { CGContextScaleCTM(c, 2, 2); down(c); }, fill(CGRectMake(0.5f, 1.5f, 0.5f, 0.5f)), below },
        { "base scale 2", [&](const CGContextRef& c) { CGContextSetBaseScale(c, 2); down(c); }, fillPixel, "..../.R../..../.B../...." },
        { "stroke", down, stroke, below },
        { "image", down, image, below },
        { "restored away", [&](const CGContextRef& c) { CGContextSaveGState(c); down(c); CGContextRestoreGState(c); }, fillPixel, none },
        { "null colour", [&](const CGContextRef& c) { down(c); CGContextSetShadowWithColor(c, { 0, 1 }, 0, nullptr); }, fillPixel, none },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto context = CGBitmapContextCreate(4, 5);
        CGContextSetFillColorWithColor(context, rgba(1, 0, 0));
        CGContextSetStrokeColorWithColor(context, rgba(1, 0, 0));
        c.setUp(context);
        c.draw(context);
        EXPECT_EQ(drawn(context), c.expected);
    }
    // The default shadow colour is black at a third.
    auto context = CGBitmapContextCreate(4, 5);
    CGContextSetShadow(context, { 0, 1 }, 0);
    fillPixel(context);
    expectProbes(context, { { 1, 2, { 0, 0, 0, 85 } } });
}

TEST(CGContextSetShadow, BlurSpreadsEvenlyAndFades)
{
    auto context = CGBitmapContextCreate(11, 11);
    CGContextSetFillColorWithColor(context, rgba(1, 0, 0));
    CGContextSetShadowWithColor(context, { 0, 0 }, 4, rgba(0, 0, 1));
    CGContextFillRect(context, CGRectMake(5, 5, 1, 1));
    auto image = CGBitmapContextCreateImage(context);
    Pixel near = pixelAt(*image, 5, 4), far = pixelAt(*image, 5, 2);
    EXPECT_EQ(pixelAt(*image, 5, 5), opaqueRed);
    EXPECT_GT(near.alpha, far.alpha);
    EXPECT_GT(far.alpha, 0);
    EXPECT_EQ(near.red, 0);
    EXPECT_TRUE(pixelNear(pixelAt(*image, 4, 5), near));
    EXPECT_TRUE(pixelNear(pixelAt(*image, 5, 6), near));
}

TEST(CGContextSetShadow, TransparencyLayerCastsOneShadowForItsWholeContent)
{
    auto context = CGBitmapContextCreate(4, 1);
    CGContextSetFillColorWithColor(context, rgba(1, 0, 0));
    CGContextSetShadowWithColor(context, { 1, 0 }, 0, rgba(0, 0, 1));
    CGContextBeginTransparencyLayer(context);
    // Were shadows on inside, this square's would cover the one drawn first.
    CGContextFillRect(context, CGRectMake(1, 0, 1, 1));
    CGContextFillRect(context, CGRectMake(0, 0, 1, 1));
    CGContextEndTransparencyLayer(context);
    EXPECT_EQ(drawn(context), "RRB.");
}

TEST(CGContextSetShadow, LightShadowUnderAMultipliedBorderShowsOnlyBelowIt)
{
    // An etched border in a view: grey multiplied over blue, a white shadow one point down.
    // Over the blue the white multiplies to nothing; below the square it shows.
    auto context = CGBitmapContextCreate(8, 8);
    flip(context);
    CGContextSetFillColorWithColor(context, rgba(0, 0, 1));
    CGContextFillRect(context, CGRectMake(1, 1, 6, 6));
    CGContextSetStrokeColorWithColor(context, rgba(0.6f, 0.6f, 0.6f));
    CGContextSetBlendMode(context, kCGBlendModeMultiply);
    CGContextSetShadowWithColor(context, { 0, 1 }, 0, rgba(1, 1, 1, 0.8f));
    CGContextStrokeRect(context, CGRectMake(1.5f, 1.5f, 5, 5));
    const Pixel border { 0, 0, 153, 255 }, light { 204, 204, 204, 204 };
    expectProbes(context, { { 3, 0, transparent }, { 3, 1, border }, { 3, 2, opaqueBlue }, { 3, 6, border }, { 1, 4, border }, { 3, 7, light },
                              { 1, 7, light }, { 6, 7, light }, { 0, 7, transparent } });
}

TEST(CGContextSetShadow, SharpShadowOfASparseDrawingEqualsItsWholeGroupComposited)
{
    // The shadow and the shape are composited only where the drawing holds something; the
    // pixels must be those of compositing the whole group, here done with Cairo alone.
    const int width = 64, height = 40;
    auto background = [](cairo_t* cr) {
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_pattern_t* ramp = cairo_pattern_create_linear(0, 0, width, height);
        cairo_pattern_add_color_stop_rgba(ramp, 0, 0.1, 0.5, 0.9, 1);
        cairo_pattern_add_color_stop_rgba(ramp, 1, 0.9, 0.3, 0.1, 0.4);
        cairo_set_source(cr, ramp);
        cairo_rectangle(cr, 2, 2, width - 10, height - 6);
        cairo_fill(cr);
        cairo_pattern_destroy(ramp);
        cairo_restore(cr);
    };
    // A ring and, far from it, a small square (device pixels, y down).
    auto ring = [](cairo_t* cr) {
        cairo_rectangle(cr, 4, 4, 30, 24);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    };
    auto square = [](cairo_t* cr) {
        cairo_rectangle(cr, 50.5, 29, 6, 5);
        cairo_fill(cr);
    };
    struct Case {
        const char* label;
        CGBlendMode mode;
        cairo_operator_t op;
        CGSize offset;
    };
    const Case cases[] = {
        { "multiply, one pixel down", kCGBlendModeMultiply, CAIRO_OPERATOR_MULTIPLY, { 0, 1 } },
        { "multiply, a fraction of a pixel off", kCGBlendModeMultiply, CAIRO_OPERATOR_MULTIPLY, { 10.5f, -3.5f } },
        { "normal, far off", kCGBlendModeNormal, CAIRO_OPERATOR_OVER, { 12, 5 } },
        { "source-in, which changes what it does not cover", kCGBlendModeSourceIn, CAIRO_OPERATOR_IN, { 0, 1 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto context = CGBitmapContextCreate(width, height);
        cairo_t* drawn = CGContextGetCairo(context);
        background(drawn);
        CGContextSetStrokeColorWithColor(context, rgba(0.6f, 0.6f, 0.6f));
        CGContextSetFillColorWithColor(context, rgba(0.6f, 0.6f, 0.6f));
        CGContextSetLineWidth(context, 2);
        CGContextSetBlendMode(context, c.mode);
        CGContextSetShadowWithColor(context, c.offset, 0, rgba(1, 1, 1, 0.8f));
        CGContextStrokeRect(context, CGRectMake(4, height - 28, 30, 24));
        CGContextFillRect(context, CGRectMake(50.5f, height - 34, 6, 5));

        cairo_surface_t* expected = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_t* cr = cairo_create(expected);
        background(cr);
        auto composite = [&](const std::function<void(cairo_t*)>& shape) {
            cairo_push_group(cr);
            cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
            shape(cr);
            cairo_pattern_t* group = cairo_pop_group(cr);
            cairo_set_operator(cr, c.op);
            cairo_save(cr);
            cairo_translate(cr, c.offset.width, c.offset.height);
            cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
            cairo_mask(cr, group);
            cairo_restore(cr);
            cairo_set_source(cr, group);
            cairo_paint(cr);
            cairo_pattern_destroy(group);
        };
        composite(ring);
        composite(square);
        cairo_destroy(cr);
        auto image = CGBitmapContextCreateImage(context);
        cairo_surface_flush(expected);
        int differing = 0;
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(expected) + y * cairo_image_surface_get_stride(expected));
            for (int x = 0; x < width; ++x)
                differing += image->pixelAt(static_cast<size_t>(x), static_cast<size_t>(y)) != row[x];
        }
        EXPECT_EQ(differing, 0);
        cairo_surface_destroy(expected);
    }
}
