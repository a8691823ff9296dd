#include "UIKit/UIButton.h"
#include "UIKitTestSupport.h"
#include "host/Snapshot.h"
#include "support/ControlTestSupport.h"
#include "support/GraphicsTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;
using ControlTestSupport::ControlTest;
using UIKitTestSupport::render;

namespace {

constexpr Pixel tint { 0, 122, 255, 255 }, grey { 146, 146, 146, 255 }, yellow { 250, 200, 40, 255 };

// A square of one colour, size points at scale 2.
UIImageRef solidImage(Pixel colour, size_t size)
{
    return UIImage::imageWithCGImage(imageFromRows(std::vector(size * 2, std::vector<Pixel>(size * 2, colour))), 2);
}

// A colour as straight 0..255 components.
Pixel pixelOf(const UIColorRef& color)
{
    auto c = color->CGColor()->components();
    if (c.size() == 2)
        c = { c[0], c[0], c[0], c[1] };
    auto byte = [](CGFloat v) { return int(std::lround(v * 255)); };
    return { byte(c[0]), byte(c[1]), byte(c[2]), byte(c[3]) };
}

// The pixel within rect (points) furthest in colour from the background.
Pixel strongestInk(const CGImage& image, CGRect rect, CGFloat scale, Pixel background)
{
    Pixel strongest = background;
    int best = 0;
    for (auto y = size_t(rect.origin.y * scale); y < size_t(CGRectGetMaxY(rect) * scale); ++y) {
        for (auto x = size_t(rect.origin.x * scale); x < size_t(CGRectGetMaxX(rect) * scale); ++x) {
            Pixel p = pixelAt(image, x, y);
            int distance = std::abs(p.red - background.red) + std::abs(p.green - background.green) + std::abs(p.blue - background.blue);
            if (distance > best)
                std::tie(best, strongest) = std::pair(distance, p);
        }
    }
    return strongest;
}

class UIButtonTest : public ControlTest { };

}

TEST(UIButton, StateValuesFallBackToTheNormalState)
{
    auto normalImage = solidImage(opaqueRed, 10), selectedImage = solidImage(opaqueBlue, 10);
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setTitle("Normal", UIControlStateNormal);
    button->setTitle("Pressed", UIControlStateHighlighted);
    button->setTitleColor(UIColor::redColor(), UIControlStateNormal);
    button->setTitleColor(UIColor::greenColor(), UIControlStateDisabled);
    button->setImage(normalImage, UIControlStateNormal);
    button->setImage(selectedImage, UIControlStateSelected);
    struct Case {
        unsigned state;
        const char* title;
        UIColorRef color;
        UIImageRef image;
    };
    const Case cases[] = {
        { UIControlStateNormal, "Normal", UIColor::redColor(), normalImage },
        { UIControlStateHighlighted, "Pressed", UIColor::redColor(), normalImage },
        { UIControlStateDisabled, "Normal", UIColor::greenColor(), normalImage },
        { UIControlStateSelected, "Normal", UIColor::redColor(), selectedImage },
        { UIControlStateSelected | UIControlStateHighlighted, "Normal", UIColor::redColor(), normalImage },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        EXPECT_EQ(button->titleForState(c.state), c.title);
        EXPECT_TRUE(CGColorEqualToColor(button->titleColorForState(c.state)->CGColor(), c.color->CGColor()));
        EXPECT_EQ(button->imageForState(c.state), c.image);
    }
    // The present state picks what the views show; removing a state's own value shows the normal one.
    button->setSelected(true);
    EXPECT_EQ(button->imageView()->image(), selectedImage);
    button->setImage(nullptr, UIControlStateSelected);
    EXPECT_EQ(button->currentImage(), normalImage);
    button->setSelected(false);
    button->setHighlighted(true);
    EXPECT_EQ(button->titleLabel()->text(), "Pressed");
    button->setTitle("", UIControlStateHighlighted);
    EXPECT_EQ(button->currentTitle(), "Normal");
    button->setTitle("", UIControlStateNormal);
    EXPECT_TRUE(button->titleLabel()->isHidden());
}

TEST(UIButton, ImageAndTitleSitSideBySideCentredAsAGroup)
{
    struct Case {
        const char* label;
        bool withImage;
        const char* title;
        CGSize size;
    };
    const Case cases[] = {
        { "image and title", true, "Go", CGSizeMake(120, 40) },
        { "image alone", true, "", CGSizeMake(120, 40) },
        { "title alone", false, "Go", CGSizeMake(120, 40) },
        { "a long title gets what the image leaves", true, "A title far longer than the button", CGSizeMake(100, 30) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto button = UIButton::buttonWithType(UIButtonTypeCustom);
        button->setFrame({ CGPointZero, c.size });
        button->setTitle(c.title, UIControlStateNormal);
        button->setImage(c.withImage ? solidImage(opaqueRed, 20) : nullptr, UIControlStateNormal);
        button->layoutIfNeeded();
        EXPECT_TRUE(button->imageView()->isHidden() != c.withImage && button->titleLabel()->isHidden() == !*c.title);
        CGRect image = c.withImage ? button->imageView()->frame() : CGRectZero;
        CGRect title = *c.title ? button->titleLabel()->frame() : CGRectMake(CGRectGetMaxX(image), 0, 0, 0);
        if (c.withImage) {
            EXPECT_FLOAT_EQ(title.origin.x, CGRectGetMaxX(image));
        }
        double left = c.withImage ? image.origin.x : title.origin.x;
        EXPECT_NEAR(left, (c.size.width - CGRectGetMaxX(title) + left) / 2, 0.5);
        EXPECT_LE(CGRectGetMaxX(title), c.size.width + 1e-3);
        EXPECT_GE(button->sizeThatFits(CGSizeZero).width, CGRectGetMaxX(title) - left);
        for (CGRect part : { image, title }) {
            if (part.size.height > 0) {
                EXPECT_NEAR(CGRectGetMidY(part), c.size.height / 2, 0.5);
            }
        }
    }
}

TEST_F(UIButtonTest, TitlesAndImagesLookAsTheTypeAndStateSay)
{
    const Pixel stripColour { 240, 240, 240, 255 }, orange { 255, 128, 0, 255 };
    auto orangeColour = UIColor::colorWithRed(1, 128 / 255.0f, 0, 1);
    struct Case {
        const char* label;
        UIButtonType type;
        bool highlighted, enabled;
        UIColorRef normalColour;  // set for the normal state, or nil
        Pixel title;              // the title colour
        Pixel drawn;              // the title's strongest ink (system) or the image's middle (custom)
    };
    const Case cases[] = {
        { "system: the tint", UIButtonTypeSystem, false, true, nullptr, tint, tint },
        { "system highlighted: a fifth of the tint", UIButtonTypeSystem, true, true, nullptr, { 0, 122, 255, 51 }, { 192, 216, 243, 255 } },
        { "system disabled: grey", UIButtonTypeSystem, false, false, nullptr, grey, grey },
        { "system with a colour", UIButtonTypeSystem, false, true, orangeColour, orange, orange },
        { "custom: white, the image as it is", UIButtonTypeCustom, false, true, nullptr, opaqueWhite, yellow },
        { "custom highlighted: the image darkened by a third", UIButtonTypeCustom, true, true, nullptr, opaqueWhite, { 167, 133, 27, 255 } },
        { "custom disabled, with a colour", UIButtonTypeCustom, false, false, orangeColour, orange, yellow },
    };
    auto strip = UIView::initWithFrame(CGRectMake(0, 0, 320, 280));
    strip->setBackgroundColor(UIColor::colorWithWhite(240 / 255.0f, 1));
    std::vector<UIButtonRef> buttons;
    for (const auto& c : cases) {
        auto button = UIButton::buttonWithType(c.type);
        CGFloat size = c.type == UIButtonTypeSystem ? 17 : 15;  // 17: a bar button item's title
        EXPECT_EQ(button->titleLabel()->font()->description() + " " + std::to_string(button->titleLabel()->font()->pointSize()),
            UIFont::systemFontOfSize(size)->description() + " " + std::to_string(size));
        button->setFrame(CGRectMake(CGFloat(buttons.size() % 3) * 106 + 4, CGFloat(buttons.size() / 3) * 90 + 20, 100, 44));
        button->setTitle(c.type == UIButtonTypeSystem ? "Done" : "Photo", UIControlStateNormal);
        button->setTitleColor(c.normalColour, UIControlStateNormal);
        if (c.type == UIButtonTypeCustom) {
            button->setBackgroundColor(UIColor::colorWithRed(0.2f, 0.45f, 0.9f, 1));
            button->setImage(solidImage(yellow, 16), UIControlStateNormal);
        }
        button->setHighlighted(c.highlighted);
        button->setEnabled(c.enabled);
        strip->addSubview(button);
        buttons.push_back(button);
    }
    placeInWindow(strip);
    auto image = render(*strip, 2);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.label);
        EXPECT_TRUE(pixelNear(pixelOf(buttons[i]->titleLabel()->textColor()), c.title));
        CGPoint middle = buttons[i]->imageView()->convertPointToView(CGPointMake(8, 8), strip.get());
        Pixel drawn = c.type == UIButtonTypeSystem ? strongestInk(*image, buttons[i]->frame(), 2, stripColour)
                                                   : pixelAt(*image, size_t(middle.x * 2), size_t(middle.y * 2));
        EXPECT_TRUE(pixelNear(drawn, c.drawn, 12));
    }
    EXPECT_TRUE(writeViewSnapshot(*strip, 2, binaryDirectory() / "buttons.png"));

    // A new tint colours a system title at once; nil brings the default back.
    buttons[0]->setTintColor(UIColor::redColor());
    EXPECT_TRUE(pixelNear(pixelOf(buttons[0]->titleLabel()->textColor()), opaqueRed));
    buttons[0]->setTintColor(nullptr);
    EXPECT_TRUE(pixelNear(pixelOf(buttons[0]->titleLabel()->textColor()), tint));
}

TEST_F(UIButtonTest, AFingerOnAButtonsTitleHighlightsTheButtonAndSendsItsActions)
{
    auto button = UIButton::buttonWithType(UIButtonTypeSystem);
    button->setFrame(CGRectMake(100, 200, 80, 44));
    button->setTitle("Tap", UIControlStateNormal);
    button->setImage(solidImage(opaqueRed, 20), UIControlStateNormal);
    placeInWindow(button);
    auto touchDowns = std::make_shared<ControlTestSupport::TouchUpInsideCounter>();
    button->addTarget(touchDowns, &ControlTestSupport::TouchUpInsideCounter::tapped, UIControlEventTouchDown);

    CGPoint onTitle = button->titleLabel()->convertPointToView(CGPointMake(5, 10), nullptr);
    ASSERT_TRUE(m_finger.touchDown(onTitle));
    EXPECT_TRUE(button->isHighlighted());
    EXPECT_EQ(touchDowns->count, 1);
    m_finger.touchUp(onTitle);
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_EQ(m_counter->count, 1);
    button->setEnabled(false);
    m_finger.tap(onTitle);
    EXPECT_EQ(m_counter->count + touchDowns->count, 2) << "disabled, it takes no touches";
}
