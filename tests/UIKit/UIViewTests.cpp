#include "Foundation/NSRunLoop.h"
#include "QuartzCore/CAAnimationClock.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIView.h"
#include "UIKit/UIWindow.h"
#include "UIKitTestSupport.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>
#include <numbers>

using TestSupport::rectNear;

namespace {

UIViewRef makeView()
{
    return UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
}

}

TEST(UIViewGeometry, FrameIsTheBoundingBoxOfTheBoundsTurnedAboutTheCentre)
{
    struct Case {
        const char* label;
        CGAffineTransform transform;
        CGRect frame;
    };
    const Case cases[] = {
        { "identity", CGAffineTransformIdentity, CGRectMake(0, 0, 100, 50) },
        { "quarter turn", CGAffineTransformMakeRotation(static_cast<CGFloat>(std::numbers::pi / 2)), CGRectMake(25, -25, 50, 100) },
        { "doubled", CGAffineTransformMakeScale(2, 2), CGRectMake(-50, -25, 200, 100) },
        { "translated", CGAffineTransformMakeTranslation(5, -5), CGRectMake(5, -5, 100, 50) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto view = UIView::initWithFrame(CGRectMake(0, 0, 100, 50));
        view->setTransform(c.transform);
        EXPECT_TRUE(rectNear(view->frame(), c.frame));
        EXPECT_EQ(view->bounds(), CGRectMake(0, 0, 100, 50));
        EXPECT_EQ(view->center(), CGPointMake(50, 25));
        // With a transform, setting the frame only moves the view.
        view->setFrame(CGRectMake(100, 100, 10, 10));
        EXPECT_EQ(view->center(), CGPointMake(105, 105));
        EXPECT_EQ(view->bounds().size, c.transform == CGAffineTransformIdentity ? CGSizeMake(10, 10) : CGSizeMake(100, 50));
    }
}

TEST(UIViewHierarchy, AddingMovesAViewAndKeepsOrder)
{
    auto first = makeView(), second = makeView();
    auto a = makeView(), b = makeView(), c = makeView(), d = makeView();
    for (auto& view : { a, b, c })
        first->addSubview(view);
    second->addSubview(d);
    second->addSubview(b);
    EXPECT_EQ(first->subviews(), (std::vector<UIViewRef> { a, c }));
    EXPECT_EQ(second->subviews(), (std::vector<UIViewRef> { d, b }));
    EXPECT_EQ(b->superview(), second);
    // Re-adding brings a subview to the front; an index past the end appends.
    first->addSubview(a);
    first->insertSubviewAtIndex(d, 99);
    EXPECT_EQ(first->subviews(), (std::vector<UIViewRef> { c, a, d }));
    EXPECT_TRUE(second->subviews() == std::vector<UIViewRef> { b });
}

TEST(UIViewHierarchy, TheArgumentMayBeAnEntryOfTheListThatChanges)
{
    auto first = makeView(), second = makeView();
    auto a = makeView(), b = makeView(), c = makeView();
    first->addSubview(a);
    first->addSubview(b);
    first->addSubview(c);
    second->addSubview(first->subviews().front());
    EXPECT_EQ(second->subviews(), std::vector<UIViewRef> { a });
    first->addSubview(first->subviews().front());
    EXPECT_EQ(first->subviews(), (std::vector<UIViewRef> { c, b }));
    EXPECT_EQ(a->superview(), second);
}

TEST(UIViewHierarchy, AddingAnAncestorOrItselfIsRefused)
{
    auto root = makeView(), child = makeView(), grandchild = makeView();
    root->addSubview(child);
    child->addSubview(grandchild);
    grandchild->addSubview(root);
    child->addSubview(root);
    child->addSubview(child);
    EXPECT_EQ(root->superview(), nullptr);
    EXPECT_EQ(root->subviews(), std::vector<UIViewRef> { child });
    EXPECT_EQ(child->subviews(), std::vector<UIViewRef> { grandchild });
    EXPECT_TRUE(grandchild->subviews().empty());
}

TEST(UIViewAutoresizing, SharesTheSuperviewChangeAmongFlexibleParts)
{
    // The superview goes from 100 × 100 to 200 × 150; the subview starts at
    // (10, 10, 50, 50), leaving right and bottom margins of 40.
    constexpr unsigned left = UIViewAutoresizingFlexibleLeftMargin, width = UIViewAutoresizingFlexibleWidth,
                       right = UIViewAutoresizingFlexibleRightMargin, top = UIViewAutoresizingFlexibleTopMargin,
                       height = UIViewAutoresizingFlexibleHeight, bottom = UIViewAutoresizingFlexibleBottomMargin;
    struct Case {
        const char* label;
        unsigned mask;
        CGRect expected;
    };
    const Case cases[] = {
        { "fixed", UIViewAutoresizingNone, CGRectMake(10, 10, 50, 50) },
        { "flexible width", width, CGRectMake(10, 10, 150, 50) },
        { "flexible left margin", left, CGRectMake(110, 10, 50, 50) },
        // Margins of 10 and 40 share 100 as 20 and 80.
        { "both horizontal margins", left | right, CGRectMake(30, 10, 50, 50) },
        // Top margin 10 and height 50 share 50 as 8⅓ and 41⅔.
        { "top margin and height", top | height, CGRectMake(10, 10 + 50.0f / 6, 50, 50 + 250.0f / 6) },
        // Width 50 and right margin 40 share 100; height 50 and bottom margin 40 share 50.
        { "mask 54", width | right | height | bottom, CGRectMake(10, 10, 50 + 500.0f / 9, 50 + 250.0f / 9) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto superview = UIView::initWithFrame(CGRectMake(0, 0, 100, 100));
        auto middle = UIView::initWithFrame(CGRectMake(0, 0, 100, 100));
        auto subview = UIView::initWithFrame(CGRectMake(10, 10, 50, 50));
        // Through a flexible middle view, so the change has to travel down the tree.
        middle->setAutoresizingMask(width | height);
        subview->setAutoresizingMask(c.mask);
        superview->addSubview(middle);
        middle->addSubview(subview);
        superview->setFrame(CGRectMake(0, 0, 200, 150));
        EXPECT_TRUE(rectNear(subview->frame(), c.expected));
        EXPECT_TRUE(rectNear(subview->bounds(), CGRectMake(0, 0, c.expected.size.width, c.expected.size.height)));
    }

    auto fixedParent = UIView::initWithFrame(CGRectMake(0, 0, 100, 100));
    auto child = UIView::initWithFrame(CGRectMake(10, 10, 50, 50));
    child->setAutoresizingMask(width);
    fixedParent->setAutoresizesSubviews(false);
    fixedParent->addSubview(child);
    fixedParent->setFrame(CGRectMake(0, 0, 200, 200));
    EXPECT_EQ(child->frame(), CGRectMake(10, 10, 50, 50));
    fixedParent->setAutoresizesSubviews(true);
    fixedParent->setFrame(CGRectMake(0, 0, 100, 100));  // shrinking past the width stops at zero
    EXPECT_EQ(child->frame(), CGRectMake(10, 10, 0, 50));
}

namespace {

// Records the moves it is told of, with the window it is in at each.
class MoveLog : public UIView {
public:
    using UIView::UIView;
    std::vector<std::string>* log = nullptr;
    std::string name;
    void willMoveToSuperview(const UIViewRef& to) override { note(to ? "will move to a superview" : "will leave its superview"); }
    void didMoveToSuperview() override { note("did move"); }
    void willMoveToWindow(const std::shared_ptr<UIWindow>& to) override { note(to ? "will enter a window" : "will leave the window"); }
    void didMoveToWindow() override { note(window() ? "in the window" : "out of the window"); }

private:
    void note(const std::string& what) { log->push_back(name + ": " + what); }
};

}

TEST(UIViewHierarchy, MovesBetweenSuperviewsAndWindowsAreToldToTheWholeSubtree)
{
    std::vector<std::string> log;
    auto make = [&](const char* name) {
        auto view = objc::alloc<MoveLog>();
        view->log = &log;
        view->name = name;
        return view;
    };
    auto parent = make("parent");
    auto child = make("child");
    parent->addSubview(child);
    EXPECT_EQ(log, (std::vector<std::string> { "child: will move to a superview", "child: did move" })) << "no window involved";

    log.clear();
    auto window = UIWindow::initWithFrame(CGRectMake(0, 0, 320, 480));
    window->addSubview(parent);
    EXPECT_EQ(log, (std::vector<std::string> { "parent: will move to a superview", "parent: will enter a window", "child: will enter a window",
                       "parent: did move", "parent: in the window", "child: in the window" }));
    EXPECT_EQ(child->window(), window);
    EXPECT_EQ(window->window(), window);

    log.clear();
    parent->removeFromSuperview();
    EXPECT_EQ(log, (std::vector<std::string> { "parent: will leave its superview", "parent: will leave the window", "child: will leave the window",
                       "parent: did move", "parent: out of the window", "child: out of the window" }));
    EXPECT_EQ(child->window(), nullptr);
}

TEST(UIViewHierarchy, SubviewsComeToTheFrontOrGoToTheBackWithTheirLayers)
{
    auto parent = makeView();
    auto a = makeView(), b = makeView(), c = makeView(), stranger = makeView();
    for (auto& view : { a, b, c })
        parent->addSubview(view);
    parent->bringSubviewToFront(a);
    EXPECT_EQ(parent->subviews(), (std::vector<UIViewRef> { b, c, a }));
    parent->sendSubviewToBack(c);
    EXPECT_EQ(parent->subviews(), (std::vector<UIViewRef> { c, b, a }));
    parent->bringSubviewToFront(stranger);
    parent->sendSubviewToBack(nullptr);
    EXPECT_EQ(parent->subviews().size(), 3u);
    EXPECT_EQ(parent->layer()->sublayers(), (std::vector<CALayerRef> { c->layer(), b->layer(), a->layer() }));
}

TEST(UIViewResponders, TheControllerComesBetweenAViewAndItsSuperview)
{
    auto parent = makeView();
    auto child = makeView();
    parent->addSubview(child);
    EXPECT_EQ(child->nextResponder(), parent);
    auto controller = objc::alloc<UIResponder>();
    child->setViewController(controller);
    EXPECT_EQ(child->nextResponder(), controller);
    controller.reset();
    EXPECT_EQ(child->nextResponder(), parent) << "the link does not own the controller";
    auto window = UIWindow::initWithFrame(CGRectZero);
    EXPECT_EQ(window->nextResponder(), UIApplication::sharedApplication());
    EXPECT_EQ(child->layer()->delegate(), child) << "the layer is made with the view, the view its delegate";
}

TEST(UIViewAnimation, AnimateWithDurationCompletesWhenItsAnimationsHaveEnded)
{
    auto window = UIWindow::initWithFrame(CGRectMake(0, 0, 320, 480));
    auto view = makeView();
    window->addSubview(view);
    window->makeKeyAndVisible();
    NSRunLoop::mainRunLoop().runOnce(false);
    std::vector<bool> completions;
    UIView::animateWithDuration(0.5, [&] { view->setAlpha(0); }, [&](bool finished) { completions.push_back(finished); });
    EXPECT_EQ(view->layer()->animationForKey("opacity")->duration(), 0.5);
    NSRunLoop::mainRunLoop().runOnce(false);
    EXPECT_TRUE(completions.empty());
    CAAnimationClock::shared().advance(0.5);
    NSRunLoop::mainRunLoop().runOnce(false);
    EXPECT_EQ(completions, std::vector<bool> { true });
    // Nothing to animate: done at the next commit.
    UIView::animateWithDuration(0.5, [&] { view->setAlpha(0); }, [&](bool finished) { completions.push_back(finished); });
    NSRunLoop::mainRunLoop().runOnce(false);
    EXPECT_EQ(completions, (std::vector<bool> { true, true }));
    EXPECT_EQ(CATransaction::depth(), 0u);
    window->setHidden(true);
}
