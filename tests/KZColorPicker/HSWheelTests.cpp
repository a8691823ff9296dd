#include "KZColorPicker/ColorPicker/KZColorPickerHSWheel.h"

#include "ImageIO/PNGCodec.h"
#include "PickerControlTestSupport.h"
#include "support/ControlTestSupport.h"
#include "WheelMapping.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>

namespace {

using namespace PickerControlTestSupport;

class HSWheel : public ControlTestSupport::ControlTest { };

TEST_F(HSWheel, MapsPointsToHueByAngleAndSaturationByDistance)
{
    const CGFloat diagonal = 60 * static_cast<CGFloat>(std::numbers::sqrt2 / 2);
    struct Case {
        CGPoint point;
        float hue, saturation;
    } cases[] = {
        { { 240, 120 }, 0, 1 }, { { 120, 0 }, 0.25f, 1 }, { { 0, 120 }, 0.5f, 1 }, { { 120, 240 }, 0.75f, 1 },
        { { 180, 120 }, 0, 0.5f }, { { 60, 120 }, 0.5f, 0.5f }, { { 120, 120 }, 0, 0 }, { { 125, 120 }, 0, 0 },
        { { 129.9f, 120 }, 0, 0 }, { { 130, 120 }, 0, 10.0f / 120 }, { { 300, 120 }, 0, 1 }, { { 120, 1000 }, 0.75f, 1 },
        { { 120 + diagonal, 120 - diagonal }, 0.125f, 0.5f }, { { 120 - diagonal, 120 + diagonal }, 0.625f, 0.5f },
    };
    auto wheel = KZColorPickerHSWheel::initAtOrigin(CGPointMake(40, 15));
    auto counter = ValueChangedCounter::listenTo(wheel);
    for (int i = 0; auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.point));
        wheel->setCurrentHSV(HSVTypeMake(0.6f, 0.7f, 0.2f));
        wheel->mapPointToColor(c.point);
        EXPECT_NEAR(wheel->hue(), c.hue, 1e-6);
        EXPECT_NEAR(wheel->saturation(), c.saturation, 1e-6);
        EXPECT_EQ(wheel->brightness(), 1);
        EXPECT_EQ(counter->count, ++i) << "one event per mapping, none for setCurrentHSV";
    }
}

TEST_F(HSWheel, PicksWhatTheWheelPictureShows)
{
    auto wheel = KZColorPickerHSWheel::initAtOrigin(CGPointMake(0, 0));
    for (float y = -20; y <= 260; y += 6.5f) {
        for (float x = -20; x <= 260; x += 6.5f) {
            wheel->mapPointToColor(CGPointMake(x, y));
            Pictures::HueSaturation drawn = Pictures::wheelColorAt(x, y, 240);
            ASSERT_TRUE(wheel->hue() == drawn.hue && wheel->saturation() == drawn.saturation) << "at (" << x << ", " << y << ")";
        }
    }
    // And the decoded picture itself, away from the dead zone where eight bits still tell hues apart.
    for (auto [file, scale] : { std::pair { "pickerColorWheel.png", 1.0 }, std::pair { "pickerColorWheel@2x.png", 2.0 } }) {
        SCOPED_TRACE(file);
        std::ifstream stream(std::filesystem::path(TESSARY8_PICTURES_DIR) / file, std::ios::binary);
        std::vector<std::uint8_t> bytes { std::istreambuf_iterator<char>(stream), {} };
        CGImageRef picture = ImageIO::decodePNG(bytes);
        ASSERT_TRUE(picture && static_cast<double>(picture->width()) == 240 * scale && picture->height() == picture->width());
        for (double radius = 30; radius <= 110; radius += 20) {
            for (int degrees = 0; degrees < 360; degrees += 15) {
                auto px = static_cast<size_t>((120 + radius * std::cos(degrees * std::numbers::pi / 180)) * scale);
                auto py = static_cast<size_t>((120 - radius * std::sin(degrees * std::numbers::pi / 180)) * scale);
                SCOPED_TRACE(::testing::Message() << "pixel " << px << ", " << py);
                TestSupport::Pixel pixel = TestSupport::pixelAt(*picture, px, py);
                HSVType shown = RGB_to_HSV(RGBTypeMake(pixel.red / 255.0f, pixel.green / 255.0f, pixel.blue / 255.0f));
                EXPECT_GT(shown.v, 0.98f);
                wheel->mapPointToColor(CGPointMake(static_cast<CGFloat>((px + 0.5) / scale), static_cast<CGFloat>((py + 0.5) / scale)));
                double hueGap = std::fabs(shown.h - wheel->hue());
                EXPECT_LT(std::min(hueGap, 1 - hueGap), 0.01);
                EXPECT_NEAR(shown.s, wheel->saturation(), 0.025);
            }
        }
    }
}

TEST_F(HSWheel, PlacesTheKnobOnWholePointsThreePointsInsideTheRim)
{
    struct Case {
        HSVType hsv;
        CGFloat knob;
        CGPoint pictureOrigin, centre;
    } cases[] = {
        { { 0.25f, 1, 0.3f }, 24, { 0, 0 }, { 120, 3 } },
        { { 0, 0, 0.7f }, 24, { 0, 0 }, { 120, 120 } },
        { { 0.5f, 1, 0 }, 24, { 0, 0 }, { 3, 120 } },
        { { 0.75f, 1, 1 }, 24, { 0, 0 }, { 120, 237 } },
        // 120 ± 58.5 · cos 45° puts the origin at 149.37, 66.63: rounded to 149, 67.
        { { 0.125f, 0.5f, 1 }, 24, { 0, 0 }, { 161, 79 } },
        // An odd knob: the origin 109.5 rounds away from zero, to 110.
        { { 0, 0, 1 }, 21, { 0, 0 }, { 120.5f, 120.5f } },
        // 3 − 10.5 = −7.5 rounds away from zero; across, the single-precision cosine of a
        // quarter turn is just below 0, so the origin 109.49999 rounds down.
        { { 0.25f, 1, 1 }, 21, { 0, 0 }, { 119.5f, 2.5f } },
        { { 0.25f, 1, 1 }, 24, { 10, 20 }, { 130, 23 } },
        { { NAN, 1, 1 }, 24, { 0, 0 }, { 120, 120 } },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "hue " << c.hsv.h << " saturation " << c.hsv.s << " knob " << c.knob);
        auto wheel = KZColorPickerHSWheel::initAtOrigin(CGPointMake(40, 15));
        ASSERT_EQ(wheel->subviews(), (std::vector<UIViewRef> { wheel->wheelImageView(), wheel->wheelKnobView() }));
        EXPECT_EQ(wheel->wheelKnobView()->center(), CGPointMake(120, 120));
        wheel->wheelKnobView()->setBounds(CGRectMake(0, 0, c.knob, c.knob));
        wheel->wheelImageView()->setFrame(CGRectMake(c.pictureOrigin.x, c.pictureOrigin.y, 240, 240));
        wheel->setCurrentHSV(c.hsv);
        EXPECT_NEAR(wheel->wheelKnobView()->center().x, c.centre.x, 1e-4);
        EXPECT_NEAR(wheel->wheelKnobView()->center().y, c.centre.y, 1e-4);
        EXPECT_EQ(wheel->currentHSV().v, 1);
    }
}

// A wheel in the test's window for the scene's lifetime.
struct TouchScene {
    std::shared_ptr<KZColorPickerHSWheel> wheel = KZColorPickerHSWheel::initAtOrigin(CGPointMake(40, 15));
    std::shared_ptr<ValueChangedCounter> counter = ValueChangedCounter::listenTo(wheel);
    explicit TouchScene(UIWindow& window) { window.addSubview(wheel); }
    ~TouchScene() { wheel->removeFromSuperview(); }
    static CGPoint onWheel(CGFloat x, CGFloat y) { return CGPointMake(40 + x, 15 + y); }
};

TEST_F(HSWheel, ReportsEveryMappedTouchAndFollowsADragOffTheWheel)
{
    // Wheel points; moves go straight from down to up. Off the wheel the angle still counts, at saturation 1.
    struct Case {
        CGPoint down, up;
        int moves;
        float hue, saturation;
    } cases[] = { { { 200, 120 }, { 200, 120 }, 0, 0, 80.0f / 120 }, { { 200, 120 }, { 200, 120 }, 5, 0, 80.0f / 120 },
        { { 150, 120 }, { 120, 455 }, 1, 0.75f, 1 }, { { 150, 120 }, { -40, 120 }, 3, 0.5f, 1 } };
    for (auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << ::testing::PrintToString(c.up) << " moves " << c.moves);
        TouchScene scene(*m_window);
        m_finger.drag(TouchScene::onWheel(c.down.x, c.down.y), TouchScene::onWheel(c.up.x, c.up.y), c.moves);
        EXPECT_EQ(scene.counter->count, c.moves + 2) << "touch-down, each move and lift-off, changed or not";
        EXPECT_NEAR(scene.wheel->hue(), c.hue, 1e-6);
        EXPECT_NEAR(scene.wheel->saturation(), c.saturation, 1e-6);
    }
}

TEST_F(HSWheel, ATouchBeginningOffThePictureIsNotTracked)
{
    TouchScene scene(*m_window);
    scene.wheel->wheelImageView()->setFrame(CGRectMake(0, 0, 100, 100));
    m_finger.drag(TouchScene::onWheel(200, 200), TouchScene::onWheel(50, 10), 3);
    EXPECT_EQ(scene.counter->count, 0);
    EXPECT_EQ(scene.wheel->saturation(), 0);
    // On the picture the touch maps in the picture's own coordinates, about its centre (50, 50).
    m_finger.tap(TouchScene::onWheel(99, 50));
    EXPECT_EQ(scene.counter->count, 2);
    EXPECT_NEAR(scene.wheel->saturation(), 49.0f / 50, 1e-6);
}

TEST_F(HSWheel, TheKnobAnimatesOnlyInsideAViewAnimationBlock)
{
    auto wheel = KZColorPickerHSWheel::initAtOrigin(CGPointMake(40, 15));
    runLoopTurn();
    const CALayerRef& knobLayer = wheel->wheelKnobView()->layer();
    wheel->setCurrentHSV(HSVTypeMake(0.25f, 1, 1));
    EXPECT_TRUE(knobLayer->animationKeys().empty());

    UIView::beginAnimations();
    wheel->setCurrentHSV(HSVTypeMake(0.5f, 1, 1));
    UIView::commitAnimations();
    ASSERT_EQ(knobLayer->animationKeys(), std::vector<std::string> { "position" });
    EXPECT_DOUBLE_EQ(knobLayer->animationForKey("position")->duration(), UIView::defaultAnimationDuration);
}

TEST_F(HSWheel, RendersTheKnobWhereTheColourIs)
{
    // Knob centres for saturation 0.8 at hues 0 and 1/2, 0.9 at 1/4; the knob's white ring
    // runs 8 points from its centre, over strong colours of the wheel.
    struct Case {
        HSVType hsv;
        CGPoint centre;
    } cases[] = { { { 0, 0.8f, 1 }, { 214, 120 } }, { { 0.5f, 0.8f, 1 }, { 26, 120 } }, { { 0.25f, 0.9f, 1 }, { 120, 15 } } };
    for (auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "hue " << c.hsv.h);
        auto wheel = KZColorPickerHSWheel::initAtOrigin(CGPointMake(40, 15));
        wheel->setCurrentHSV(c.hsv);
        EXPECT_EQ(wheel->wheelKnobView()->center(), c.centre);
        UIImageRef rendering = renderViewToImage(*wheel, 2);
        ASSERT_TRUE(rendering);
        for (auto& other : cases) {
            TestSupport::Pixel ring = pixelAtPoint(rendering, other.centre.x, other.centre.y + 8);
            SCOPED_TRACE(::testing::Message() << "ring of " << ::testing::PrintToString(other.centre) << ": " << ::testing::PrintToString(ring));
            EXPECT_EQ(isNearWhite(ring), &other == &c);
        }
    }
}

}
