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
