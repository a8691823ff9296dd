#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCoreTestSupport.h"

#include <functional>

using namespace QuartzCoreTestSupport;
using namespace TestSupport;

namespace {

class CALayerKeptPixels : public QuartzCoreTest { };

::testing::AssertionResult samePixels(const CGImage& a, const CGImage& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return ::testing::AssertionFailure() << "sizes differ";
    for (size_t y = 0; y < a.height(); ++y) {
        for (size_t x = 0; x < a.width(); ++x) {
            if (a.pixelAt(x, y) != b.pixelAt(x, y))
                return ::testing::AssertionFailure() << "first difference at (" << x << ", " << y << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

// Fills the layer with its colour of the moment.
struct Filler : CALayerDelegate {
    CGColorRef color;
    void drawLayerInContext(CALayer& layer, const CGContextRef& context) override
    {
        CGContextSetFillColorWithColor(context, color);
        CGContextFillRect(context, layer.bounds());
    }
};

// The root drawn into a bitmap of its size at the scale, optionally through a clip to all of it.
CGImageRef renderClipped(CALayer& root, CGFloat scale, bool clipped)
{
    CGRect bounds = root.bounds();
    auto width = static_cast<size_t>(std::ceil(bounds.size.width * scale));
    auto height = static_cast<size_t>(std::ceil(bounds.size.height * scale));
    CGContextRef context = CGBitmapContextCreate(width, height);
    CGContextTranslateCTM(context, 0, static_cast<CGFloat>(height));
    CGContextScaleCTM(context, scale, -scale);
    if (clipped)
        CGContextClipToRect(context, bounds);
    CARenderer::render(root, context, CALayerTree::Model);
    return CGBitmapContextCreateImage(context);
}

}

TEST_F(CALayerKeptPixels, RedisplayDrawsIntoTheSamePixelsUnlessAnImageOfThemIsHeld)
{
    struct Case {
        const char* label;
        bool holdOldContents;
        CGRect newBounds;
        bool samePixels;
    };
    const Case cases[] = {
        { "nothing else holds them", false, CGRectMake(0, 0, 3, 2), true },
        { "the old contents are held elsewhere", true, CGRectMake(0, 0, 3, 2), false },
        { "the size changed", false, CGRectMake(0, 0, 5, 2), false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto filler = std::make_shared<Filler>();
        filler->color = rgba(1, 0, 0);
        auto layer = layerWithFrame(CGRectMake(0, 0, 3, 2));
        layer->setDelegate(filler);
        layer->setContentsScale(2);
        layer->setNeedsDisplay();
        layer->displayIfNeeded();
        ASSERT_TRUE(layer->contents());
        const std::uint32_t* before = layer->contents()->data();
        CGImageRef held = c.holdOldContents ? layer->contents() : nullptr;

        filler->color = rgba(0, 0, 1);
        layer->setBounds(c.newBounds);
        layer->setNeedsDisplay();
        layer->displayIfNeeded();
        ASSERT_TRUE(layer->contents());
        EXPECT_EQ(layer->contents()->data() == before, c.samePixels);
        EXPECT_EQ(layer->contents()->width(), static_cast<size_t>(c.newBounds.size.width * 2));
        EXPECT_EQ(pixelAt(*layer->contents(), 0, 0), opaqueBlue);
        EXPECT_EQ(pixelAt(*layer->contents(), layer->contents()->width() - 1, 3), opaqueBlue);
        if (held) {
            EXPECT_EQ(pixelAt(*held, 0, 0), opaqueRed) << "an image handed out never changes";
        }
    }
}

TEST_F(CALayerKeptPixels, KeptGradientPixelsAreThoseOfAFreshFillAndFollowChanges)
{
    struct Case {
        const char* label;
        CGRect frame;
        CGFloat scale;
        std::function<void(CAGradientLayer&)> change;
    };
    const Case cases[] = {
        { "scale 1, whole points", CGRectMake(1, 2, 9, 7), 1, [](CAGradientLayer& g) { g.setColors({ rgba(0, 1, 0), rgba(0, 0, 1) }); } },
        { "scale 2, half points", CGRectMake(1.5, 0.5, 9, 6.5), 2,
            [](CAGradientLayer& g) { g.setLocations(std::vector<CGFloat> { 0.2, 0.7, 0.9 }); } },
        { "scale 2, quarter points (not kept)", CGRectMake(0.25, 1, 9, 6), 2, [](CAGradientLayer& g) { g.setEndPoint(CGPointMake(1, 1)); } },
        { "diagonal, translucent, resized", CGRectMake(2, 1, 8, 8), 2, [](CAGradientLayer& g) { g.setBounds(CGRectMake(0, 0, 6, 9)); } },
        { "start point moved", CGRectMake(0, 0, 12, 10), 1, [](CAGradientLayer& g) { g.setStartPoint(CGPointMake(0.3, 0.4)); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto root = layerWithFrame(CGRectMake(0, 0, 12, 10), rgba(1, 1, 1));
        auto gradient = layerWithFrame<CAGradientLayer>(c.frame);
        gradient->setColors({ rgba(1, 0, 0), rgba(0, 0.5, 0.5, 0.5), rgba(0.2, 0.2, 0.9) });
        gradient->setStartPoint(CGPointMake(0.1, 0));
        root->addSublayer(gradient);
        for (int turn = 0; turn < 2; ++turn) {
            SCOPED_TRACE(turn ? "after the change" : "before the change");
            auto kept = render(*root, CALayerTree::Model, c.scale);
            auto keptAgain = render(*root, CALayerTree::Model, c.scale);
            // A presentation copy keeps nothing: it fills.
            auto freshRoot = layerWithFrame(CGRectMake(0, 0, 12, 10), rgba(1, 1, 1));
            freshRoot->addSublayer(gradient->presentationLayer());
            auto fresh = render(*freshRoot, CALayerTree::Model, c.scale);
            ASSERT_TRUE(kept && keptAgain && fresh);
            EXPECT_TRUE(samePixels(*kept, *fresh));
            EXPECT_TRUE(samePixels(*keptAgain, *fresh));
            c.change(*gradient);
        }
    }
}

TEST_F(CALayerKeptPixels, OpaqueContentsCopiedGiveThePixelsOfCompositing)
{
    std::vector<std::uint32_t> opaque { 0xffff0000, 0xff00ff00, 0xff0000ff, 0xff808080, 0xff102030, 0xffffffff };
    std::vector<std::uint32_t> translucent { 0x80800000, 0xff00ff00, 0x00000000, 0xff808080, 0x40102030, 0xffffffff };
    struct Case {
        const char* label;
        std::vector<std::uint32_t> pixels;
        CGRect frame;
        float parentOpacity;
    };
    const Case cases[] = {
        { "opaque, one pixel to a pixel", opaque, CGRectMake(1, 1, 3, 2), 1 },
        { "opaque, under a translucent parent", opaque, CGRectMake(2, 0, 3, 2), 0.5f },
        { "opaque, stretched", opaque, CGRectMake(0, 0, 5, 3), 1 },
        { "opaque, between pixels", opaque, CGRectMake(0.5, 1, 3, 2), 1 },
        { "translucent", translucent, CGRectMake(1, 1, 3, 2), 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto root = layerWithFrame(CGRectMake(0, 0, 6, 4), rgba(0.3, 0.6, 0.9, 0.8));
        auto parent = layerWithFrame(CGRectMake(0, 0, 6, 4));
        parent->setOpacity(c.parentOpacity);
        auto picture = layerWithFrame(c.frame);
        picture->setContents(CGImage::create(3, 2, c.pixels));
        parent->addSublayer(picture);
        root->addSublayer(parent);
        auto blended = renderClipped(*root, 1, false);
        auto clipped = renderClipped(*root, 1, true);
        ASSERT_TRUE(blended && clipped);
        EXPECT_TRUE(samePixels(*clipped, *blended));
    }
}
