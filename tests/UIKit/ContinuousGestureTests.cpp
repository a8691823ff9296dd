#include "UIKit/UIPanGestureRecognizer.h"
#include "UIKit/UIPinchGestureRecognizer.h"
#include "UIKit/UIRotationGestureRecognizer.h"
#include "support/ControlTestSupport.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

using Frame = std::vector<UIFingerSample>;

UIFingerSample down(int finger, CGFloat x, CGFloat y) { return { finger, UITouchPhaseBegan, { x, y } }; }
UIFingerSample move(int finger, CGFloat x, CGFloat y) { return { finger, UITouchPhaseMoved, { x, y } }; }
UIFingerSample up(int finger, CGFloat x, CGFloat y) { return { finger, UITouchPhaseEnded, { x, y } }; }

constexpr CGPoint centre { 160, 240 };

// Two fingers on a horizontal line through the centre, mirrored about it.
Frame spread(CGFloat distance, UITouchPhase phase = UITouchPhaseMoved)
{
    return { { 1, phase, { centre.x - distance / 2, centre.y } }, { 2, phase, { centre.x + distance / 2, centre.y } } };
}

// Two fingers 100 points apart, the line through them turned clockwise on the screen from
// the horizontal (finger 2 starts on the right).
Frame turned(double degrees, UITouchPhase phase = UITouchPhaseMoved)
{
    double radians = degrees * std::numbers::pi / 180;
    auto dx = static_cast<CGFloat>(50 * std::cos(radians));
    auto dy = static_cast<CGFloat>(50 * std::sin(radians));
    return { { 1, phase, { centre.x - dx, centre.y - dy } }, { 2, phase, { centre.x + dx, centre.y + dy } } };
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", std::fabs(value) < 0.005 ? 0.0 : value);
    return text;
}

const char* stateName(UIGestureRecognizerState state)
{
    switch (state) {
    case UIGestureRecognizerStatePossible: return "Possible";
    case UIGestureRecognizerStateBegan: return "Began";
    case UIGestureRecognizerStateChanged: return "Changed";
    case UIGestureRecognizerStateEnded: return "Ended";
    case UIGestureRecognizerStateCancelled: return "Cancelled";
    case UIGestureRecognizerStateFailed: return "Failed";
    }
    return "?";
}

// What a recogniser's target heard: each state change with the gesture's value then.
struct GestureLog {
    std::function<std::string(UIGestureRecognizer&)> value;
    std::vector<std::string> entries;
    void changed(const UIGestureRecognizerRef& recognizer)
    {
        entries.push_back(std::string(stateName(recognizer->state())) + " " + value(*recognizer));
    }
};

// The recognisers sit on a view that fills the window, so window points are its points.
class ContinuousGestures : public ControlTestSupport::ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        surface = placeInWindow(UIView::initWithFrame(CGRectMake(0, 0, 320, 480)));
        surface->setMultipleTouchEnabled(true);
    }

    template<class Recognizer>
    std::shared_ptr<GestureLog> attach(const std::shared_ptr<Recognizer>& recognizer, std::function<std::string(Recognizer&)> value)
    {
        auto log = std::make_shared<GestureLog>();
        log->value = [value](UIGestureRecognizer& sender) { return value(static_cast<Recognizer&>(sender)); };
        recognizer->addTarget(log, &GestureLog::changed);
        surface->addGestureRecognizer(recognizer);
        return log;
    }
    void play(const std::vector<Frame>& frames)
    {
        for (auto& frame : frames)
            m_finger.sendFrame(frame);
    }

    static std::string translation(UIPanGestureRecognizer& pan)
    {
        CGPoint t = pan.translationInView(pan.view().get());
        return number(t.x) + "," + number(t.y);
    }
    static std::string scale(UIPinchGestureRecognizer& pinch) { return number(pinch.scale()); }
    static std::string rotation(UIRotationGestureRecognizer& rotation) { return number(rotation.rotation()); }

    UIViewRef surface;
};

struct PanCase {
    const char* name;
    size_t minimum, maximum;
    std::vector<Frame> frames;
    std::vector<std::string> heard;
};

}

TEST_F(ContinuousGestures, APanBeginsPastTenPointsAndFollowsTheCentroidOfATouchCountInItsRange)
{
    const PanCase cases[] = {
        { "a tap is no pan", 1, UIPanGestureRecognizer::unlimitedTouches, { { down(1, 100, 100) }, { up(1, 100, 100) } }, {} },
        { "nine points is not yet a pan, ten is", 1, UIPanGestureRecognizer::unlimitedTouches,
            { { down(1, 100, 100) }, { move(1, 109, 100) }, { move(1, 106, 108) }, { move(1, 130, 110) }, { up(1, 130, 110) } },
            { "Began 6.00,8.00", "Changed 30.00,10.00", "Ended 30.00,10.00" } },
        { "a cancelled touch cancels the pan", 1, UIPanGestureRecognizer::unlimitedTouches,
            { { down(1, 100, 100) }, { move(1, 100, 120) }, { { 1, UITouchPhaseCancelled, { 100, 120 } } } },
            { "Began 0.00,20.00", "Cancelled 0.00,20.00" } },
        { "one finger is too few for two: it moves nothing until the second comes", 2, UIPanGestureRecognizer::unlimitedTouches,
            { { down(1, 100, 100) }, { move(1, 150, 100) }, { down(2, 200, 100) }, { move(1, 150, 120), move(2, 200, 120) },
                { up(1, 150, 120) }, { move(2, 200, 200) }, { up(2, 200, 200) } },
            { "Began 0.00,20.00", "Ended 0.00,20.00" } },
        { "two fingers are too many for one", 1, 1,
            { { down(1, 100, 100), down(2, 200, 100) }, { move(1, 100, 150), move(2, 200, 150) }, { up(1, 100, 150), up(2, 200, 150) } }, {} },
        { "a finger coming or going moves the centroid, not the pan", 1, UIPanGestureRecognizer::unlimitedTouches,
            { { down(1, 100, 100) }, { move(1, 120, 100) }, { down(2, 200, 200) }, { move(2, 200, 210) }, { up(1, 120, 100) },
                { move(2, 210, 210) }, { up(2, 210, 210) } },
            { "Began 20.00,0.00", "Changed 20.00,5.00", "Changed 30.00,5.00", "Ended 30.00,5.00" } },
        { "a second finger while one-finger panning is ignored", 1, 1,
            { { down(1, 100, 100) }, { move(1, 100, 120) }, { down(2, 200, 100) }, { move(2, 250, 100) }, { move(1, 100, 130) },
                { up(1, 100, 130) }, { up(2, 250, 100) } },
            { "Began 0.00,20.00", "Changed 0.00,30.00", "Ended 0.00,30.00" } },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto pan = objc::alloc<UIPanGestureRecognizer>();
        pan->setMinimumNumberOfTouches(test.minimum);
        pan->setMaximumNumberOfTouches(test.maximum);
        auto log = attach<UIPanGestureRecognizer>(pan, translation);
        play(test.frames);
        EXPECT_EQ(log->entries, test.heard);
        EXPECT_EQ(pan->state(), UIGestureRecognizerStatePossible) << "reset once its touches are over";
        EXPECT_EQ(pan->translationInView(nullptr).x, 0);
        surface->removeGestureRecognizer(pan);
    }
}

TEST_F(ContinuousGestures, APansTranslationAndVelocityAreInTheAskedViewsCoordinates)
{
    // Half size and a quarter turn clockwise: a window vector (a, b) is (2b, -2a) in the view.
    auto turnedView = UIView::initWithFrame(CGRectMake(60, 140, 200, 200));
    turnedView->setTransform(CGAffineTransformScale(CGAffineTransformMakeRotation(static_cast<CGFloat>(std::numbers::pi / 2)), 0.5, 0.5));
    surface->addSubview(turnedView);
    auto pan = objc::alloc<UIPanGestureRecognizer>();
    attach<UIPanGestureRecognizer>(pan, translation);

    struct Reading {
        const char* name;
        const UIView* view;
        CGPoint translation, velocity;
    };
    m_finger.touchDown({ 100, 100 });
    for (int step = 1; step <= 3; ++step)
        m_finger.touchMove({ 100 + 10 * static_cast<CGFloat>(step), 100 });
    ASSERT_EQ(pan->state(), UIGestureRecognizerStateChanged);
    // Frames are a sixtieth of a second apart: 10 points a frame is 600 points a second.
    const Reading readings[] = {
        { "the window's", nullptr, { 30, 0 }, { 600, 0 } },
        { "the surface's, which is the window's", surface.get(), { 30, 0 }, { 600, 0 } },
        { "a turned and halved view's", turnedView.get(), { 0, -60 }, { 0, -1200 } },
    };
    for (const auto& reading : readings) {
        SCOPED_TRACE(reading.name);
        CGPoint t = pan->translationInView(reading.view);
        CGPoint v = pan->velocityInView(reading.view);
        EXPECT_NEAR(t.x, reading.translation.x, 1e-3);
        EXPECT_NEAR(t.y, reading.translation.y, 1e-3);
        EXPECT_NEAR(v.x, reading.velocity.x, 1e-2);
        EXPECT_NEAR(v.y, reading.velocity.y, 1e-2);
    }

    pan->setTranslation({ 0, 10 }, turnedView.get());
    EXPECT_NEAR(pan->translationInView(nullptr).x, -5, 1e-3) << "set in the view's coordinates";
    EXPECT_NEAR(pan->translationInView(nullptr).y, 0, 1e-3);
    EXPECT_EQ(pan->velocityInView(nullptr).x, 0) << "setting the translation starts the velocity afresh";
    m_finger.touchMove({ 140, 100 });
    EXPECT_NEAR(pan->translationInView(nullptr).x, 5, 1e-3);
    m_finger.touchUp({ 140, 100 });
}

TEST_F(ContinuousGestures, APinchsScaleIsTheDistanceOverTheDistanceWhenItBegan)
{
    struct Case {
        const char* name;
        std::vector<Frame> frames;
        std::vector<std::string> heard;
    };
    const Case cases[] = {
        { "spreading: 1.2, 1.5 and 2 times the distance at Began",
            { spread(100, UITouchPhaseBegan), spread(105), spread(110), spread(132), spread(165), spread(220), spread(220, UITouchPhaseEnded) },
            { "Began 1.00", "Changed 1.20", "Changed 1.50", "Changed 2.00", "Ended 2.00" } },
        { "closing", { spread(200, UITouchPhaseBegan), spread(190), spread(95), spread(95, UITouchPhaseEnded) },
            { "Began 1.00", "Changed 0.50", "Ended 0.50" } },
        { "one finger lifting ends it",
            { spread(100, UITouchPhaseBegan), spread(120), spread(180), { up(1, 70, 240) }, { move(2, 300, 240) }, { up(2, 300, 240) } },
            { "Began 1.00", "Changed 1.50", "Ended 1.50" } },
        { "one finger is no pinch", { { down(1, 100, 100) }, { move(1, 10, 10) }, { up(1, 10, 10) } }, {} },
        { "the fingers coming down one after the other",
            { { down(1, 110, 240) }, { move(1, 100, 240) }, { down(2, 220, 240) }, { move(2, 230, 240) }, { move(2, 334, 240) }, { up(1, 100, 240), up(2, 334, 240) } },
            { "Began 1.00", "Changed 1.80", "Ended 1.80" } },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto pinch = objc::alloc<UIPinchGestureRecognizer>();
        auto log = attach<UIPinchGestureRecognizer>(pinch, scale);
        play(test.frames);
        EXPECT_EQ(log->entries, test.heard);
        EXPECT_EQ(pinch->state(), UIGestureRecognizerStatePossible);
        surface->removeGestureRecognizer(pinch);
    }
}

TEST_F(ContinuousGestures, APinchsVelocityIsScalePerSecondAndSettingTheScaleCarriesOn)
{
    auto pinch = objc::alloc<UIPinchGestureRecognizer>();
    attach<UIPinchGestureRecognizer>(pinch, scale);
    play({ spread(100, UITouchPhaseBegan), spread(120), spread(132), spread(144) });
    // A tenth of the distance at Began a sixtieth of a second: six times the scale a second.
    EXPECT_NEAR(pinch->velocity(), 6, 1e-3);
    pinch->setScale(1);
    m_finger.sendFrame(spread(240));
    EXPECT_NEAR(pinch->scale(), 240.0 / 144, 1e-4) << "from the scale set, at the distance then";
    m_finger.sendFrame(spread(240, UITouchPhaseEnded));
}

TEST_F(ContinuousGestures, ARotationIsClockwisePositiveFromWhereItBeganAndAddsUpPastHalfATurn)
{
    struct Case {
        const char* name;
        std::vector<Frame> frames;
        std::vector<std::string> heard;
    };
    const Case cases[] = {
        { "three degrees is not yet a rotation; a quarter turn clockwise is +pi/2",
            { turned(0, UITouchPhaseBegan), turned(3), turned(5),
                // Finger 1 straight above the centre, finger 2 below: 90 degrees clockwise from the start.
                { move(1, 160, 190), move(2, 160, 290) }, turned(95), turned(95, UITouchPhaseEnded) },
            { "Began 0.00", "Changed 1.48", "Changed 1.57", "Ended 1.57" } },
        { "counter-clockwise is negative", { turned(0, UITouchPhaseBegan), turned(-10), turned(-100), turned(-100, UITouchPhaseEnded) },
            { "Began 0.00", "Changed -1.57", "Ended -1.57" } },
        { "turning on through the wrap at half a turn",
            { turned(0, UITouchPhaseBegan), turned(10), turned(100), turned(170), turned(190), turned(280), turned(370), turned(370, UITouchPhaseEnded) },
            { "Began 0.00", "Changed 1.57", "Changed 2.79", "Changed 3.14", "Changed 4.71", "Changed 6.28", "Ended 6.28" } },
        { "fingers moving apart without turning", { spread(100, UITouchPhaseBegan), spread(200), spread(300, UITouchPhaseEnded) }, {} },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto rotation = objc::alloc<UIRotationGestureRecognizer>();
        auto log = attach<UIRotationGestureRecognizer>(rotation, ContinuousGestures::rotation);
        play(test.frames);
        EXPECT_EQ(log->entries, test.heard);
        surface->removeGestureRecognizer(rotation);
    }
}

TEST_F(ContinuousGestures, TheInjectorsTwoFingerGesturesAreSeenAsPinchRotationAndPan)
{
    auto pinch = objc::alloc<UIPinchGestureRecognizer>();
    auto rotation = objc::alloc<UIRotationGestureRecognizer>();
    auto pan = objc::alloc<UIPanGestureRecognizer>();
    pan->setMinimumNumberOfTouches(2);
    auto pinchLog = attach<UIPinchGestureRecognizer>(pinch, scale);
    auto rotationLog = attach<UIRotationGestureRecognizer>(rotation, ContinuousGestures::rotation);
    auto panLog = attach<UIPanGestureRecognizer>(pan, translation);

    // Began at the first step (100 to 110 points): 220 over 110.
    m_finger.pinch(centre, 100, 220, 12);
    EXPECT_EQ(pinchLog->entries.back(), "Ended 2.00");
    // Began at the first step of 9 degrees: the other 81 are left.
    m_finger.rotate(centre, 90, 10);
    EXPECT_EQ(rotationLog->entries.back(), "Ended " + number(81 * std::numbers::pi / 180));
    m_finger.twoFingerDrag({ 100, 100 }, { 100, 200 }, 10);
    EXPECT_EQ(panLog->entries.back(), "Ended 0.00,100.00");
    EXPECT_EQ(pinchLog->entries.size(), 13u) << "each recogniser heard only its own gesture";
    EXPECT_EQ(rotationLog->entries.size(), 11u);
    EXPECT_EQ(panLog->entries.size(), 11u);
}

TEST_F(ContinuousGestures, OnOneViewWithoutADelegateTheFirstOfRotationPinchAndPanToBeginHasTheFingers)
{
    struct Case {
        const char* name;
        std::vector<Frame> frames;
        std::vector<std::string> rotationHeard, pinchHeard, panHeard;
    };
    const Case cases[] = {
        { "spreading pinches, then turning changes nothing else",
            { spread(100, UITouchPhaseBegan), spread(120), spread(150), turned(45), turned(90, UITouchPhaseEnded) },
            {}, { "Began 1.00", "Changed 1.25", "Changed 0.83", "Ended 0.83" }, {} },
        { "turning rotates, then spreading changes nothing else",
            { turned(0, UITouchPhaseBegan), turned(10), turned(20), spread(300), spread(300, UITouchPhaseEnded) },
            { "Began 0.00", "Changed 0.17", "Changed -0.17", "Ended -0.17" }, {}, {} },
        { "one finger pans; a second finger pinches nothing",
            { { down(1, 100, 100) }, { move(1, 100, 120) }, { down(2, 200, 120) }, { move(2, 300, 120) }, { move(1, 110, 120) },
                { up(1, 110, 120), up(2, 300, 120) } },
            {}, {}, { "Began 0.00,20.00", "Changed 10.00,20.00", "Ended 10.00,20.00" } },
        { "two fingers moving together are no gesture of the three",
            { { down(1, 100, 100), down(2, 200, 100) }, { move(1, 100, 200), move(2, 200, 200) }, { up(1, 100, 200), up(2, 200, 200) } },
            {}, {}, {} },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        // As the image cropper attaches them.
        auto rotation = objc::alloc<UIRotationGestureRecognizer>();
        auto pinch = objc::alloc<UIPinchGestureRecognizer>();
        auto pan = objc::alloc<UIPanGestureRecognizer>();
        pan->setMinimumNumberOfTouches(1);
        pan->setMaximumNumberOfTouches(1);
        auto rotationLog = attach<UIRotationGestureRecognizer>(rotation, ContinuousGestures::rotation);
        auto pinchLog = attach<UIPinchGestureRecognizer>(pinch, scale);
        auto panLog = attach<UIPanGestureRecognizer>(pan, translation);
        play(test.frames);
        EXPECT_EQ(rotationLog->entries, test.rotationHeard);
        EXPECT_EQ(pinchLog->entries, test.pinchHeard);
        EXPECT_EQ(panLog->entries, test.panHeard);
        for (auto& recognizer : { UIGestureRecognizerRef(rotation), UIGestureRecognizerRef(pinch), UIGestureRecognizerRef(pan) }) {
            EXPECT_EQ(recognizer->state(), UIGestureRecognizerStatePossible);
            surface->removeGestureRecognizer(recognizer);
        }
    }
}
