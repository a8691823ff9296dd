#include "QuartzCore/CAContext.h"
#include "QuartzCoreTestSupport.h"
#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CAShapeLayer.h"

using namespace TestSupport;
using namespace QuartzCoreTestSupport;

namespace {

class CARendererDrawing : public QuartzCoreTest { };

CGPathRef rectanglePath(CGRect rect)
{
    auto path = CGPathCreateMutable();
    CGPathAddRect(path, nullptr, rect);
    return path;
}

// A root of the given size, white, with one sublayer.
CALayerRef whiteRootWith(CGSize size, const CALayerRef& sublayer)
{
    auto root = layerWithFrame(CGRect { {}, size }, rgba(1, 1, 1));
    root->addSublayer(sublayer);
    return root;
}

}

TEST_F(CARendererDrawing, SublayersLandByPositionAnchorAndTransformInOrder)
{
    struct Case {
        const char* label;
        std::function<void(CALayer& child)> setUp;
        const char* expected;
    };
    const Case cases[] = {
        { "frame", [](CALayer& l) { l.setFrame(CGRectMake(1, 2, 2, 1)); }, "WWW/WWW/WRR" },
        { "anchor at the top left", [](CALayer& l) {
             l.setBounds(CGRectMake(0, 0, 1, 1));
             l.setAnchorPoint(CGPointZero);
             l.setPosition(CGPointMake(2, 0));
         },
            "WWR/WWW/WWW" },
        { "quarter turn about the centre", [](CALayer& l) {
             l.setFrame(CGRectMake(0, 1, 3, 1));
             l.setValueForKeyPath(static_cast<CGFloat>(std::numbers::pi / 2), "transform.rotation.z");
         },
            "WRW/WRW/WRW" },
        { "squashed flat", [](CALayer& l) {
             l.setFrame(CGRectMake(0, 0, 3, 3));
             l.setValueForKeyPath(0, "transform.scale.x");
         },
            "WWW/WWW/WWW" },
        { "hidden with a visible sublayer", [](CALayer& l) {
             l.setFrame(CGRectMake(0, 0, 3, 3));
             l.addSublayer(layerWithFrame(CGRectMake(0, 0, 1, 1), rgba(0, 0, 1)));
             l.setHidden(true);
         },
            "WWW/WWW/WWW" },
        { "later sublayers on top, zPosition above both", [](CALayer& l) {
             l.setFrame(CGRectMake(0, 0, 3, 1));
             auto raised = layerWithFrame(CGRectMake(0, 0, 1, 1), rgba(0, 0, 1));
             raised->setZPosition(1);
             l.addSublayer(raised);
             l.addSublayer(layerWithFrame(CGRectMake(0, 0, 2, 1), rgba(0, 1, 0)));
         },
            "BGR/WWW/WWW" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto child = layerWithFrame(CGRectZero, rgba(1, 0, 0));
        c.setUp(*child);
        auto image = render(*whiteRootWith(CGSizeMake(3, 3), child));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(letters(*image), c.expected);
    }
}

TEST_F(CARendererDrawing, GradientRunsTopToBottomByDefault)
{
    struct Case {
        const char* label;
        CGPoint start, end;
        std::optional<std::vector<CGFloat>> locations;
        Pixel first, last;  // top-left and bottom-right pixels of an 8 × 8 layer
    };
    // Pixel centres sit 1/16 in from each end of an 8-pixel axis.
    const Case cases[] = {
        { "default axis", CGPointMake(0.5, 0), CGPointMake(0.5, 1), std::nullopt, { 239, 0, 16, 255 }, { 16, 0, 239, 255 } },
        { "left to right", CGPointMake(0, 0.5), CGPointMake(1, 0.5), std::nullopt, { 239, 0, 16, 255 }, { 16, 0, 239, 255 } },
        { "locations hold the ends", CGPointMake(0.5, 0), CGPointMake(0.5, 1), std::vector<CGFloat> { 0.25f, 0.75f }, opaqueRed,
            opaqueBlue },
        { "a miscounted list is ignored", CGPointMake(0.5, 0), CGPointMake(0.5, 1), std::vector<CGFloat> { 0.5f }, { 239, 0, 16, 255 },
            { 16, 0, 239, 255 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto gradient = layerWithFrame<CAGradientLayer>(CGRectMake(0, 0, 8, 8));
        gradient->setColors({ rgba(1, 0, 0), rgba(0, 0, 1) });
        gradient->setStartPoint(c.start);
        gradient->setEndPoint(c.end);
        gradient->setLocations(c.locations);
        auto image = render(*gradient);
        ASSERT_NE(image, nullptr);
        EXPECT_TRUE(pixelNear(pixelAt(*image, 0, 0), c.first, 2));
        EXPECT_TRUE(pixelNear(pixelAt(*image, 7, 7), c.last, 2));
    }
}

TEST_F(CARendererDrawing, ShapeFillsBlackUntilToldOtherwise)
{
    auto shape = layerWithFrame<CAShapeLayer>(CGRectMake(0, 0, 4, 4));
    shape->setPath(rectanglePath(CGRectMake(1, 1, 2, 2)));
    EXPECT_EQ(letters(*render(*shape)), "..../.KK./.KK./....");
    shape->setFillColor(nullptr);
    shape->setStrokeColor(rgba(0, 1, 0));
    shape->setLineWidth(2);
    shape->setPath(rectanglePath(CGRectMake(0, 0, 4, 4)));
    EXPECT_EQ(letters(*render(*shape)), "GGGG/G..G/G..G/GGGG");
    shape->setPath(nullptr);
    EXPECT_EQ(letters(*render(*shape)), "..../..../..../....");
}

TEST_F(CARendererDrawing, OpacityCompositesTheLayerTreeOnce)
{
    for (float opacity : { 1.0f, 0.5f, 0.0f }) {
        SCOPED_TRACE(opacity);
        auto child = layerWithFrame(CGRectMake(0, 0, 2, 1), rgba(0, 0, 0));
        // Black over black inside the translucent layer: no darker than the rest once composited.
        child->addSublayer(layerWithFrame(CGRectMake(0, 0, 1, 1), rgba(0, 0, 0)));
        child->setOpacity(opacity);
        auto image = render(*whiteRootWith(CGSizeMake(2, 1), child));
        int grey = static_cast<int>(std::lround(255 * (1 - opacity)));
        EXPECT_TRUE(pixelNear(pixelAt(*image, 0, 0), { grey, grey, grey, 255 }));
        EXPECT_TRUE(pixelNear(pixelAt(*image, 1, 0), { grey, grey, grey, 255 }));
    }
}

TEST_F(CARendererDrawing, CornerRadiusRoundsTheBackgroundAndMasksClipSublayers)
{
    struct Case {
        const char* label;
        bool masks;
        Pixel corner;
    };
    const Case cases[] = { { "sublayer not clipped", false, opaqueRed }, { "clipped to the rounded bounds", true, transparent } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto layer = layerWithFrame(CGRectMake(0, 0, 20, 20), rgba(0, 0, 1));
        layer->setCornerRadius(10);
        layer->setMasksToBounds(c.masks);
        layer->addSublayer(layerWithFrame(CGRectMake(0, 0, 10, 10), rgba(1, 0, 0)));
        auto image = render(*layer);
        EXPECT_TRUE(pixelNear(pixelAt(*image, 0, 0), c.corner));
        EXPECT_TRUE(pixelNear(pixelAt(*image, 19, 0), transparent)) << "the background is rounded either way";
        EXPECT_TRUE(pixelNear(pixelAt(*image, 5, 5), opaqueRed));
        EXPECT_TRUE(pixelNear(pixelAt(*image, 15, 15), opaqueBlue));
    }
}

TEST_F(CARendererDrawing, BorderLiesInsideTheBoundsAboveTheSublayers)
{
    auto layer = layerWithFrame(CGRectMake(0, 0, 4, 4), rgba(1, 1, 1));
    layer->setBorderWidth(1);
    layer->addSublayer(layerWithFrame(CGRectMake(0, 0, 4, 4), rgba(1, 0, 0)));
    EXPECT_EQ(letters(*render(*layer)), "KKKK/KRRK/KRRK/KKKK");
}

TEST_F(CARendererDrawing, ContentsImageFillsTheBoundsUnderTheGravity)
{
    auto picture = imageFromRows({ { opaqueRed, opaqueGreen }, { opaqueBlue, opaqueWhite } });
    struct Case {
        CALayerContentsGravity gravity;
        CGFloat scale;
        const char* expected;
    };
    const Case cases[] = {
        { kCAGravityTopLeft, 1, "RG../BW../..../...." },
        { kCAGravityCenter, 1, "..../.RG./.BW./...." },
        { kCAGravityBottomRight, 1, "..../..../..RG/..BW" },
        { kCAGravityTop, 1, ".RG./.BW./..../...." },
        // Two pixels per point: the picture is a 1 × 1 point square.
        { kCAGravityBottomLeft, 2, "..../..../..../?..." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gravity);
        auto layer = layerWithFrame(CGRectMake(0, 0, 4, 4));
        layer->setContents(picture);
        layer->setContentsGravity(c.gravity);
        layer->setContentsScale(c.scale);
        EXPECT_EQ(letters(*render(*layer)), c.expected);
    }
    // Resized (the default): the picture's corners reach the bounds' corners.
    auto layer = layerWithFrame(CGRectMake(0, 0, 8, 8));
    layer->setContents(picture);
    auto image = render(*layer);
    EXPECT_EQ(pixelAt(*image, 0, 0), opaqueRed);
    EXPECT_EQ(pixelAt(*image, 7, 0), opaqueGreen);
    EXPECT_EQ(pixelAt(*image, 0, 7), opaqueBlue);
    EXPECT_EQ(pixelAt(*image, 7, 7), opaqueWhite);
}

TEST_F(CARendererDrawing, DisplayCachesTheDelegatesDrawingAtTheContentsScale)
{
    struct Painter : CALayerDelegate {
        int draws = 0;
        void drawLayerInContext(CALayer&, const CGContextRef& context) override
        {
            ++draws;
            // y down in points: the top half red.
            CGContextSetFillColorWithColor(context, rgba(1, 0, 0));
            CGContextFillRect(context, CGRectMake(0, 0, 2, 1));
        }
    };
    auto painter = std::make_shared<Painter>();
    auto layer = layerWithFrame(CGRectMake(0, 0, 2, 2));
    layer->setDelegate(painter);
    layer->setContentsScale(2);
    layer->setNeedsDisplay();
    auto root = whiteRootWith(CGSizeMake(2, 2), layer);
    EXPECT_EQ(letters(*render(*root)), "WW/WW") << "the renderer only reads the tree";
    EXPECT_EQ(painter->draws, 0);
    // On screen, the commit displays it.
    auto context = CAContext::contextWithLayer(root);
    commitLayers();
    EXPECT_EQ(letters(*render(*root)), "RR/WW");
    commitLayers();
    EXPECT_EQ(letters(*render(*root)), "RR/WW");
    EXPECT_EQ(painter->draws, 1) << "drawn once, then shown from the cache";
    ASSERT_NE(layer->contents(), nullptr);
    EXPECT_EQ(layer->contents()->width(), 4u);
    layer->setNeedsDisplay();
    layer->displayIfNeeded();
    EXPECT_EQ(painter->draws, 2);
}

TEST_F(CARendererDrawing, ThePresentationTreeShowsAnimationsAndTheModelDoesNot)
{
    auto child = layerWithFrame(CGRectMake(0, 0, 1, 1), rgba(0, 0, 0));
    auto root = whiteRootWith(CGSizeMake(1, 1), child);
    commitLayers();
    CATransaction::begin();
    CATransaction::setAnimationTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear));
    child->setOpacity(0);
    CATransaction::commit();
    advance(0.125);
    EXPECT_TRUE(pixelNear(pixelAt(*render(*root), 0, 0), { 128, 128, 128, 255 }));
    EXPECT_EQ(pixelAt(*render(*root, CALayerTree::Model), 0, 0), opaqueWhite);

    // Hiding fades the same way.
    child->setOpacity(1);
    advance(0.25);
    CATransaction::begin();
    CATransaction::setAnimationTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear));
    child->setHidden(true);
    CATransaction::commit();
    EXPECT_EQ(pixelAt(*render(*root), 0, 0), opaqueBlack);
    advance(0.0625);
    EXPECT_TRUE(pixelNear(pixelAt(*render(*root), 0, 0), { 64, 64, 64, 255 }));
    advance(0.1875);
    EXPECT_EQ(pixelAt(*render(*root), 0, 0), opaqueWhite);
}

TEST_F(CARendererDrawing, PatternBackgroundsTileFromTheLayersOrigin)
{
    auto tile = imageFromRows({ { opaqueRed, opaqueGreen }, { opaqueBlue, opaqueWhite } });
    auto layer = layerWithFrame(CGRectMake(1, 1, 3, 3), CGColorCreateWithPattern(tile, 1));
    auto root = layerWithFrame(CGRectMake(0, 0, 4, 4));
    root->addSublayer(layer);
    EXPECT_EQ(letters(*render(*root)), "..../.RGR/.BWB/.RGR");
}

TEST_F(CARendererDrawing, NewContentsDissolveOverTheOld)
{
    auto layer = layerWithFrame(CGRectMake(0, 0, 1, 1));
    layer->setContents(imageFromRows({ { opaqueRed } }));
    commitLayers();
    CATransaction::begin();
    CATransaction::setAnimationTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear));
    layer->setContents(imageFromRows({ { opaqueBlue } }));
    CATransaction::commit();
    advance(0.0625);
    EXPECT_TRUE(pixelNear(pixelAt(*render(*layer), 0, 0), { 191, 0, 64, 255 }));
    advance(0.1875);
    EXPECT_EQ(pixelAt(*render(*layer), 0, 0), opaqueBlue);
}

TEST_F(CARendererDrawing, VastLayersDrawWhatTheContextCanShow)
{
    // Rounding corners millions of pixels across would overflow Cairo or take it forever.
    struct Case {
        CGFloat side;
        CGFloat scale;
        const char* expected;
    };
    const Case cases[] = {
        { 1e7f, 1, "RRRRRRRR/RRRRRRRR/RRRRRRRR/RRRRRRRR/RRRRRRRR/RRRRRRRR/RRRRRRBB/RRRRRRBB" },
        // Too far out for double precision to place: nothing of it, but the context lives on.
        { 1e30f, 1e20f, "......../......../......../......../......../......../......BB/......BB" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.side);
        auto vast = layerWithFrame(CGRectZero, rgba(1, 0, 0));
        vast->setBounds(CGRectMake(0, 0, c.side, c.side));
        vast->setPosition(CGPointMake(2, 2));
        vast->setCornerRadius(c.side / 10);
        vast->setBorderWidth(2);
        vast->setMasksToBounds(true);
        vast->setValueForKeyPath(c.scale, "transform.scale");
        auto root = layerWithFrame(CGRectMake(0, 0, 4, 4));
        root->addSublayer(vast);
        root->addSublayer(layerWithFrame(CGRectMake(3, 3, 1, 1), rgba(0, 0, 1)));
        EXPECT_EQ(letters(*render(*root, CALayerTree::Presentation, 2)), c.expected);
    }
}
