#include "QuartzCoreTestSupport.h"
#include "QuartzCore/CABasicAnimation.h"
#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CAShapeLayer.h"

#include <functional>
#include <numbers>

using namespace QuartzCoreTestSupport;

namespace {

class CALayerImplicitActions : public QuartzCoreTest { };
class CALayerPresentation : public QuartzCoreTest { };
class CATransactionValues : public QuartzCoreTest { };

CABasicAnimationRef basicAnimation(const CALayer& layer, std::string_view key)
{
    return std::dynamic_pointer_cast<CABasicAnimation>(layer.animationForKey(key));
}

// A delegate answering as a view does, or with a fixed answer.
struct AnsweringDelegate : CALayerDelegate {
    CALayerDelegate::Action answer = CALayerDelegate::Action::useDefault();
    std::vector<std::string> askedKeys;
    std::vector<CAPropertyValue> valuesWhenAsked;
    Action actionForLayerForKey(CALayer& layer, std::string_view key) override
    {
        askedKeys.emplace_back(key);
        valuesWhenAsked.push_back(layer.valueForKey(key));
        return answer;
    }
};

}

TEST_F(CALayerImplicitActions, AFreeStandingLayerAnimatesEachAnimatableChange)
{
    struct Case {
        const char* key;
        std::function<void(CAShapeLayer&)> change;
    };
    const Case cases[] = {
        { "opacity", [](CAShapeLayer& l) { l.setOpacity(0.2f); } },
        { "hidden", [](CAShapeLayer& l) { l.setHidden(true); } },
        { "bounds", [](CAShapeLayer& l) { l.setBounds(CGRectMake(0, 0, 5, 5)); } },
        { "position", [](CAShapeLayer& l) { l.setPosition(CGPointMake(5, 5)); } },
        { "transform", [](CAShapeLayer& l) { l.setValueForKeyPath(0.5f, "transform.rotation.z"); } },
        { "backgroundColor", [](CAShapeLayer& l) { l.setBackgroundColor(rgba(1, 0, 0)); } },
        { "cornerRadius", [](CAShapeLayer& l) { l.setCornerRadius(4); } },
        { "borderWidth", [](CAShapeLayer& l) { l.setBorderWidth(2); } },
        { "fillColor", [](CAShapeLayer& l) { l.setFillColor(rgba(0, 1, 0)); } },
        { "lineWidth", [](CAShapeLayer& l) { l.setLineWidth(3); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        auto layer = CAShapeLayer::layer();
        commitLayers();
        c.change(*layer);
        EXPECT_EQ(layer->animationKeys(), std::vector<std::string> { c.key });
        auto animation = basicAnimation(*layer, c.key);
        ASSERT_NE(animation, nullptr);
        EXPECT_EQ(animation->keyPath(), c.key);
        EXPECT_DOUBLE_EQ(animation->duration(), 0.25);
        EXPECT_DOUBLE_EQ(animation->beginTime(), CACurrentMediaTime());
    }
}

TEST_F(CALayerImplicitActions, NothingAnimatesWhereThePlatformDoesNot)
{
    struct Case {
        const char* label;
        std::function<void(CALayer&)> change;
    };
    const Case cases[] = {
        { "equal value", [](CALayer& l) { l.setOpacity(1); } },
        { "not animatable", [](CALayer& l) { l.setContentsScale(2); } },
        { "actions disabled in the transaction",
            [](CALayer& l) {
                CATransaction::begin();
                CATransaction::setValueForKey(true, kCATransactionDisableActions);
                l.setOpacity(0.5f);
                CATransaction::commit();
            } },
        { "transaction lasting no time",
            [](CALayer& l) {
                CATransaction::begin();
                CATransaction::setValueForKey(0, kCATransactionAnimationDuration);
                l.setOpacity(0.5f);
                CATransaction::commit();
            } },
        { "null entry in the actions",
            [](CALayer& l) {
                l.setActions({ { "opacity", nullptr } });
                l.setOpacity(0.5f);
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto layer = CALayer::layer();
        commitLayers();
        c.change(*layer);
        EXPECT_TRUE(layer->animationKeys().empty());
    }
}

TEST_F(CALayerImplicitActions, ALayerNotYetCommittedTakesNoAction)
{
    auto layer = CALayer::layer();
    layer->setOpacity(0);
    layer->setHidden(true);
    EXPECT_FALSE(layer->hasBeenCommitted());
    EXPECT_TRUE(layer->animationKeys().empty());
    // The changes opened the implicit transaction: an explicit one nested in it commits nothing.
    CATransaction::begin();
    CATransaction::commit();
    EXPECT_FALSE(layer->hasBeenCommitted());
    commitLayers();
    EXPECT_TRUE(layer->hasBeenCommitted());
    // Made inside an explicit transaction with nothing beneath, it counts as committed once the outermost one is.
    CATransaction::begin();
    auto inner = CALayer::layer();
    CATransaction::begin();
    CATransaction::commit();
    EXPECT_FALSE(inner->hasBeenCommitted());
    CATransaction::commit();
    EXPECT_TRUE(inner->hasBeenCommitted());
    inner->setOpacity(0.5f);
    EXPECT_EQ(inner->animationKeys(), std::vector<std::string> { "opacity" });
}

TEST_F(CALayerImplicitActions, TheTransactionDurationAndCurveAreUsed)
{
    auto layer = CALayer::layer();
    commitLayers();
    CATransaction::begin();
    CATransaction::setValueForKey(0.001, kCATransactionAnimationDuration);
    layer->setOpacity(0.2f);
    CATransaction::commit();
    ASSERT_NE(basicAnimation(*layer, "opacity"), nullptr);
    EXPECT_DOUBLE_EQ(basicAnimation(*layer, "opacity")->duration(), 0.001);
    advance(0.01);
    EXPECT_TRUE(layer->animationKeys().empty());

    CATransaction::begin();
    CATransaction::setAnimationTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear));
    layer->setOpacity(0);
    CATransaction::commit();
    auto animation = basicAnimation(*layer, "opacity");
    ASSERT_NE(animation, nullptr);
    EXPECT_DOUBLE_EQ(animation->duration(), 0.25);
    EXPECT_EQ(animation->timingFunction()->controlPointAtIndex(1), (std::array<float, 2> { 0, 0 }));
    // From the old value as shown; no end value, so it ends on whatever the model holds.
    EXPECT_FLOAT_EQ(animation->fromValue().floatValue(), 0.2f);
    EXPECT_TRUE(animation->toValue().isNil());
}

TEST_F(CALayerImplicitActions, TheDelegateDecidesFirst)
{
    auto explicitAnimation = CABasicAnimation::animationWithKeyPath("opacity");
    explicitAnimation->setDuration(0.5);
    struct Case {
        const char* label;
        CALayerDelegate::Action answer;
        std::vector<std::string> keys;
        double duration;
    };
    const Case cases[] = {
        { "no action, as a view's own layer outside an animation block", CALayerDelegate::Action::none(), {}, 0 },
        { "the default", CALayerDelegate::Action::useDefault(), { "opacity" }, 0.25 },
        { "its own animation", CALayerDelegate::Action::run(explicitAnimation), { "opacity" }, 0.5 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto delegate = std::make_shared<AnsweringDelegate>();
        delegate->answer = c.answer;
        auto layer = CALayer::layer();
        layer->setDelegate(delegate);
        commitLayers();
        layer->setOpacity(0.4f);
        EXPECT_EQ(delegate->askedKeys, std::vector<std::string> { "opacity" });
        // Asked with the old value still in place.
        EXPECT_FLOAT_EQ(delegate->valuesWhenAsked.at(0).floatValue(), 1.0f);
        EXPECT_EQ(layer->animationKeys(), c.keys);
        if (!c.keys.empty()) {
            EXPECT_DOUBLE_EQ(layer->animationForKey("opacity")->duration(), c.duration);
        }
    }
}

TEST_F(CALayerImplicitActions, AnAddedAnimationIsACopy)
{
    auto layer = CALayer::layer();
    auto animation = CABasicAnimation::animationWithKeyPath("position.x");
    animation->setDuration(1);
    layer->addAnimation(animation, "slide");
    animation->setDuration(5);
    EXPECT_DOUBLE_EQ(layer->animationForKey("slide")->duration(), 1);
    EXPECT_NE(layer->animationForKey("slide"), animation);
    // Another under the same key replaces it; an empty key keeps one no key can name.
    layer->addAnimation(animation, "slide");
    layer->addAnimation(animation, "");
    EXPECT_EQ(layer->animationKeys(), std::vector<std::string> { "slide" });
    EXPECT_DOUBLE_EQ(layer->animationForKey("slide")->duration(), 5);
    layer->removeAllAnimations();
    EXPECT_TRUE(layer->animationKeys().empty());
    layer->addAnimation(nullptr, "none");
    EXPECT_TRUE(layer->animationKeys().empty());
}

TEST_F(CALayerPresentation, ValuesFollowTheClockAndEndedAnimationsGo)
{
    auto layer = layerWithFrame(CGRectMake(0, 0, 10, 10));
    commitLayers();
    CATransaction::begin();
    CATransaction::setAnimationDuration(1);
    CATransaction::setAnimationTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear));
    layer->setOpacity(0);
    layer->setPosition(CGPointMake(105, 5));
    CATransaction::commit();

    // The model has the new values at once; the presentation starts from the old ones.
    EXPECT_EQ(layer->opacity(), 0.0f);
    EXPECT_EQ(layer->position(), CGPointMake(105, 5));
    EXPECT_FLOAT_EQ(layer->presentationLayer()->opacity(), 1.0f);
    struct Step {
        CFTimeInterval advance;
        float opacity;
        CGFloat x;
        size_t animations;
    };
    const Step steps[] = { { 0.25, 0.75f, 30, 2 }, { 0.25, 0.5f, 55, 2 }, { 0.49, 0.01f, 104, 2 }, { 0.02, 0, 105, 0 } };
    for (const auto& step : steps) {
        advance(step.advance);
        SCOPED_TRACE(testing::Message() << "opacity " << step.opacity);
        auto presentation = layer->presentationLayer();
        EXPECT_NEAR(presentation->opacity(), step.opacity, 1e-4);
        EXPECT_NEAR(presentation->position().x, step.x, 1e-3);
        EXPECT_NEAR(layer->presentationValueForKeyPath("position.x").doubleValue(), step.x, 1e-3);
        EXPECT_EQ(presentation->modelLayer(), layer);
        EXPECT_EQ(layer->animationKeys().size(), step.animations);
    }
}

TEST_F(CALayerPresentation, TheDefaultCurveEasesAndARunningAnimationHandsOver)
{
    auto layer = CALayer::layer();
    commitLayers();
    layer->setOpacity(0);
    advance(0.125);
    // The platform's default curve is 80 % of the way at half time.
    EXPECT_NEAR(layer->presentationLayer()->opacity(), 1 - 0.8024, 1e-3);
    // A second change starts from where the first one shows the layer.
    float shown = layer->presentationLayer()->opacity();
    layer->setOpacity(1);
    EXPECT_NEAR(basicAnimation(*layer, "opacity")->fromValue().floatValue(), shown, 1e-6);
    EXPECT_NEAR(layer->presentationLayer()->opacity(), shown, 1e-6);
}

TEST_F(CALayerPresentation, HidingFadesAndTheDelegateHearsTheEnd)
{
    struct Listener : CAAnimationDelegate {
        std::vector<bool> stops;
        void animationDidStop(CAAnimation&, bool finished) override { stops.push_back(finished); }
    };
    auto listener = std::make_shared<Listener>();
    auto layer = CALayer::layer();
    commitLayers();
    CATransaction::begin();
    CATransaction::setAnimationTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear));
    layer->setHidden(true);
    CATransaction::commit();
    layer->animationForKey("hidden")->setDelegate(listener);
    EXPECT_TRUE(layer->isHidden());
    EXPECT_FALSE(layer->presentationLayer()->isHidden()) << "still fading out";
    advance(0.25);
    EXPECT_TRUE(layer->presentationLayer()->isHidden());
    EXPECT_TRUE(layer->animationKeys().empty());
    EXPECT_EQ(listener->stops, std::vector<bool> { true });
}

TEST_F(CALayerPresentation, AnAnimationUnderNoKeyEndsAndTellsTheDelegateItOwns)
{
    struct Listener : CAAnimationDelegate {
        std::vector<bool>* stops;
        explicit Listener(std::vector<bool>* record) : stops(record) { }
        void animationDidStop(CAAnimation&, bool finished) override { stops->push_back(finished); }
    };
    std::vector<bool> stops;
    std::weak_ptr<Listener> weakListener;
    auto layer = CALayer::layer();
    {
        // Nothing but the animation holds the delegate.
        auto listener = std::make_shared<Listener>(&stops);
        weakListener = listener;
        auto fade = CABasicAnimation::animationWithKeyPath("opacity");
        fade->setFromValue(CAPropertyValue(0.0f));
        fade->setDuration(0.5);
        fade->setDelegate(listener);
        layer->addAnimation(fade, "");
    }
    advance(0.25);
    EXPECT_NEAR(layer->presentationLayer()->opacity(), 0.5, 1e-3);
    EXPECT_FALSE(weakListener.expired());
    advance(0.3);
    EXPECT_NEAR(layer->presentationLayer()->opacity(), 1, 1e-6);
    EXPECT_EQ(stops, std::vector<bool> { true });
    EXPECT_TRUE(weakListener.expired()) << "the ended animation let its delegate go";
}

TEST_F(CALayerPresentation, KeyPathAnimationsTurnPartOfTheTransform)
{
    auto layer = CALayer::layer();
    layer->setValueForKeyPath(2, "transform.scale");
    auto spin = CABasicAnimation::animationWithKeyPath("transform.rotation.z");
    spin->setFromValue(0);
    spin->setToValue(std::numbers::pi);
    spin->setDuration(1);
    layer->addAnimation(spin, "spin");
    advance(0.5);
    auto presentation = layer->presentationLayer();
    EXPECT_NEAR(presentation->valueForKeyPath("transform.rotation.z").doubleValue(), std::numbers::pi / 2, 1e-4);
    EXPECT_NEAR(presentation->valueForKeyPath("transform.scale.x").doubleValue(), 2, 1e-4);
    EXPECT_NEAR(layer->valueForKeyPath("transform.rotation.z").doubleValue(), 0, 1e-6) << "the model does not turn";
    advance(0.5);
}

TEST_F(CATransactionValues, NestingInheritsAndTheImplicitTransactionLastsUntilFlush)
{
    EXPECT_FALSE(CATransaction::disableActions());
    EXPECT_DOUBLE_EQ(CATransaction::animationDuration(), 0.25);
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    CATransaction::begin();
    CATransaction::setAnimationDuration(2);
    EXPECT_TRUE(CATransaction::disableActions()) << "inherited from the outer transaction";
    EXPECT_DOUBLE_EQ(CATransaction::valueForKey(kCATransactionAnimationDuration).doubleValue(), 2);
    CATransaction::commit();
    EXPECT_DOUBLE_EQ(CATransaction::animationDuration(), 0.25);
    EXPECT_TRUE(CATransaction::disableActions());
    CATransaction::commit();
    EXPECT_FALSE(CATransaction::disableActions());
    CATransaction::commit();  // unbalanced: ignored
    EXPECT_EQ(CATransaction::depth(), 0u);

    // Outside any explicit transaction a value holds for the rest of the event, until the flush.
    CATransaction::setDisableActions(true);
    auto layer = CALayer::layer();
    CATransaction::begin();
    EXPECT_TRUE(CATransaction::disableActions());
    CATransaction::commit();
    EXPECT_FALSE(layer->hasBeenCommitted());
    CATransaction::flush();
    EXPECT_FALSE(CATransaction::disableActions());
    EXPECT_TRUE(layer->hasBeenCommitted());
    CATransaction::setAnimationDuration(-1);
    EXPECT_DOUBLE_EQ(CATransaction::animationDuration(), 0);
}
