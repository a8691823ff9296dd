#include "QuartzCoreTestSupport.h"
#include "QuartzCore/CAGradientLayer.h"

#include <numbers>

using namespace TestSupport;
using namespace QuartzCoreTestSupport;

namespace {

constexpr CGFloat quarterTurn = static_cast<CGFloat>(std::numbers::pi / 2);

class CALayerGeometry : public QuartzCoreTest { };
class CALayerSublayers : public QuartzCoreTest { };
class CALayerKeyValue : public QuartzCoreTest { };

}

TEST_F(CALayerGeometry, FrameIsTheBoxOfTheBoundsTurnedAboutTheAnchorPoint)
{
    struct Case {
        const char* label;
        CGRect bounds;
        CGPoint position;
        CGPoint anchor;
        CATransform3D transform;
        CGRect frame;
    };
    const Case cases[] = {
        { "centred anchor", CGRectMake(0, 0, 40, 20), CGPointMake(50, 50), CGPointMake(0.5, 0.5), CATransform3DIdentity,
            CGRectMake(30, 40, 40, 20) },
        { "top-left anchor", CGRectMake(0, 0, 40, 20), CGPointMake(50, 50), CGPointMake(0, 0), CATransform3DIdentity,
            CGRectMake(50, 50, 40, 20) },
        { "bounds origin does not move the frame", CGRectMake(7, 9, 40, 20), CGPointMake(50, 50), CGPointMake(0.5, 0.5),
            CATransform3DIdentity, CGRectMake(30, 40, 40, 20) },
        { "scaled about the centre", CGRectMake(0, 0, 40, 20), CGPointMake(50, 50), CGPointMake(0.5, 0.5),
            CATransform3DMakeScale(2, 3, 1), CGRectMake(10, 20, 80, 60) },
        { "scaled about the top left", CGRectMake(0, 0, 40, 20), CGPointMake(50, 50), CGPointMake(0, 0), CATransform3DMakeScale(2, 3, 1),
            CGRectMake(50, 50, 80, 60) },
        { "quarter turn", CGRectMake(0, 0, 40, 20), CGPointMake(50, 50), CGPointMake(0.5, 0.5),
            CATransform3DMakeRotation(quarterTurn, 0, 0, 1), CGRectMake(40, 30, 20, 40) },
        { "translated", CGRectMake(0, 0, 40, 20), CGPointMake(50, 50), CGPointMake(0.5, 0.5), CATransform3DMakeTranslation(5, -5, 0),
            CGRectMake(35, 35, 40, 20) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto layer = CALayer::layer();
        layer->setBounds(c.bounds);
        layer->setPosition(c.position);
        layer->setAnchorPoint(c.anchor);
        layer->setTransform(c.transform);
        EXPECT_TRUE(rectNear(layer->frame(), c.frame));
    }
}

TEST_F(CALayerGeometry, SetFrameGivesTheSameFrameBack)
{
    struct Case {
        const char* label;
        CGPoint anchor;
        CATransform3D transform;
        CGSize expectedBoundsSize;
    };
    const CGRect frame = CGRectMake(12, 18, 60, 30);
    const Case cases[] = {
        { "identity", CGPointMake(0.5, 0.5), CATransform3DIdentity, CGSizeMake(60, 30) },
        { "corner anchor", CGPointMake(0, 1), CATransform3DIdentity, CGSizeMake(60, 30) },
        { "scaled", CGPointMake(0.25, 0.5), CATransform3DMakeScale(2, 0.5, 1), CGSizeMake(30, 60) },
        { "mirrored", CGPointMake(0.25, 0.5), CATransform3DMakeScale(-1, 1, 1), CGSizeMake(60, 30) },
        { "quarter turn", CGPointMake(0.5, 0.5), CATransform3DMakeRotation(quarterTurn, 0, 0, 1), CGSizeMake(30, 60) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto layer = CALayer::layer();
        layer->setAnchorPoint(c.anchor);
        layer->setTransform(c.transform);
        layer->setFrame(frame);
        EXPECT_TRUE(rectNear(layer->frame(), frame));
        EXPECT_TRUE(rectNear(layer->bounds(), CGRect { {}, c.expectedBoundsSize }));
    }
}

TEST_F(CALayerGeometry, AnEighthTurnKeepsTheBoundsAndPlacesTheBox)
{
    auto layer = CALayer::layer();
    layer->setBounds(CGRectMake(0, 0, 10, 10));
    layer->setTransform(CATransform3DMakeRotation(quarterTurn / 2, 0, 0, 1));
    layer->setFrame(CGRectMake(100, 100, 50, 50));
    EXPECT_EQ(layer->bounds().size, CGSizeMake(10, 10));
    EXPECT_NEAR(layer->frame().origin.x, 100, 1e-3);
    EXPECT_NEAR(layer->frame().origin.y, 100, 1e-3);
}

TEST_F(CALayerGeometry, NonFiniteGeometryIsRefused)
{
    const CGFloat nan = std::numeric_limits<CGFloat>::quiet_NaN();
    const CGFloat inf = std::numeric_limits<CGFloat>::infinity();
    auto layer = layerWithFrame(CGRectMake(1, 2, 3, 4));
    CATransform3D badTransform = CATransform3DIdentity;
    badTransform.m41 = nan;
    layer->setFrame(CGRectMake(nan, 0, 10, 10));
    layer->setBounds(CGRectMake(0, 0, inf, 1));
    layer->setPosition(CGPointMake(0, nan));
    layer->setAnchorPoint(CGPointMake(inf, 0));
    layer->setTransform(badTransform);
    layer->setOpacity(std::numeric_limits<float>::quiet_NaN());
    layer->setContentsScale(0);
    EXPECT_EQ(layer->frame(), CGRectMake(1, 2, 3, 4));
    EXPECT_TRUE(CATransform3DIsIdentity(layer->transform()));
    EXPECT_EQ(layer->opacity(), 1.0f);
    EXPECT_EQ(layer->contentsScale(), 1);
}

TEST_F(CALayerGeometry, DefaultsAreThePlatforms)
{
    auto layer = CALayer::layer();
    EXPECT_EQ(layer->anchorPoint(), CGPointMake(0.5, 0.5));
    EXPECT_EQ(layer->opacity(), 1.0f);
    EXPECT_FALSE(layer->isHidden());
    EXPECT_EQ(layer->contentsGravity(), kCAGravityResize);
    EXPECT_TRUE(CGColorEqualToColor(layer->borderColor(), CGColorCreate(CGColorSpaceCreateDeviceGray(), { 0, 1 })));
    EXPECT_EQ(layer->backgroundColor(), nullptr);
    EXPECT_STREQ(object_getClassName(layer.get()), "CALayer");
    auto gradient = CAGradientLayer::layer();
    EXPECT_TRUE(gradient->isKindOfClass(CALayer::runtimeClass()));
    EXPECT_EQ(gradient->startPoint(), CGPointMake(0.5, 0));
    EXPECT_EQ(gradient->endPoint(), CGPointMake(0.5, 1));
}

TEST_F(CALayerSublayers, SublayersKeepTheirOrderAndIndexZeroGoesUnderneath)
{
    auto parent = CALayer::layer();
    auto a = CALayer::layer(), b = CALayer::layer(), c = CALayer::layer(), d = CALayer::layer();
    parent->addSublayer(a);
    parent->addSublayer(b);
    parent->insertSublayer(c, 0);
    parent->insertSublayer(d, 99);
    EXPECT_EQ(parent->sublayers(), (std::vector<CALayerRef> { c, a, b, d }));
    parent->insertSublayerBelow(d, a);
    EXPECT_EQ(parent->sublayers(), (std::vector<CALayerRef> { c, d, a, b }));
    parent->insertSublayerAbove(c, b);
    EXPECT_EQ(parent->sublayers(), (std::vector<CALayerRef> { d, a, b, c }));
    EXPECT_EQ(a->superlayer(), parent);

    // Moving a layer to another parent takes it out of the first.
    auto other = CALayer::layer();
    other->addSublayer(a);
    EXPECT_EQ(parent->sublayers(), (std::vector<CALayerRef> { d, b, c }));
    EXPECT_EQ(a->superlayer(), other);
    b->removeFromSuperlayer();
    EXPECT_EQ(parent->sublayers(), (std::vector<CALayerRef> { d, c }));
    EXPECT_EQ(b->superlayer(), nullptr);
}

TEST_F(CALayerSublayers, CyclesAreRefusedAndOwnershipRunsDownward)
{
    auto root = CALayer::layer();
    auto child = CALayer::layer();
    root->addSublayer(child);
    child->addSublayer(root);
    child->addSublayer(child);
    root->addSublayer(nullptr);
    EXPECT_EQ(root->superlayer(), nullptr);
    EXPECT_TRUE(child->sublayers().empty());

    std::weak_ptr<CALayer> weakChild = child;
    child.reset();
    EXPECT_FALSE(weakChild.expired()) << "the superlayer owns its sublayers";
    root.reset();
    EXPECT_TRUE(weakChild.expired());
}

TEST_F(CALayerSublayers, LayoutRunsWhenTheSizeOrTheSublayersChange)
{
    struct Counter : CALayerDelegate {
        int layouts = 0;
        void layoutSublayersOfLayer(CALayer&) override { ++layouts; }
    };
    auto counter = std::make_shared<Counter>();
    auto layer = layerWithFrame(CGRectMake(0, 0, 10, 10));
    layer->setDelegate(counter);
    layer->layoutIfNeeded();
    EXPECT_EQ(counter->layouts, 1);
    layer->layoutIfNeeded();
    EXPECT_EQ(counter->layouts, 1) << "nothing asked for layout again";
    layer->setPosition(CGPointMake(40, 40));
    layer->layoutIfNeeded();
    EXPECT_EQ(counter->layouts, 1) << "moving does not lay out";
    layer->setBounds(CGRectMake(0, 0, 20, 10));
    layer->layoutIfNeeded();
    EXPECT_EQ(counter->layouts, 2);
    layer->addSublayer(CALayer::layer());
    layer->layoutIfNeeded();
    EXPECT_EQ(counter->layouts, 3);
}

TEST_F(CALayerKeyValue, TransformKeyPathsReadAndWriteTheirPart)
{
    struct Case {
        const char* keyPath;
        CGFloat value;
    };
    const Case cases[] = { { "transform.scale.x", 1.5f }, { "transform.scale.y", 0.25f }, { "transform.rotation.z", 0.75f },
        { "transform.rotation", -2.5f }, { "transform.translation.x", 12 }, { "transform.scale", 3 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyPath);
        auto layer = CALayer::layer();
        // Start from a transform with every part set, as a pinch and a turn leave it.
        layer->setAffineTransform(
            CGAffineTransformConcat(CGAffineTransformConcat(CGAffineTransformMakeScale(2, 2), CGAffineTransformMakeRotation(0.5f)),
                CGAffineTransformMakeTranslation(3, 4)));
        CGFloat scaleBefore = layer->valueForKeyPath("transform.scale.x").floatValue();
        CGFloat turnBefore = layer->valueForKeyPath("transform.rotation.z").floatValue();
        EXPECT_TRUE(layer->setValueForKeyPath(c.value, c.keyPath));
        EXPECT_NEAR(layer->valueForKeyPath(c.keyPath).floatValue(), c.value, 1e-4);
        // The other parts stay.
        std::string_view keyPath = c.keyPath;
        if (keyPath.starts_with("transform.scale")) {
            EXPECT_NEAR(layer->valueForKeyPath("transform.rotation.z").floatValue(), turnBefore, 1e-5);
        }
        if (keyPath.starts_with("transform.rotation")) {
            EXPECT_NEAR(layer->valueForKeyPath("transform.scale.x").floatValue(), scaleBefore, 1e-5);
        }
        if (!keyPath.starts_with("transform.translation")) {
            EXPECT_EQ(layer->valueForKeyPath("transform.translation.x").floatValue(), 3.0f);
        }
    }
}

TEST_F(CALayerKeyValue, ScaleAndTurnReadAsTheAffineFormulas)
{
    // s = √(a² + b²), θ = atan2(b, a) for the transforms pinches and turns build, mirrors included.
    const CGAffineTransform transforms[] = { CGAffineTransformMakeScale(1.7f, 1.7f), CGAffineTransformMakeRotation(2.9f),
        CGAffineTransformMake(0.3f, -1.2f, 1.2f, 0.3f, 5, 6), CGAffineTransformMakeScale(-1, 1), CGAffineTransformMake(0, 0, 0, 1, 0, 0) };
    for (const auto& t : transforms) {
        SCOPED_TRACE(testing::Message() << t.a << " " << t.b << " " << t.c << " " << t.d);
        auto layer = CALayer::layer();
        layer->setAffineTransform(t);
        EXPECT_NEAR(layer->valueForKeyPath("transform.scale.x").floatValue(), std::hypot(t.a, t.b), 1e-5);
        EXPECT_NEAR(layer->valueForKeyPath("transform.rotation.z").floatValue(), std::atan2(t.b, t.a), 1e-5);
    }
}

TEST_F(CALayerKeyValue, StructFieldsAndBadInput)
{
    auto layer = layerWithFrame(CGRectMake(10, 20, 30, 40));
    EXPECT_EQ(layer->valueForKeyPath("position.x").floatValue(), 25.0f);
    EXPECT_EQ(layer->valueForKeyPath("bounds.size.height").floatValue(), 40.0f);
    EXPECT_TRUE(layer->setValueForKeyPath(50, "bounds.size.width"));
    EXPECT_EQ(layer->bounds(), CGRectMake(0, 0, 50, 40));
    EXPECT_TRUE(layer->setValueForKeyPath(CGRectMake(0, 0, 8, 8), "frame"));
    EXPECT_EQ(layer->frame(), CGRectMake(0, 0, 8, 8));

    EXPECT_TRUE(layer->valueForKeyPath("noSuchKey").isNil());
    EXPECT_TRUE(layer->valueForKeyPath("position.z").isNil());
    EXPECT_FALSE(layer->setValueForKeyPath(1, "noSuchKey"));
    EXPECT_FALSE(layer->setValueForKeyPath(CGPointMake(1, 1), "opacity"));
    EXPECT_FALSE(layer->setValueForKeyPath(1, "transform.shear"));
    EXPECT_FALSE(layer->setValueForKeyPath(CGSizeMake(1, 1), "bounds.origin"));
    EXPECT_EQ(layer->opacity(), 1.0f);
    EXPECT_EQ(layer->frame(), CGRectMake(0, 0, 8, 8));
}
