#include "UIKit/UIScreen.h"
#include "UIKit/UIScrollView.h"
#include "support/ControlTestSupport.h"
#include "support/GraphicsTestSupport.h"

#include <string>
#include <vector>

using TestSupport::opaqueRed;
using TestSupport::pixelAt;
using TestSupport::pixelNear;

namespace {

struct ScrollRecorder : UIScrollViewDelegate {
    std::vector<std::string> calls;
    void scrollViewDidScroll(UIScrollView& view) override { calls.push_back("scroll " + std::to_string(static_cast<int>(view.contentOffset().y))); }
    void scrollViewWillBeginDragging(UIScrollView&) override { calls.push_back("begin"); }
    void scrollViewDidEndDragging(UIScrollView&, bool) override { calls.push_back("end"); }
};

struct ControlEvents {
    std::vector<std::string> events;
    void down(const std::shared_ptr<UIControl>&) { events.push_back("down"); }
    void cancel(const std::shared_ptr<UIControl>&) { events.push_back("cancel"); }
    void upInside(const std::shared_ptr<UIControl>&) { events.push_back("up inside"); }
};

// A 300 × 400 scroll view at (10, 20) of the window, over a column of content 1200 points
// tall with a thumbnail (a control) 500 points down it.
class ScrollViewTest : public ControlTestSupport::ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        scrollView = placeInWindow(UIScrollView::initWithFrame(CGRectMake(10, 20, 300, 400)));
        scrollView->setContentSize(CGSizeMake(300, 1200));
        thumbnail->setFrame(CGRectMake(10, 500, 80, 80));
        thumbnail->setBackgroundColor(UIColor::redColor());
        scrollView->addSubview(thumbnail);
        thumbnail->addTarget(events, &ControlEvents::down, UIControlEventTouchDown);
        thumbnail->addTarget(events, &ControlEvents::cancel, UIControlEventTouchCancel);
        thumbnail->addTarget(events, &ControlEvents::upInside, UIControlEventTouchUpInside);
        scrollView->setDelegate(recorder);
        runLoopTurn();
    }

    UIScrollViewRef scrollView;
    std::shared_ptr<UIControl> thumbnail = objc::alloc<UIControl>();
    std::shared_ptr<ControlEvents> events = std::make_shared<ControlEvents>();
    std::shared_ptr<ScrollRecorder> recorder = std::make_shared<ScrollRecorder>();
};

}

TEST_F(ScrollViewTest, DraggingMovesTheContentWithTheFingerOnceRecognisedAndStopsAtTheContentsEdges)
{
    struct Case {
        const char* name;
        CGSize contentSize;
        CGPoint startOffset, from, to;
        CGPoint offset;
    };
    const Case cases[] = {
        { "up 200 points: the content follows the finger after the first 10", { 300, 1200 }, { 0, 0 }, { 150, 300 }, { 150, 100 }, { 0, 190 } },
        { "down again", { 300, 1200 }, { 0, 400 }, { 150, 100 }, { 150, 300 }, { 0, 210 } },
        { "past the far end", { 300, 600 }, { 0, 0 }, { 150, 400 }, { 150, 40 }, { 0, 200 } },
        { "past the top", { 300, 1200 }, { 0, 50 }, { 150, 40 }, { 150, 400 }, { 0, 0 } },
        { "sideways where the content is only as wide as the view", { 300, 1200 }, { 0, 100 }, { 250, 200 }, { 50, 150 }, { 0, 147.5 } },
        { "content that fits does not scroll", { 300, 400 }, { 0, 0 }, { 150, 300 }, { 150, 100 }, { 0, 0 } },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        scrollView->setContentSize(test.contentSize);
        scrollView->setContentOffset(test.startOffset);
        m_finger.drag(test.from, test.to, 20);
        EXPECT_FLOAT_EQ(scrollView->contentOffset().x, test.offset.x);
        EXPECT_FLOAT_EQ(scrollView->contentOffset().y, test.offset.y);
        EXPECT_FALSE(scrollView->isDragging());
    }
}

TEST_F(ScrollViewTest, ItIsDraggingFromRecognitionToLiftAndTellsItsDelegate)
{
    m_finger.touchDown({ 150, 300 });
    m_finger.touchMove({ 150, 295 });
    EXPECT_FALSE(scrollView->isDragging()) << "five points is not yet a drag";
    m_finger.touchMove({ 150, 290 });
    EXPECT_TRUE(scrollView->isDragging());
    m_finger.touchMove({ 150, 250 });
    m_finger.touchUp({ 150, 250 });
    EXPECT_FALSE(scrollView->isDragging());
    EXPECT_EQ(recorder->calls, (std::vector<std::string> { "begin", "scroll 40", "end" }));
}

TEST_F(ScrollViewTest, ATapThatDoesNotMoveReachesAThumbnailAndADragCancelsIt)
{
    scrollView->setContentOffset({ 0, 300 });
    // Content point (50, 540) is at (10 + 50, 20 + 540 - 300) in the window.
    const CGPoint onThumbnail { 60, 260 };
    m_finger.tap(onThumbnail);
    EXPECT_EQ(events->events, (std::vector<std::string> { "down", "up inside" }));

    events->events.clear();
    m_finger.drag(onThumbnail, { 60, 200 }, 6);
    EXPECT_EQ(events->events, (std::vector<std::string> { "down", "cancel" })) << "the scroll view took the touch";
    EXPECT_FALSE(thumbnail->isHighlighted());
    EXPECT_FLOAT_EQ(scrollView->contentOffset().y, 350);

    // The screen shows the content at the offset: the thumbnail's top edge is now at 20 + 500 - 350.
    runLoopTurn();
    auto frame = UIScreen::mainScreen()->compositeFrame();
    ASSERT_TRUE(frame);
    CGFloat scale = UIScreen::mainScreen()->scale();
    auto at = [&](CGFloat x, CGFloat y) { return pixelAt(*frame, static_cast<size_t>(x * scale), static_cast<size_t>(y * scale)); };
    EXPECT_TRUE(pixelNear(at(60, 172), opaqueRed));
    EXPECT_FALSE(pixelNear(at(60, 168), opaqueRed));
    // Clipped to its bounds: the thumbnail, now across the view's bottom edge at 420, shows only above it.
    scrollView->setContentOffset({ 0, 120 });
    runLoopTurn();
    frame = UIScreen::mainScreen()->compositeFrame();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(pixelNear(at(60, 410), opaqueRed));
    EXPECT_FALSE(pixelNear(at(60, 440), opaqueRed));
}

TEST_F(ScrollViewTest, OffsetsSetByCallsAreTakenAsGivenAndScrollingToARectMovesAsLittleAsShowsIt)
{
    struct Case {
        const char* name;
        CGPoint startOffset;
        CGRect rect;
        CGPoint offset;
    };
    const Case cases[] = {
        { "below: its bottom edge meets the view's", { 0, 0 }, { 0, 900, 50, 50 }, { 0, 550 } },
        { "above: its top edge meets the view's", { 0, 550 }, { 0, 100, 50, 50 }, { 0, 100 } },
        { "already in view: nothing moves", { 0, 100 }, { 0, 200, 50, 50 }, { 0, 100 } },
        { "taller than the view: its top", { 0, 0 }, { 0, 300, 50, 600 }, { 0, 300 } },
        { "near the end: no further than the content", { 0, 0 }, { 0, 1180, 50, 100 }, { 0, 800 } },
        { "from an offset beyond the content", { 0, 5000 }, { 0, 10, 10, 10 }, { 0, 10 } },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        scrollView->setContentOffset(test.startOffset);
        EXPECT_EQ(scrollView->contentOffset(), test.startOffset);
        scrollView->scrollRectToVisible(test.rect, false);
        EXPECT_EQ(scrollView->contentOffset(), test.offset);
        EXPECT_EQ(scrollView->bounds().origin, test.offset) << "the offset is the bounds' origin";
    }

    scrollView->setContentOffset({ 0, 200 }, true);
    EXPECT_EQ(scrollView->contentOffset(), (CGPoint { 0, 200 })) << "the model value at once";
    auto slide = scrollView->layer()->animationForKey("bounds");
    ASSERT_TRUE(slide) << "the content slides there";
    EXPECT_DOUBLE_EQ(slide->duration(), UIScrollView::animationDuration);
}
