#include "QuartzCoreTestSupport.h"

using namespace QuartzCoreTestSupport;
using namespace TestSupport;

TEST(CALayerDisplay, ShadowOffsetsAreInPointsAtEveryContentsScale)
{
    // A red band across the top point casting a black shadow one point down.
    struct Painter : CALayerDelegate {
        void drawLayerInContext(CALayer&, const CGContextRef& context) override
        {
            CGContextSetShadowWithColor(context, CGSizeMake(0, 1), 0, rgba(0, 0, 0));
            CGContextSetFillColorWithColor(context, rgba(1, 0, 0));
            CGContextFillRect(context, CGRectMake(0, 0, 1, 1));
        }
    };
    for (CGFloat scale : { CGFloat(1), CGFloat(2), CGFloat(3) }) {
        SCOPED_TRACE(scale);
        auto painter = std::make_shared<Painter>();
        auto layer = layerWithFrame(CGRectMake(0, 0, 1, 3));
        layer->setDelegate(painter);
        layer->setContentsScale(scale);
        layer->setNeedsDisplay();
        layer->displayIfNeeded();
        ASSERT_TRUE(layer->contents());
        auto rows = static_cast<size_t>(scale);
        EXPECT_EQ(pixelAt(*layer->contents(), 0, 0), opaqueRed);
        EXPECT_EQ(pixelAt(*layer->contents(), 0, 2 * rows - 1), opaqueBlack) << "the shadow's last row";
        EXPECT_EQ(pixelAt(*layer->contents(), 0, 2 * rows), transparent) << "nothing past it";
    }
}

TEST(CALayerDisplay, LayersThatDrawNothingHoldNoContentsYetShowTheirBackgroundAndSublayers)
{
    struct Silent : CALayerDelegate { };
    struct Case {
        const char* label;
        std::shared_ptr<CALayerDelegate> delegate;
    };
    const Case cases[] = {
        { "no delegate", nullptr },
        { "a delegate with the default drawing", std::make_shared<Silent>() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto layer = layerWithFrame(CGRectMake(0, 0, 4, 2), rgba(0, 0, 1));
        layer->setDelegate(c.delegate);
        layer->addSublayer(layerWithFrame(CGRectMake(2, 0, 2, 2), rgba(1, 0, 0)));
        for (int turn = 0; turn < 2; ++turn) {
            layer->setNeedsDisplay();
            layer->displayIfNeeded();
            EXPECT_FALSE(layer->contents()) << "display " << turn;
        }
        auto image = render(*layer, CALayerTree::Model);
        ASSERT_TRUE(image);
        EXPECT_EQ(pixelAt(*image, 0, 0), opaqueBlue);
        EXPECT_EQ(pixelAt(*image, 3, 1), opaqueRed);
    }
}
