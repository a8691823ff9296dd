#include "QuartzCore/CAAnimationClock.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UINavigationController.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UITabBarController.h"
#include "support/ControlTestSupport.h"
#include "support/GraphicsTestSupport.h"

#include <string>
#include <vector>

using TestSupport::rectNear;

namespace {

// Notes the order of its view's life and of its bar button's actions.
class JournalController : public UIViewController {
public:
    using UIViewController::UIViewController;
    std::vector<std::string> journal;
    bool turns = false;
    void loadView() override
    {
        journal.push_back("loadView");
        UIViewController::loadView();
    }
    void viewDidLoad() override { journal.push_back("viewDidLoad"); }
    void viewWillAppear(bool) override { journal.push_back("viewWillAppear"); }
    void viewDidAppear(bool) override { journal.push_back("viewDidAppear"); }
    void viewDidDisappear(bool) override { journal.push_back("viewDidDisappear"); }
    void pressed() { journal.push_back("pressed"); }
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) override
    {
        return turns || UIViewController::shouldAutorotateToInterfaceOrientation(orientation);
    }
};

// The application's shape: tabs of navigation controllers in a window the size of the screen.
class Controllers : public ControlTestSupport::ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        m_window->setHidden(true);
        window = UIWindow::initWithFrame(UIScreen::mainScreen()->bounds());
        opaqueNavigation->navigationBar()->setTranslucent(false);
        tabs->setViewControllers({ opaqueNavigation, translucentNavigation });
        window->setRootViewController(tabs);
        window->makeKeyAndVisible();
        runLoopTurn();
    }
    void TearDown() override
    {
        UIApplication::sharedApplication()->rotateInterfaceToOrientation(UIInterfaceOrientationPortrait);
        window->setHidden(true);
        ControlTest::TearDown();
    }
    static std::shared_ptr<JournalController> makeController(const char* title)
    {
        auto controller = objc::alloc<JournalController>();
        controller->setTitle(title);
        return controller;
    }

    std::shared_ptr<JournalController> first = makeController("First");
    std::shared_ptr<JournalController> second = makeController("Second");
    UINavigationControllerRef opaqueNavigation = UINavigationController::initWithRootViewController(first);
    UINavigationControllerRef translucentNavigation = UINavigationController::initWithRootViewController(second);
    UITabBarControllerRef tabs = objc::alloc<UITabBarController>();
    UIWindowRef window;
};

}

TEST_F(Controllers, ViewsLoadOnceAndLayOutUnderOrBelowTheBars)
{
    EXPECT_EQ(first->journal, (std::vector<std::string> { "loadView", "viewDidLoad" }));
    EXPECT_FALSE(second->isViewLoaded()) << "a tab not yet shown has not loaded its view";
    EXPECT_EQ(first->navigationItem()->title(), "First");
    EXPECT_EQ(first->navigationController(), opaqueNavigation);
    EXPECT_EQ(first->tabBarController(), tabs);
    EXPECT_EQ(opaqueNavigation->tabBarItem(), first->tabBarItem()) << "a navigation controller in tabs shows its root's item";

    struct Case {
        const char* label;
        UIInterfaceOrientation orientation;
        size_t tab;
        CGRect bar, content, tabBar;
    } cases[] = {
        { "opaque bar: below it", UIInterfaceOrientationPortrait, 0, CGRectMake(0, 20, 320, 44), CGRectMake(0, 64, 320, 416),
            CGRectMake(0, 431, 320, 49) },
        { "translucent bar: under it", UIInterfaceOrientationPortrait, 1, CGRectMake(0, 20, 320, 44), CGRectMake(0, 0, 320, 480),
            CGRectMake(0, 431, 320, 49) },
        { "on its side: a lower bar", UIInterfaceOrientationLandscapeLeft, 0, CGRectMake(0, 20, 480, 32), CGRectMake(0, 52, 480, 268),
            CGRectMake(0, 271, 480, 49) },
    };
    first->turns = second->turns = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(UIApplication::sharedApplication()->rotateInterfaceToOrientation(c.orientation));
        tabs->setSelectedIndex(c.tab);
        runLoopTurn();
        auto navigation = c.tab == 0 ? opaqueNavigation : translucentNavigation;
        auto shown = c.tab == 0 ? first : second;
        EXPECT_TRUE(rectNear(navigation->navigationBar()->frame(), c.bar));
        EXPECT_TRUE(rectNear(shown->view()->convertPointToView(CGPointZero, window.get()) == CGPointMake(c.content.origin.x, c.content.origin.y)
                    ? CGRect { CGPointMake(c.content.origin.x, c.content.origin.y), shown->view()->bounds().size }
                    : CGRectNull,
            c.content));
        EXPECT_TRUE(rectNear(tabs->tabBar()->frame(), c.tabBar));
        EXPECT_EQ(tabs->selectedViewController()->view()->superview(), tabs->view()) << "one tab on screen";
    }
}

TEST_F(Controllers, TappingATabSwitchesAndTheRootOnlyTurnsWhenEveryTabAgrees)
{
    auto& buttons = tabs->tabBar()->buttons();
    ASSERT_EQ(buttons.size(), 2u);
    CGRect secondTab = buttons[1]->frame();
    CGPoint centre = tabs->tabBar()->convertPointToView(CGPointMake(CGRectGetMidX(secondTab), CGRectGetMidY(secondTab)), window.get());
    m_finger.tap(centre);
    EXPECT_EQ(tabs->selectedIndex(), 1u);
    EXPECT_TRUE(buttons[1]->isSelected());
    EXPECT_FALSE(buttons[0]->isSelected());
    EXPECT_EQ(second->journal, (std::vector<std::string> { "loadView", "viewDidLoad" }));

    first->turns = true;
    EXPECT_FALSE(UIApplication::sharedApplication()->rotateInterfaceToOrientation(UIInterfaceOrientationLandscapeLeft));
    EXPECT_EQ(UIScreen::mainScreen()->bounds().size, CGSizeMake(320, 480));
    second->turns = true;
    EXPECT_TRUE(UIApplication::sharedApplication()->rotateInterfaceToOrientation(UIInterfaceOrientationLandscapeLeft));
    EXPECT_EQ(UIScreen::mainScreen()->bounds().size, CGSizeMake(480, 320));
    EXPECT_EQ(window->frame().size, CGSizeMake(480, 320)) << "a window that filled the screen follows it";
}

TEST_F(Controllers, BarButtonsActOnTapAndFollowTheirItems)
{
    auto item = UIBarButtonItem::initWithTitle("Save", UIBarButtonItemStylePlain, first, &JournalController::pressed);
    first->navigationItem()->setRightBarButtonItem(item);
    runLoopTurn();
    auto bar = opaqueNavigation->navigationBar();
    auto button = bar->rightButton();
    ASSERT_TRUE(button);
    EXPECT_EQ(button->title(), "Save");
    EXPECT_NEAR(CGRectGetMaxX(button->frame()), 320, 1e-3) << "at the right edge";
    CGRect frame = button->frame();
    m_finger.tap(bar->convertPointToView(CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)), window.get()));
    EXPECT_EQ(first->journal.back(), "pressed");

    item->setTitle("Saved");
    runLoopTurn();
    EXPECT_EQ(bar->rightButton()->title(), "Saved");
    item->setEnabled(false);
    first->journal.clear();
    m_finger.tap(bar->convertPointToView(CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)), window.get()));
    EXPECT_TRUE(first->journal.empty()) << "a disabled item does nothing";
}

TEST_F(Controllers, APresentedControllerSlidesUpAndDownAndCompletesAfterwards)
{
    auto modal = makeController("Modal");
    std::vector<std::string> completions;
    first->presentViewController(modal, true, [&] { completions.push_back("presented"); });
    runLoopTurn();
    EXPECT_EQ(first->presentedViewController(), modal);
    EXPECT_EQ(modal->presentingViewController(), first);
    EXPECT_EQ(modal->view()->window(), window);
    EXPECT_NEAR(modal->view()->layer()->presentationLayer()->frame().origin.y, 480, 1) << "starts below the screen";
    CAAnimationClock::shared().advance(0.2);
    runLoopTurn();
    EXPECT_TRUE(completions.empty());
    CAAnimationClock::shared().advance(0.2);
    runLoopTurn();
    EXPECT_EQ(completions, std::vector<std::string> { "presented" });
    EXPECT_EQ(modal->view()->frame(), window->bounds());

    modal->dismissViewControllerAnimated(true, [&] { completions.push_back("dismissed"); });
    runLoopTurn();
    EXPECT_EQ(modal->view()->superview(), window) << "still sliding away";
    CAAnimationClock::shared().advance(0.4);
    runLoopTurn();
    EXPECT_EQ(completions, (std::vector<std::string> { "presented", "dismissed" }));
    EXPECT_EQ(modal->view()->superview(), nullptr);
    EXPECT_EQ(first->presentedViewController(), nullptr);
    EXPECT_EQ(modal->journal, (std::vector<std::string> { "loadView", "viewDidLoad", "viewWillAppear", "viewDidAppear", "viewDidDisappear" }));
}
