#include "QuartzCore/CABasicAnimation.h"
#include "QuartzCore/CAContext.h"
#include "QuartzCoreTestSupport.h"

#include <string>
#include <vector>

using namespace QuartzCoreTestSupport;

namespace {

using CATransactionCommit = QuartzCoreTest;

// Records, in order, what the commit asks of a layer tree and tells its observers.
struct Journal : CALayerDelegate {
    std::vector<std::string> entries;
    void layoutSublayersOfLayer(CALayer&) override { entries.push_back("layout"); }
    void drawLayerInContext(CALayer&, const CGContextRef&) override { entries.push_back("display"); }
};

class StoringLayer : public CALayer {
public:
    using CALayer::CALayer;
    using CALayer::storeValueForKey;
};

}

TEST_F(CATransactionCommit, OneOrderedUpdateForTheTreesOnScreen)
{
    auto journal = std::make_shared<Journal>();
    auto root = layerWithFrame(CGRectMake(0, 0, 4, 4));
    root->setDelegate(journal);
    auto offScreen = layerWithFrame(CGRectMake(0, 0, 4, 4));
    offScreen->setDelegate(journal);
    auto context = CAContext::contextWithLayer(root);
    int token = CATransaction::addCommitObserver([&](bool changed) {
        journal->entries.push_back(changed ? "observer: changed" : "observer: unchanged");
        journal->entries.push_back("commits before: " + std::to_string(CATransaction::commitCount()));
    });
    unsigned long long before = CATransaction::commitCount();
    CATransaction::setCompletionBlock([&] { journal->entries.push_back("completion"); });
    for (auto& layer : { root, offScreen }) {
        layer->setNeedsLayout();
        layer->setNeedsDisplay();
    }
    commitLayers();
    EXPECT_EQ(journal->entries, (std::vector<std::string> { "layout", "display", "observer: changed", "commits before: " + std::to_string(before),
                                    "completion" }));
    EXPECT_EQ(CATransaction::commitCount(), before + 1);
    EXPECT_TRUE(offScreen->needsDisplay()) << "a tree in no context waits until it is drawn";

    journal->entries.clear();
    commitLayers();
    EXPECT_EQ(journal->entries, (std::vector<std::string> { "observer: unchanged", "commits before: " + std::to_string(before + 1) }))
        << "a turn that changed nothing draws nothing new";
    CATransaction::removeCommitObserver(token);
}

TEST_F(CATransactionCommit, CompletionWaitsForTheAnimationsAddedAfterIt)
{
    auto layer = CALayer::layer();
    commitLayers();
    struct Case {
        const char* label;
        bool removeEarly;
        std::vector<std::string> expected;
    } cases[] = {
        { "runs to the end", false, { "finished" } },
        { "removed first", true, { "not finished" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::string> heard;
        CATransaction::begin();
        layer->setOpacity(0.5f);  // added before the block: not waited for
        CATransaction::setCompletionHandler([&](bool finished) { heard.push_back(finished ? "finished" : "not finished"); });
        CATransaction::setAnimationDuration(1);
        layer->setPosition(CGPointMake(10, 10));
        CATransaction::commit();
        commitLayers();
        EXPECT_TRUE(heard.empty()) << "the animation still runs";
        if (c.removeEarly)
            layer->removeAnimationForKey("position");
        else
            advance(1);
        EXPECT_TRUE(heard.empty()) << "told at the next commit, not from inside the clock";
        commitLayers();
        EXPECT_EQ(heard, c.expected);
        advance(1);
        commitLayers();
        layer->setPosition(CGPointZero);
        advance(1);
    }
}

TEST_F(CATransactionCommit, StoringTheFrameTakesNoAction)
{
    auto layer = objc::alloc<StoringLayer>();
    commitLayers();
    ASSERT_TRUE(layer->storeValueForKey("frame", CGRectMake(10, 20, 30, 40)));
    EXPECT_EQ(layer->frame(), CGRectMake(10, 20, 30, 40));
    EXPECT_TRUE(layer->animationKeys().empty());
    // Through key-value coding the frame goes through the setter, with its actions.
    ASSERT_TRUE(layer->setValueForKey(CGRectMake(0, 0, 30, 40), "frame"));
    EXPECT_EQ(layer->animationKeys(), std::vector<std::string> { "position" });
    EXPECT_FALSE(layer->storeValueForKey("frame", CGRectMake(0, NAN, 1, 1)));
    advance(1);
}
