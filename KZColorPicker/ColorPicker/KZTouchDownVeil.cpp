#include "KZColorPicker/ColorPicker/KZTouchDownVeil.h"

#include "QuartzCore/CATransaction.h"

namespace KZTouchDownVeil {

namespace {

constexpr float pressedOpacity = 0.2f;
constexpr CFTimeInterval fadeIn = 0.001;

}

CAShapeLayerRef addTo(CALayer& layer)
{
    auto veil = CAShapeLayer::layer();
    veil->setOpacity(0);
    layer.addSublayer(veil);
    return veil;
}

void show(const CAShapeLayerRef& veil)
{
    CATransaction::begin();
    CATransaction::setValueForKey(CAPropertyValue(fadeIn), kCATransactionAnimationDuration);
    if (veil)
        veil->setOpacity(pressedOpacity);
    CATransaction::commit();
}

// Outside any explicit transaction, so the veil fades with the default implicit animation.
void hide(const CAShapeLayerRef& veil)
{
    if (veil)
        veil->setOpacity(0);
}

}
