#include "QuartzCore/CAAnimationClock.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIScreen.h"
#include "support/ControlTestSupport.h"
#include "support/GraphicsTestSupport.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace TestSupport;
using ControlTestSupport::ControlTest;

namespace {

class RecordingDelegate : public UIAlertViewDelegate {
public:
    std::vector<std::string> heard;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, long index) override { heard.push_back(alert.title() + " clicked " + std::to_string(index)); }
    void alertViewDidDismissWithButtonIndex(UIAlertView& alert, long index) override
    {
        heard.push_back(alert.title() + " dismissed " + std::to_string(index));
    }
};

const char* const saveMessage = "You can press \u3010turn on\u3011button and reopen you application to see the new keyboard now!";

class AlertViewTest : public ControlTest {
protected:
    void TearDown() override
    {
        // An alert a failed test left up goes, so that the next test starts with a clear screen.
        for (auto& window : UIApplication::sharedApplication()->windows()) {
            for (auto& view : window->subviews()) {
                if (auto alert = std::dynamic_pointer_cast<UIAlertView>(view))
                    alert->dismissWithClickedButtonIndex(-1, false);
            }
        }
        ControlTest::TearDown();
    }

    UIAlertViewRef makeAlert(const std::string& title, std::string cancel, std::vector<std::string> others, std::string message = "")
    {
        return UIAlertView::initWithTitle(title, std::move(message), m_delegate, std::move(cancel), std::move(others));
    }

    // Runs the animations to their end and the turns that follow them. An alert shown
    // outside a turn starts its zoom in the second turn: the first puts it on screen.
    static void finishAnimations()
    {
        runLoopTurn();
        runLoopTurn();
        CAAnimationClock::shared().advance(1);
        runLoopTurn();
        runLoopTurn();
    }

    // Where a view's centre is on the screen.
    static CGPoint screenCentre(const UIView& view)
    {
        return view.convertPointToView(CGPointMake(CGRectGetMidX(view.bounds()), CGRectGetMidY(view.bounds())), nullptr);
    }

    // The shown alert's button with that title, found as a script would: by walking the windows.
    static UIButtonRef visibleButtonTitled(const std::string& title)
    {
        auto windows = UIApplication::sharedApplication()->windows();
        for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
            for (auto& view : (*window)->subviews()) {
                auto alert = std::dynamic_pointer_cast<UIAlertView>(view);
                if (!alert)
                    continue;
                for (auto& subview : alert->subviews()) {
                    auto button = std::dynamic_pointer_cast<UIButton>(subview);
                    if (button && button->currentTitle() == title)
                        return button;
                }
            }
        }
        return nullptr;
    }

    std::shared_ptr<RecordingDelegate> m_delegate = std::make_shared<RecordingDelegate>();
};

Pixel rgb(int red, int green, int blue)
{
    return { red, green, blue, 255 };
}

}

TEST(UIAlertView, ButtonsAreIndexedWithTheCancelButtonFirst)
{
    struct Case {
        const char* label;
        std::string cancel;
        std::vector<std::string> others;
        std::vector<std::string> titles;
        long cancelIndex;
    };
    const Case cases[] = {
        { "one button", "", { "OK" }, { "OK" }, -1 },
        { "cancel only", "Cancel", {}, { "Cancel" }, 0 },
        { "cancel and others", "Cancel", { "Save", "Delete" }, { "Cancel", "Save", "Delete" }, 0 },
        { "empty titles are skipped", "", { "A", "", "B" }, { "A", "B" }, -1 },
        { "no buttons", "", {}, {}, -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto alert = UIAlertView::initWithTitle("Title", "Message", {}, c.cancel, c.others);
        EXPECT_EQ(alert->title(), "Title");
        EXPECT_EQ(alert->message(), "Message");
        EXPECT_EQ(alert->numberOfButtons(), long(c.titles.size()));
        EXPECT_EQ(alert->cancelButtonIndex(), c.cancelIndex);
        for (size_t i = 0; i < c.titles.size(); ++i) {
            EXPECT_EQ(alert->buttonTitleAtIndex(long(i)), c.titles[i]);
            EXPECT_EQ(alert->buttons()[i]->currentTitle(), c.titles[i]);
            EXPECT_EQ(alert->buttons()[i]->buttonType(), UIButtonTypeSystem);
        }
        EXPECT_EQ(alert->buttonTitleAtIndex(-1), "");
        EXPECT_EQ(alert->buttonTitleAtIndex(long(c.titles.size())), "");
        EXPECT_FALSE(alert->isVisible());
    }
}

TEST_F(AlertViewTest, ShowingPutsTheBoxOverTheScreenInAWindowOfItsOwnAndZoomsItIn)
{
    auto alert = makeAlert("Save Success", "", { "OK" }, saveMessage);
    alert->show();
    ASSERT_TRUE(alert->isVisible());
    auto window = alert->alertWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowLevel(), UIWindowLevelAlert);
    EXPECT_TRUE(rectNear(window->frame(), UIScreen::mainScreen()->bounds()));
    EXPECT_TRUE(window->isKeyWindow());
    ASSERT_EQ(window->subviews().size(), 2u);
    EXPECT_EQ(window->subviews()[0], alert->dimmingView());
    EXPECT_EQ(window->subviews()[1], alert);
    EXPECT_TRUE(rectNear(alert->dimmingView()->frame(), window->bounds()));
    EXPECT_TRUE(CGColorEqualToColor(alert->dimmingView()->backgroundColor()->CGColor(), UIColor::colorWithWhite(0, 0.4f)->CGColor()));

    // The box: 270 wide, centred, rounded, near-white; the title 20 below its top.
    EXPECT_EQ(alert->bounds().size.width, UIAlertView::width);
    EXPECT_EQ(alert->center().x, 160);
    EXPECT_NEAR(alert->center().y, 240, 0.5);
    EXPECT_EQ(alert->layer()->cornerRadius(), 7);
    EXPECT_TRUE(CGColorEqualToColor(alert->backgroundColor()->CGColor(), UIColor::colorWithWhite(247 / 255.0f, 0.97f)->CGColor()));
    EXPECT_EQ(alert->titleLabel()->frame().origin.y, 20);
    EXPECT_EQ(alert->titleLabel()->font()->description(), UIFont::systemFontOfSizeWeight(17, UIFontWeightSemibold)->description());
    EXPECT_EQ(alert->messageLabel()->font()->pointSize(), 13);
    EXPECT_TRUE(rectNear(alert->messageLabel()->frame(), CGRectMake(16, alert->messageLabel()->frame().origin.y, 238, alert->messageLabel()->frame().size.height)));
    EXPECT_GT(alert->messageLabel()->frame().size.height, 2 * alert->messageLabel()->font()->lineHeight()) << "the message wraps";
    EXPECT_EQ(CGRectGetMinY(alert->buttons()[0]->frame()), std::ceil(CGRectGetMaxY(alert->messageLabel()->frame())) + 20);

    // It starts large and clear; the zoom runs once its layers are on screen.
    EXPECT_EQ(alert->alpha(), 0);
    EXPECT_FLOAT_EQ(alert->transform().a, 1.2f);
    runLoopTurn();
    EXPECT_EQ(alert->alpha(), 0) << "not before the alert has been on screen";
    runLoopTurn();
    EXPECT_EQ(alert->alpha(), 1);
    EXPECT_TRUE(CGAffineTransformIsIdentity(alert->transform()));
    EXPECT_EQ(alert->dimmingView()->alpha(), 1);
    for (const char* key : { "opacity", "transform" }) {
        SCOPED_TRACE(key);
        auto animation = alert->layer()->animationForKey(key);
        ASSERT_TRUE(animation);
        EXPECT_DOUBLE_EQ(animation->duration(), UIAlertView::appearDuration);
    }
    ASSERT_TRUE(alert->dimmingView()->layer()->animationForKey("opacity"));

    alert->dismissWithClickedButtonIndex(0, false);
    EXPECT_FALSE(alert->isVisible());
    EXPECT_FALSE(alert->alertWindow());
    EXPECT_TRUE(m_window->isKeyWindow()) << "the window that was key is key again";
    EXPECT_EQ(m_delegate->heard, std::vector<std::string> { "Save Success dismissed 0" });
}

TEST_F(AlertViewTest, ButtonsShareTheRowOrStackByTheirCount)
{
    struct Case {
        const char* label;
        std::string cancel;
        std::vector<std::string> others;
        std::vector<CGRect> frames;  // by index, below the text; y relative to the first row
        size_t hairlines;
    };
    const Case cases[] = {
        { "one: the full width", "", { "OK" }, { CGRectMake(0, 0, 270, 44) }, 1 },
        { "two: side by side, cancel at the left", "Cancel", { "Save" }, { CGRectMake(0, 0, 135, 44), CGRectMake(135, 0, 135, 44) }, 2 },
        { "three: stacked, cancel at the bottom", "Cancel", { "Save", "Delete" },
            { CGRectMake(0, 88, 270, 44), CGRectMake(0, 0, 270, 44), CGRectMake(0, 44, 270, 44) }, 3 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto alert = makeAlert("Title", c.cancel, c.others, "Message");
        alert->show();
        CGFloat rowsTop = std::ceil(CGRectGetMaxY(alert->messageLabel()->frame())) + 20;
        for (size_t i = 0; i < c.frames.size(); ++i)
            EXPECT_TRUE(rectNear(alert->buttons()[i]->frame(), CGRectOffset(c.frames[i], 0, rowsTop))) << i;
        CGFloat rowsBottom = 0;
        for (CGRect buttonFrame : c.frames)
            rowsBottom = std::max(rowsBottom, CGRectGetMaxY(buttonFrame));
        EXPECT_EQ(alert->bounds().size.height, rowsTop + rowsBottom) << "the rows end the box";
        size_t hairlines = std::count_if(alert->subviews().begin(), alert->subviews().end(),
            [](auto& view) { return view->layer()->name() == "UIAlertViewHairline"; });
        EXPECT_EQ(hairlines, c.hairlines);
        // The cancel button's title is the semibold one.
        for (size_t i = 0; i < c.frames.size(); ++i) {
            bool isCancel = long(i) == alert->cancelButtonIndex();
            auto weight = isCancel ? UIFontWeightSemibold : UIFontWeightRegular;
            EXPECT_EQ(alert->buttons()[i]->titleLabel()->font()->description(), UIFont::systemFontOfSizeWeight(17, weight)->description());
        }
        alert->dismissWithClickedButtonIndex(-1, false);
    }
}

TEST_F(AlertViewTest, AMessageLongerThanTheScreenIsCutSoThatTheBoxFits)
{
    std::string message;
    for (int i = 0; i < 100; ++i)
        message += "Every line of this message is one more than the screen can hold. ";
    auto alert = makeAlert("Title", "Cancel", { "OK" }, message);
    alert->show();
    EXPECT_LE(alert->bounds().size.height, UIScreen::mainScreen()->bounds().size.height - 20);
    EXPECT_GE(alert->center().y - alert->bounds().size.height / 2, 10 - 0.5f) << "the box starts zoomed: its frame is larger";
    EXPECT_GT(alert->messageLabel()->bounds().size.height, 100);
    EXPECT_EQ(CGRectGetMaxY(alert->buttons()[0]->frame()), alert->bounds().size.height);
    alert->dismissWithClickedButtonIndex(0, false);
}

TEST_F(AlertViewTest, ATapTellsTheDelegateWhichButtonThenTheAlertFadesAndLetsGo)
{
    std::weak_ptr<UIAlertView> weakAlert;
    {
        auto alert = makeAlert("Delete", "Cancel", { "Delete" });
        alert->show();
        weakAlert = alert;
    }
    finishAnimations();
    ASSERT_FALSE(weakAlert.expired()) << "a shown alert keeps itself";

    auto button = visibleButtonTitled("Delete");
    ASSERT_TRUE(button);
    CGPoint point = screenCentre(*button);
    ASSERT_TRUE(m_finger.touchDown(point));
    EXPECT_TRUE(button->backgroundColor()) << "pressed, the button shades";
    m_finger.touchUp(point);
    EXPECT_FALSE(button->backgroundColor());
    EXPECT_EQ(m_delegate->heard, std::vector<std::string> { "Delete clicked 1" });
    ASSERT_FALSE(weakAlert.expired());
    EXPECT_EQ(weakAlert.lock()->alpha(), 0) << "fading out";
    EXPECT_TRUE(weakAlert.lock()->layer()->animationForKey("opacity"));

    // A second tap while it fades is not heard.
    m_finger.tap(point);
    finishAnimations();
    EXPECT_EQ(m_delegate->heard, (std::vector<std::string> { "Delete clicked 1", "Delete dismissed 1" }));
    EXPECT_TRUE(weakAlert.expired()) << "gone from the screen, the alert lets go";
    EXPECT_FALSE(visibleButtonTitled("Delete"));
    for (auto& window : UIApplication::sharedApplication()->windows())
        EXPECT_NE(window->windowLevel(), UIWindowLevelAlert);
}

TEST_F(AlertViewTest, NothingElseTakesTouchesWhileItIsUp)
{
    auto below = UIButton::buttonWithType(UIButtonTypeCustom);
    below->setFrame(CGRectMake(0, 0, 320, 60));
    placeInWindow(below);
    auto alert = makeAlert("Title", "", { "OK" });
    alert->show();
    finishAnimations();

    struct Case {
        const char* label;
        CGPoint point;
    };
    for (const auto& c : { Case { "outside the box", CGPointMake(160, 30) }, Case { "on the box's text", CGPointMake(160, alert->frame().origin.y + 25) } }) {
        SCOPED_TRACE(c.label);
        m_finger.tap(c.point);
        EXPECT_EQ(m_counter->count, 0);
        EXPECT_TRUE(alert->isVisible());
    }
    m_finger.tap(screenCentre(*visibleButtonTitled("OK")));
    finishAnimations();
    EXPECT_FALSE(alert->isVisible());
    m_finger.tap(CGPointMake(160, 30));
    EXPECT_EQ(m_counter->count, 1) << "with the alert gone the screen takes touches again";
}

TEST_F(AlertViewTest, AlertsShownWhileOneIsUpWaitTheirTurn)
{
    auto first = makeAlert("First", "", { "OK" });
    auto second = makeAlert("Second", "", { "OK" });
    auto dropped = makeAlert("Dropped", "", { "OK" });
    first->show();
    second->show();
    dropped->show();
    first->show();
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(second->isVisible());
    EXPECT_FALSE(dropped->isVisible());
    finishAnimations();

    // A queued alert that is dismissed just leaves the queue.
    dropped->dismissWithClickedButtonIndex(0, true);
    m_finger.tap(screenCentre(*visibleButtonTitled("OK")));
    finishAnimations();
    EXPECT_FALSE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    finishAnimations();
    EXPECT_EQ(visibleButtonTitled("OK")->superview(), second);

    second->dismissWithClickedButtonIndex(0, true);
    finishAnimations();
    EXPECT_FALSE(second->isVisible());
    EXPECT_FALSE(dropped->isVisible());
    EXPECT_EQ(m_delegate->heard, (std::vector<std::string> { "First clicked 0", "First dismissed 0", "Second dismissed 0" }));
}

TEST_F(AlertViewTest, LooksLikeThePlatformsAlertOverADimmedScreen)
{
    const Pixel screen = rgb(40, 110, 220);
    m_window->setBackgroundColor(UIColor::colorWithRed(40 / 255.0f, 110 / 255.0f, 220 / 255.0f, 1));
    auto alert = makeAlert("Save Success", "", { "OK" }, saveMessage);
    alert->show();
    finishAnimations();
    auto frame = UIScreen::mainScreen()->compositeFrame();
    ASSERT_TRUE(frame);
    const CGFloat scale = UIScreen::mainScreen()->scale();
    auto at = [&](CGFloat x, CGFloat y) { return pixelAt(*frame, size_t(x * scale), size_t(y * scale)); };
    auto mix = [](Pixel over, double alpha, Pixel under) {
        auto c = [&](int a, int b) { return int(std::lround(a * alpha + b * (1 - alpha))); };
        return rgb(c(over.red, under.red), c(over.green, under.green), c(over.blue, under.blue));
    };
    const Pixel dimmed = mix(rgb(0, 0, 0), 0.4, screen);
    const Pixel box = mix(rgb(247, 247, 247), 0.97, dimmed);
    CGRect f = alert->frame();

    EXPECT_TRUE(pixelNear(at(5, 5), dimmed, 2));
    EXPECT_TRUE(pixelNear(at(f.origin.x + 8, CGRectGetMidY(f)), box, 2));
    EXPECT_TRUE(pixelNear(at(f.origin.x + 0.6f, f.origin.y + 0.6f), dimmed, 2)) << "the corners are rounded";
    // The hairline above the button row, and the button's title in the tint.
    CGRect row = alert->buttons()[0]->frame();
    Pixel hairline = at(f.origin.x + 20, f.origin.y + row.origin.y + 0.25f);
    EXPECT_LT(hairline.red, box.red - 20);
    EXPECT_GT(hairline.red, 150);
    Pixel strongest = box;
    for (CGFloat x = CGRectGetMidX(f) - 15; x < CGRectGetMidX(f) + 15; x += 0.5f) {
        for (CGFloat y = f.origin.y + row.origin.y + 10; y < f.origin.y + CGRectGetMaxY(row) - 10; y += 0.5f) {
            Pixel p = at(x, y);
            if (p.blue - p.red > strongest.blue - strongest.red)
                strongest = p;
        }
    }
    EXPECT_TRUE(pixelNear(strongest, mix(rgb(0, 122, 255), 1, box), 16));

    auto png = UIImagePNGRepresentation(UIImage::imageWithCGImage(frame, scale));
    ASSERT_FALSE(png.empty());
    std::ofstream(binaryDirectory() / "alert.png", std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    alert->dismissWithClickedButtonIndex(0, false);
}
