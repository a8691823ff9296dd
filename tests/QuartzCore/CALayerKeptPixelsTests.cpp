#include "QuartzCoreTestSupport.h"


using namespace QuartzCoreTestSupport;
using namespace TestSupport;

namespace {

class CALayerKeptPixels : public QuartzCoreTest { };

// Fills the layer with its colour of the moment.
struct Filler : CALayerDelegate {
    CGColorRef color;
    void drawLayerInContext(CALayer& layer, const CGContextRef& context) override
    {
        CGContextSetFillColorWithColor(context, color);
        CGContextFillRect(context, layer.bounds());
    }
};

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
