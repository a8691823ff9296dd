// The colour picker's two hot paths, each next to its floor: one drag event on
// the wheel end to end (mapping, setSelectedColor, redrawing what changed and
// compositing the frame at scale 2), and a full-frame render of a 320 × 460
// picker at scale 2, against filling the same pixels once.

#include "Foundation/NSBundle.h"
#include "KZColorPicker/ColorPicker/KZColorPicker.h"
#include "KZColorPicker/ColorPicker/KZColorPickerHSWheel.h"
#include "QuartzCore/CARenderer.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIGraphics.h"
#include "host/TouchInjector.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr CGFloat scale = 2;

std::shared_ptr<KZColorPicker> makePicker()
{
    NSBundle::mainBundle().setResourcePath(TESSARY8_PICTURES_DIR);
    auto picker = KZColorPicker::initWithFrame(CGRectMake(0, 0, 320, 460));
    CATransaction::flush();
    return picker;
}

// Composites the picker as the screen shows it, into a context made once.
void composite(KZColorPicker& picker, const CGContextRef& context)
{
    CGContextClearRect(context, CGRectMake(0, 0, 320, 460));
    CARenderer::render(*picker.layer(), context);
}

CGContextRef screenContext()
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(320, 460), false, scale);
    CGContextRef context = UIGraphicsGetCurrentContext();
    UIGraphicsEndImageContext();
    return context;
}

void WheelDragEvent(benchmark::State& state)
{
    auto picker = makePicker();
    auto context = screenContext();
    TouchInjector finger(picker);
    finger.touchDown(CGPointMake(160, 135));
    double angle = 0;
    for (auto _ : state) {
        angle += 0.05;
        finger.touchMove(CGPointMake(static_cast<CGFloat>(160 + 80 * std::cos(angle)), static_cast<CGFloat>(135 + 80 * std::sin(angle))));
        CATransaction::flush();
        composite(*picker, context);
    }
    finger.touchUp(CGPointMake(160, 135));
}

void FullFrameRender(benchmark::State& state)
{
    auto picker = makePicker();
    auto context = screenContext();
    for (auto _ : state) {
        picker->setNeedsDisplay();
        for (auto& subview : picker->subviews())
            subview->setNeedsDisplay();
        composite(*picker, context);
    }
}

void FloorFillSamePixels(benchmark::State& state)
{
    auto context = screenContext();
    CGContextSetFillColorWithColor(context, UIColor::blueColor()->CGColor());
    for (auto _ : state)
        CGContextFillRect(context, CGRectMake(0, 0, 320, 460));
}

BENCHMARK(WheelDragEvent)->Unit(benchmark::kMicrosecond);
BENCHMARK(FullFrameRender)->Unit(benchmark::kMicrosecond);
BENCHMARK(FloorFillSamePixels)->Unit(benchmark::kMicrosecond);

}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({ { "WheelDragEvent", "FloorFillSamePixels" }, { "FullFrameRender", "FloorFillSamePixels" } });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
