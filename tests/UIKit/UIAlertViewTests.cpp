#include "QuartzCore/CAAnimationClock.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIScreen.h"
#include "support/ControlTestSupport.h"
#include "support/GraphicsTestSupport.h"
#include "support/TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace TestSupport;
using ControlTestSupport::ControlTest;

namespace {

using Heard = std::vector<std::string>;

class RecordingDelegate : public UIAlertViewDelegate {
public:
    Heard heard;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, long index) override { heard.push_back(alert.title() + " clicked " + std::to_string(index)); }
    void alertViewDidDismissWithButtonIndex(UIAlertView& alert, long index) override { heard.push_back(alert.title() + " dismissed " + std::to_string(index)); }
};

const char* const saveMessage = "You can press \u3010turn on\u3011button and reopen you application to see the new keyboard now!";

class UIAlertViewTest : public ControlTest {
protected:
    void TearDown() override
    {
        // What a failed test left up goes, so that the next one starts with a clear screen.
        while (auto button = visibleButtonTitled({}))
            std::static_pointer_cast<UIAlertView>(button->superview())->dismissWithClickedButtonIndex(-1, false);
        ControlTest::TearDown();
    }

    UIAlertViewRef makeAlert(const std::string& title, std::string cancel, std::vector<std::string> others, std::string message = "")
    {
        return UIAlertView::initWithTitle(title, std::move(message), m_delegate, std::move(cancel), std::move(others));
    }

    // Runs the animations to their end. An alert shown outside a turn starts its zoom in
    // the second turn: the first puts it on screen.
    static void finishAnimations()
    {
        runLoopTurn();
        runLoopTurn();
        CAAnimationClock::shared().advance(1);
        runLoopTurn();
        runLoopTurn();
    }

    // The shown alert's button with that title (any title: empty), found as a script finds
    // it: by walking the windows.
    static UIButtonRef visibleButtonTitled(const std::string& title)
    {
        for (auto& window : UIApplication::sharedApplication()->windows()) {
            for (auto& view : window->subviews()) {
                for (auto& subview : std::dynamic_pointer_cast<UIAlertView>(view) ? view->subviews() : std::vector<UIViewRef> {}) {
                    auto button = std::dynamic_pointer_cast<UIButton>(subview);
                    if (button && (title.empty() || button->currentTitle() == title))
                        return button;
                }
            }
        }
        return nullptr;
    }

    void tapButtonTitled(const std::string& title)
    {
        auto button = visibleButtonTitled(title);
        ASSERT_TRUE(button);
        m_finger.tap(button->convertPointToView(CGPointMake(60, 22), nullptr));
    }

    std::shared_ptr<RecordingDelegate> m_delegate = std::make_shared<RecordingDelegate>();
};

}

TEST(UIAlertView, ButtonsAreIndexedWithTheCancelButtonFirst)
{
    struct Case {
        const char* label;
        std::string cancel;
        std::vector<std::string> others, titles;
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
        EXPECT_EQ(alert->title() + "/" + alert->message(), "Title/Message");
        EXPECT_EQ(alert->numberOfButtons(), long(c.titles.size()));
        EXPECT_EQ(alert->cancelButtonIndex(), c.cancelIndex);
        for (size_t i = 0; i < c.titles.size(); ++i) {
            EXPECT_EQ(alert->buttonTitleAtIndex(long(i)), c.titles[i]);
            EXPECT_EQ(alert->buttons()[i]->currentTitle(), c.titles[i]);
        }
        EXPECT_EQ(alert->buttonTitleAtIndex(-1) + alert->buttonTitleAtIndex(long(c.titles.size())), "");
        EXPECT_FALSE(alert->isVisible());
    }
}

TEST_F(UIAlertViewTest, ShowingZoomsTheBoxInOverADimmedScreenInAWindowOfItsOwn)
{
    m_window->setBackgroundColor(UIColor::colorWithRed(40 / 255.0f, 110 / 255.0f, 220 / 255.0f, 1));
    auto alert = makeAlert("Save Success", "", { "OK" }, saveMessage);
    alert->show();
    auto window = alert->alertWindow();
    ASSERT_TRUE(alert->isVisible() && window);
    EXPECT_EQ(window->windowLevel(), UIWindowLevelAlert);
    EXPECT_TRUE(rectNear(window->frame(), UIScreen::mainScreen()->bounds()));
    EXPECT_TRUE(window->isKeyWindow());
    EXPECT_EQ(window->subviews(), (std::vector<UIViewRef> { alert->dimmingView(), alert }));
    EXPECT_EQ(alert->bounds().size.width, 270);
    EXPECT_EQ(alert->titleLabel()->frame().origin.y, 20);
    EXPECT_TRUE(rectNear(alert->messageLabel()->frame(), CGRectMake(16, alert->messageLabel()->frame().origin.y, 238, alert->messageLabel()->frame().size.height)));

    // It zooms in from large and clear.
    EXPECT_TRUE(alert->alpha() == 1 && alert->dimmingView()->alpha() == 1 && CGAffineTransformIsIdentity(alert->transform()));
    EXPECT_FLOAT_EQ(alert->layer()->presentationLayer()->opacity(), 0);
    EXPECT_NEAR(alert->layer()->presentationLayer()->affineTransform().a, 1.2, 1e-6);
    for (auto& [layer, key] : { std::pair(alert->layer(), "opacity"), std::pair(alert->layer(), "transform"), std::pair(alert->dimmingView()->layer(), "opacity") }) {
        auto animation = layer->animationForKey(key);
        EXPECT_TRUE(animation && animation->duration() == 0.3) << key;
    }

    // Once in: the screen dimmed by 40% black, a near-white box with rounded corners, centred,
    // a hairline above the button row, and the button's title in the tint.
    finishAnimations();
    auto frame = UIScreen::mainScreen()->compositeFrame();
    ASSERT_TRUE(frame);
    auto at = [&](CGFloat x, CGFloat y) { return pixelAt(*frame, size_t(x * 2), size_t(y * 2)); };
    auto over = [](Pixel top, double alpha, Pixel under) {
        auto mix = [&](int a, int b) { return int(std::lround(a * alpha + b * (1 - alpha))); };
        return Pixel { mix(top.red, under.red), mix(top.green, under.green), mix(top.blue, under.blue), 255 };
    };
    const Pixel dimmed = over(opaqueBlack, 0.4, { 40, 110, 220, 255 }), box = over({ 247, 247, 247, 255 }, 0.97, dimmed);
    CGRect f = alert->frame(), row = CGRectOffset(alert->buttons()[0]->frame(), f.origin.x, f.origin.y);
    EXPECT_TRUE(CGRectGetMidX(f) == 160 && std::abs(CGRectGetMidY(f) - 240) <= 0.5f) << "centred";
    EXPECT_TRUE(pixelNear(at(5, 5), dimmed, 2));
    EXPECT_TRUE(pixelNear(at(f.origin.x + 8, CGRectGetMidY(f)), box, 2));
    EXPECT_TRUE(pixelNear(at(f.origin.x + 0.6f, f.origin.y + 0.6f), dimmed, 2)) << "rounded corners";
    Pixel hairline = at(f.origin.x + 20, row.origin.y + 0.25f);
    EXPECT_TRUE(hairline.red > 150 && hairline.red < box.red - 20) << hairline.red;
    Pixel bluest = box;
    for (CGFloat x = CGRectGetMidX(row) - 15; x < CGRectGetMidX(row) + 15; x += 0.5f) {
        for (CGFloat y = CGRectGetMidY(row) - 10; y < CGRectGetMidY(row) + 10; y += 0.5f) {
            if (Pixel p = at(x, y); p.blue - p.red > bluest.blue - bluest.red)
                bluest = p;
        }
    }
    EXPECT_TRUE(pixelNear(bluest, { 0, 122, 255, 255 }, 16));
    auto png = UIImagePNGRepresentation(UIImage::imageWithCGImage(frame, 2));
    std::ofstream(binaryDirectory() / "alert.png", std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));

    alert->dismissWithClickedButtonIndex(0, false);
    EXPECT_FALSE(alert->isVisible() || alert->alertWindow());
    EXPECT_TRUE(m_window->isKeyWindow()) << "the window that was key is key again";
    EXPECT_EQ(m_delegate->heard, Heard { "Save Success dismissed 0" });
}

TEST_F(UIAlertViewTest, ButtonsShareTheRowOrStackByTheirCountBelowTheText)
{
    std::string longMessage;
    for (int i = 0; i < 100; ++i)
        longMessage += "Every line of this message is one more than the screen can hold. ";
    struct Case {
        const char* label;
        std::string cancel;
        std::vector<std::string> others;
        std::vector<CGRect> frames;  // by index; y from the top of the buttons
        size_t hairlines;
        std::string message = "Message";
    };
    const Case cases[] = {
        { "one: the full width", "", { "OK" }, { CGRectMake(0, 0, 270, 44) }, 1 },
        { "two: side by side, cancel at the left", "Cancel", { "Save" }, { CGRectMake(0, 0, 135, 44), CGRectMake(135, 0, 135, 44) }, 2 },
        { "three: stacked, cancel at the bottom", "Cancel", { "Save", "Delete" },
            { CGRectMake(0, 88, 270, 44), CGRectMake(0, 0, 270, 44), CGRectMake(0, 44, 270, 44) }, 3 },
        { "a message too long for the screen is cut", "", { "OK" }, { CGRectMake(0, 0, 270, 44) }, 1, longMessage },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto alert = makeAlert("Title", c.cancel, c.others, c.message);
        alert->show();
        CGFloat top = std::ceil(CGRectGetMaxY(alert->messageLabel()->frame())) + 20;
        CGFloat bottom = 0;
        for (size_t i = 0; i < c.frames.size(); ++i) {
            EXPECT_TRUE(rectNear(alert->buttons()[i]->frame(), CGRectOffset(c.frames[i], 0, top))) << i;
            bottom = std::max(bottom, top + CGRectGetMaxY(c.frames[i]));
            auto weight = long(i) == alert->cancelButtonIndex() ? UIFontWeightSemibold : UIFontWeightRegular;
            EXPECT_EQ(alert->buttons()[i]->titleLabel()->font()->description(), UIFont::systemFontOfSizeWeight(17, weight)->description());
        }
        EXPECT_EQ(alert->bounds().size.height, bottom) << "the buttons end the box";
        EXPECT_LE(bottom, 480 - 20) << "the box fits the screen";
        auto isHairline = [](auto& view) { return view->layer()->name() == "UIAlertViewHairline"; };
        EXPECT_EQ(size_t(std::count_if(alert->subviews().begin(), alert->subviews().end(), isHairline)), c.hairlines);
        alert->dismissWithClickedButtonIndex(-1, false);
    }
}

TEST_F(UIAlertViewTest, OnlyItsButtonsTakeTouchesAndATapTellsTheDelegateThenTheAlertFadesAndLetsGo)
{
    auto below = UIButton::buttonWithType(UIButtonTypeCustom);
    below->setFrame(CGRectMake(0, 0, 320, 60));
    placeInWindow(below);
    std::weak_ptr<UIAlertView> weakAlert;
    {
        auto alert = makeAlert("Delete", "Cancel", { "Delete" });
        alert->show();
        weakAlert = alert;
    }
    finishAnimations();
    ASSERT_FALSE(weakAlert.expired()) << "a shown alert keeps itself";
    m_finger.tap(CGPointMake(160, 30));
    m_finger.tap(weakAlert.lock()->convertPointToView(CGPointMake(135, 25), nullptr));
    EXPECT_EQ(m_counter->count, 0) << "nothing else takes touches";

    auto button = visibleButtonTitled("Delete");
    ASSERT_TRUE(button);
    CGPoint point = button->convertPointToView(CGPointMake(60, 22), nullptr);
    ASSERT_TRUE(m_finger.touchDown(point));
    EXPECT_TRUE(button->backgroundColor()) << "pressed, the button shades";
    m_finger.touchUp(point);
    EXPECT_FALSE(button->backgroundColor());
    EXPECT_EQ(m_delegate->heard, Heard { "Delete clicked 1" });
    EXPECT_EQ(weakAlert.lock()->alpha(), 0);
    EXPECT_TRUE(weakAlert.lock()->layer()->animationForKey("opacity")) << "fading out";
    m_finger.tap(point);  // not heard while it fades
    finishAnimations();
    EXPECT_EQ(m_delegate->heard, (Heard { "Delete clicked 1", "Delete dismissed 1" }));
    EXPECT_TRUE(weakAlert.expired()) << "gone, the alert lets go";
    m_finger.tap(CGPointMake(160, 30));
    EXPECT_EQ(m_counter->count, 1) << "the screen takes touches again";
}

TEST_F(UIAlertViewTest, AlertsShownWhileOneIsUpWaitTheirTurn)
{
    auto first = makeAlert("First", "", { "OK" }), second = makeAlert("Second", "", { "OK" }), dropped = makeAlert("Dropped", "", { "OK" });
    for (auto& alert : { first, second, dropped, first })
        alert->show();
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(second->isVisible() || dropped->isVisible());
    dropped->dismissWithClickedButtonIndex(0, true);  // a queued alert just leaves the queue
    finishAnimations();
    tapButtonTitled("OK");
    finishAnimations();
    EXPECT_FALSE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(visibleButtonTitled("OK")->superview(), second);
    tapButtonTitled("OK");
    finishAnimations();
    EXPECT_FALSE(second->isVisible() || dropped->isVisible());
    EXPECT_EQ(m_delegate->heard, (Heard { "First clicked 0", "First dismissed 0", "Second clicked 0", "Second dismissed 0" }));
}
