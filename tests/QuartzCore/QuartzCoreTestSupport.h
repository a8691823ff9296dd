#pragma once

#include "QuartzCore/CAAnimationClock.h"
#include "QuartzCore/CALayer.h"
#include "QuartzCore/CARenderer.h"
#include "QuartzCore/CATransaction.h"
#include "support/GraphicsTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

namespace QuartzCoreTestSupport {

inline CGColorRef rgba(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha = 1)
{
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), { red, green, blue, alpha });
}

// The layer drawn into a fresh y-down bitmap of its bounds' size times scale.
inline CGImageRef render(CALayer& layer, CALayerTree tree = CALayerTree::Presentation, CGFloat scale = 1)
{
    CGRect bounds = layer.bounds();
    auto width = static_cast<size_t>(std::ceil(bounds.size.width * scale));
    auto height = static_cast<size_t>(std::ceil(bounds.size.height * scale));
    CGContextRef context = CGBitmapContextCreate(width, height);
    if (!context)
        return nullptr;
    CGContextTranslateCTM(context, 0, static_cast<CGFloat>(height));
    CGContextScaleCTM(context, scale, -scale);
    CGContextTranslateCTM(context, -bounds.origin.x, -bounds.origin.y);
    CARenderer::render(layer, context, tree);
    return CGBitmapContextCreateImage(context);
}

template<class Layer = CALayer>
std::shared_ptr<Layer> layerWithFrame(CGRect frame, CGColorRef background = nullptr)
{
    auto layer = Layer::layer();
    layer->setFrame(frame);
    layer->setBackgroundColor(std::move(background));
    return layer;
}

// Each test starts and ends with no transaction open, its layers already committed once
// it calls commitLayers(), and the clock where it stood.
class QuartzCoreTest : public ::testing::Test {
protected:
    void SetUp() override { CATransaction::flush(); }
    void TearDown() override
    {
        EXPECT_EQ(CATransaction::depth(), 0u) << "a transaction was left open";
        while (CATransaction::depth())
            CATransaction::commit();
        CATransaction::flush();
    }
    // What the run loop does after the event that built the layers: from now on they animate.
    static void commitLayers() { CATransaction::flush(); }
    static void advance(CFTimeInterval seconds) { CAAnimationClock::shared().advance(seconds); }
};

}
