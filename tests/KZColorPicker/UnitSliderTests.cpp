#include "KZColorPicker/ColorPicker/KZUnitSlider.h"

#include "PickerControlTestSupport.h"
#include "support/ControlTestSupport.h"

#include <limits>

namespace {

using namespace PickerControlTestSupport;

class UnitSlider : public ControlTestSupport::ControlTest { };

TEST_F(UnitSlider, RunsAcrossOnlyWhenWiderThanHighAndStartsAtZero)
{
    struct Case {
        CGSize size;
        bool horizontal;
        CGPoint knobCentre;
    } cases[] = { { { 300, 38 }, true, { 280, 19 } }, { { 38, 300 }, false, { 19, 280 } }, { { 40, 40 }, false, { 20, 20 } } };
    for (auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.size));
        auto slider = KZUnitSlider::initWithFrame(CGRectMake(5, 5, c.size.width, c.size.height));
        EXPECT_EQ(slider->isHorizontal(), c.horizontal);
        EXPECT_EQ(slider->value(), 0);
        ASSERT_TRUE(slider->sliderKnobView()->image());
        EXPECT_EQ(slider->sliderKnobView()->bounds().size, slider->sliderKnobView()->image()->size());
        EXPECT_EQ(slider->sliderKnobView()->center(), c.knobCentre);
        EXPECT_EQ(CGColorGetAlpha(slider->backgroundColor()->CGColor()), 0);
    }
}

TEST_F(UnitSlider, MapsPointsAgainstTheAxisClampsAndAlwaysReports)
{
    struct Case {
        CGSize size;
        CGPoint point;
        float value;
    } cases[] = {
        { { 300, 38 }, { 20, 19 }, 1 }, { { 300, 38 }, { 280, 19 }, 0 }, { { 300, 38 }, { 150, 0 }, 0.5f },
        { { 300, 38 }, { 85, 500 }, 0.75f }, { { 300, 38 }, { 0, 19 }, 1 }, { { 300, 38 }, { 300, 19 }, 0 },
        { { 38, 300 }, { 19, 20 }, 1 }, { { 38, 300 }, { 19, 280 }, 0 }, { { 38, 300 }, { 300, 215 }, 0.25f },
        // No longer than its margins: 0/0 reads as 1, −∞ clamps to 0.
        { { 40, 40 }, { 0, 20 }, 1 }, { { 40, 40 }, { 0, 25 }, 0 },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << ::testing::PrintToString(c.size) << " at " << ::testing::PrintToString(c.point));
        auto slider = KZUnitSlider::initWithFrame(CGRectMake(10, 10, c.size.width, c.size.height));
        auto counter = ValueChangedCounter::listenTo(slider);
        slider->setValue(c.value > 0.5f ? 0.1f : 0.9f);
        slider->mapPointToValue(c.point);
        slider->mapPointToValue(c.point);
        EXPECT_NEAR(slider->value(), c.value, 1e-6);
        EXPECT_EQ(counter->count, 2) << "an unchanged value still reports; setValue never does";
    }
}

TEST_F(UnitSlider, SetValueClampsAndTreatsNotANumberAsOne)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float given, stored;
    } cases[] = { { 1.5f, 1 }, { -0.2f, 0 }, { 0.25f, 0.25f }, { NAN, 1 }, { inf, 1 }, { -inf, 0 } };
    auto slider = KZUnitSlider::initWithFrame(CGRectMake(0, 0, 300, 38));
    for (auto& c : cases) {
        SCOPED_TRACE(c.given);
        slider->setValue(c.given);
        EXPECT_EQ(slider->value(), c.stored);
    }
}

TEST_F(UnitSlider, PlacesTheKnobOnWholePointsBetweenTheMargins)
{
    struct Case {
        CGSize size;
        CGFloat knob;
        float value;
        CGPoint centre;
    } cases[] = {
        { { 300, 38 }, 20, 0.5f, { 150, 19 } }, { { 300, 38 }, 20, 1, { 20, 19 } }, { { 300, 38 }, 20, 0, { 280, 19 } },
        { { 300, 38 }, 20, 0.7f, { 98, 19 } }, { { 38, 300 }, 20, 0.5f, { 19, 150 } }, { { 38, 300 }, 20, 1, { 19, 20 } },
        // 0.5 · 258 − 10.5 = 118.5 rounds away from zero to 119 (not to the even 118); −10.5 to −11.
        { { 298, 38 }, 21, 0.5f, { 149.5f, 19.5f } }, { { 298, 38 }, 21, 1, { 19.5f, 19.5f } },
        { { 38, 298 }, 21, 1, { 19.5f, 19.5f } }, { { 300, 37 }, 21, 0, { 280.5f, 18.5f } },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << ::testing::PrintToString(c.size) << " knob " << c.knob << " value " << c.value);
        auto slider = KZUnitSlider::initWithFrame(CGRectMake(24, 277, c.size.width, c.size.height));
        slider->sliderKnobView()->setBounds(CGRectMake(0, 0, c.knob, c.knob));
        slider->setValue(c.value);
        EXPECT_EQ(slider->sliderKnobView()->center(), c.centre);
    }
}

TEST_F(UnitSlider, ReportsEveryMappedTouchAndMapsTheLiftOffPoint)
{
    struct Case {
        int moves;
        CGPoint liftOff;
        float value;
    } cases[] = { { 0, { 150, 19 }, 0.5f }, { 1, { 85, 19 }, 0.75f }, { 6, { 400, 470 }, 0 } };
    for (auto& c : cases) {
        SCOPED_TRACE(c.moves);
        auto slider = placeInWindow(KZUnitSlider::initWithFrame(CGRectMake(10, 100, 300, 38)));
        auto counter = ValueChangedCounter::listenTo(slider);
        m_finger.drag(CGPointMake(160, 119), CGPointMake(10 + c.liftOff.x, 100 + c.liftOff.y), c.moves);
        slider->removeFromSuperview();
        EXPECT_EQ(counter->count, c.moves + 2);
        EXPECT_NEAR(slider->value(), c.value, 1e-6);
    }
}

TEST_F(UnitSlider, TheKnobStaysAboveLaterSubviews)
{
    auto slider = KZUnitSlider::initWithFrame(CGRectMake(0, 0, 300, 38));
    slider->addSubview(UIView::initWithFrame(CGRectMake(0, 0, 300, 38)));
    slider->insertSubviewAtIndex(UIView::initWithFrame(CGRectMake(0, 0, 300, 38)), 0);
    ASSERT_EQ(slider->subviews().size(), 3u);
    EXPECT_EQ(slider->subviews().back(), slider->sliderKnobView());
    EXPECT_EQ(slider->layer()->sublayers().back(), slider->sliderKnobView()->layer());
}

}
