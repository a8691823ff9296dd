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

// A square image of one colour, size points at scale 2.
UIImageRef solidImage(Pixel colour, size_t size)
{
    std::vector<std::vector<Pixel>> rows(size * 2, std::vector<Pixel>(size * 2, colour));
    return UIImage::imageWithCGImage(imageFromRows(rows), 2);
}

Pixel rgb(int red, int green, int blue)
{
    return { red, green, blue, 255 };
}

// The colour's components as 0..255 pixel values.
Pixel pixelOf(const UIColorRef& color)
{
    auto& c = color->CGColor()->components();
    auto byte = [](CGFloat v) { return int(std::lround(v * 255)); };
    if (c.size() == 2)
        return { byte(c[0]), byte(c[0]), byte(c[0]), byte(c[1]) };
    return { byte(c[0]), byte(c[1]), byte(c[2]), byte(c[3]) };
}

// The pixel of the rendering whose colour is furthest from the background's, among those inked.
Pixel strongestInk(const CGImage& image, Pixel background)
{
    Pixel strongest = background;
    int best = 0;
    for (size_t y = 0; y < image.height(); ++y) {
        for (size_t x = 0; x < image.width(); ++x) {
            Pixel p = pixelAt(image, x, y);
            int distance = std::abs(p.red - background.red) + std::abs(p.green - background.green) + std::abs(p.blue - background.blue);
            if (distance > best) {
                best = distance;
                strongest = p;
            }
        }
    }
    return strongest;
}

// The button drawn over an opaque white view, as it shows on a light screen.
CGImageRef renderOnWhite(const UIButtonRef& button, CGFloat scale = 1)
{
    auto backdrop = UIView::initWithFrame(CGRectMake(0, 0, button->frame().size.width, button->frame().size.height));
    backdrop->setBackgroundColor(UIColor::whiteColor());
    CGRect old = button->frame();
    auto parent = button->superview();
    button->setFrame(backdrop->bounds());
    backdrop->addSubview(button);
    auto image = render(*backdrop, scale);
    button->removeFromSuperview();
    button->setFrame(old);
    if (parent)
        parent->addSubview(button);
    return image;
}

class UIButtonTest : public ControlTest {
protected:
    UIButtonRef placedButton(UIButtonType type, CGRect frame)
    {
        auto button = UIButton::buttonWithType(type);
        button->setFrame(frame);
        return placeInWindow(button);
    }
};

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
        const char* label;
        unsigned state;
        const char* title;
        UIColorRef color;
        UIImageRef image;
    };
    const Case cases[] = {
        { "normal", UIControlStateNormal, "Normal", UIColor::redColor(), normalImage },
        { "highlighted", UIControlStateHighlighted, "Pressed", UIColor::redColor(), normalImage },
        { "disabled", UIControlStateDisabled, "Normal", UIColor::greenColor(), normalImage },
        { "selected", UIControlStateSelected, "Normal", UIColor::redColor(), selectedImage },
        { "a combination without values", UIControlStateSelected | UIControlStateHighlighted, "Normal", UIColor::redColor(), normalImage },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(button->titleForState(c.state), c.title);
        EXPECT_TRUE(CGColorEqualToColor(button->titleColorForState(c.state)->CGColor(), c.color->CGColor()));
        EXPECT_EQ(button->imageForState(c.state), c.image);
    }

    // The present state picks; removing a state's value lets the normal one show again.
    button->setSelected(true);
    EXPECT_EQ(button->currentImage(), selectedImage);
    EXPECT_EQ(button->imageView()->image(), selectedImage);
    button->setImage(nullptr, UIControlStateSelected);
    EXPECT_EQ(button->currentImage(), normalImage);
    button->setSelected(false);
    button->setHighlighted(true);
    EXPECT_EQ(button->currentTitle(), "Pressed");
    EXPECT_EQ(button->titleLabel()->text(), "Pressed");
    button->setTitle("", UIControlStateHighlighted);
    EXPECT_EQ(button->currentTitle(), "Normal");
    button->setTitle("", UIControlStateNormal);
    EXPECT_EQ(button->currentTitle(), "");
    EXPECT_TRUE(button->titleLabel()->isHidden());
}

TEST(UIButton, EachTypeDrawsItsTitleInItsOwnColourPerState)
{
    const Pixel tint = rgb(0, 122, 255), grey = rgb(146, 146, 146), white = rgb(255, 255, 255), orange = rgb(255, 128, 0);
    struct Case {
        const char* label;
        UIButtonType type;
        unsigned state;
        UIColorRef normalColour;  // set for the normal state, or nil
        Pixel expected;
    };
    const Case cases[] = {
        { "custom: white", UIButtonTypeCustom, UIControlStateNormal, nullptr, white },
        { "custom highlighted: as normal", UIButtonTypeCustom, UIControlStateHighlighted, nullptr, white },
        { "custom with a colour", UIButtonTypeCustom, UIControlStateDisabled, UIColor::colorWithRed(1, 128 / 255.0f, 0, 1), orange },
        { "system: the tint", UIButtonTypeSystem, UIControlStateNormal, nullptr, tint },
        { "system selected: the tint", UIButtonTypeSystem, UIControlStateSelected, nullptr, tint },
        { "system disabled: grey", UIButtonTypeSystem, UIControlStateDisabled, nullptr, grey },
        { "system highlighted: faded tint", UIButtonTypeSystem, UIControlStateHighlighted, nullptr, { 0, 122, 255, 51 } },
        { "system with a colour", UIButtonTypeSystem, UIControlStateNormal, UIColor::colorWithRed(1, 128 / 255.0f, 0, 1), orange },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto button = UIButton::buttonWithType(c.type);
        button->setTitleColor(c.normalColour, UIControlStateNormal);
        button->setEnabled(!(c.state & UIControlStateDisabled));
        button->setHighlighted(c.state & UIControlStateHighlighted);
        button->setSelected(c.state & UIControlStateSelected);
        EXPECT_EQ(button->state(), c.state);
        EXPECT_TRUE(pixelNear(pixelOf(button->currentTitleColor()), c.expected));
        EXPECT_TRUE(CGColorEqualToColor(button->titleLabel()->textColor()->CGColor(), button->currentTitleColor()->CGColor()));
    }

    // A new tint colours the title at once; nil brings the default back.
    auto button = UIButton::buttonWithType(UIButtonTypeSystem);
    button->setTintColor(UIColor::redColor());
    EXPECT_TRUE(pixelNear(pixelOf(button->titleLabel()->textColor()), opaqueRed));
    button->setTintColor(nullptr);
    EXPECT_TRUE(pixelNear(pixelOf(button->titleLabel()->textColor()), tint));
}

TEST(UIButton, SystemTitleLooksLikeABarButtonTitle)
{
    struct Case {
        UIButtonType type;
        CGFloat pointSize;
    };
    for (const auto& c : { Case { UIButtonTypeCustom, 15 }, Case { UIButtonTypeSystem, 17 } }) {
        SCOPED_TRACE(c.type);
        auto button = UIButton::buttonWithType(c.type);
        EXPECT_EQ(button->titleLabel()->font()->pointSize(), c.pointSize);
        EXPECT_EQ(button->titleLabel()->font()->description(), UIFont::systemFontOfSize(c.pointSize)->description());
        EXPECT_EQ(button->buttonType(), c.type);
    }
    // "Edit" in a bar: solid tint at the strokes' cores, 17-point capitals.
    auto button = UIButton::buttonWithType(UIButtonTypeSystem);
    button->setTitle("Edit", UIControlStateNormal);
    button->setFrame(CGRectMake(0, 0, 60, 44));
    auto image = renderOnWhite(button, 2);
    ASSERT_TRUE(image);
    EXPECT_TRUE(pixelNear(strongestInk(*image, opaqueWhite), rgb(0, 122, 255), 12));
    button->setEnabled(false);
    image = renderOnWhite(button, 2);
    EXPECT_TRUE(pixelNear(strongestInk(*image, opaqueWhite), rgb(146, 146, 146), 12));
}

TEST(UIButton, ImageAndTitleSitSideBySideCentredAsAGroup)
{
    auto image = solidImage(opaqueRed, 20);
    struct Case {
        const char* label;
        bool withImage;
        const char* title;
        CGRect frame;
    };
    const Case cases[] = {
        { "image and title", true, "Go", CGRectMake(0, 0, 120, 40) },
        { "image alone", true, "", CGRectMake(0, 0, 120, 40) },
        { "title alone", false, "Go", CGRectMake(0, 0, 120, 40) },
        { "a title too long is cut to what the image leaves", true, "A title far longer than the button", CGRectMake(0, 0, 100, 30) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto button = UIButton::buttonWithType(UIButtonTypeCustom);
        button->setFrame(c.frame);
        button->setTitle(c.title, UIControlStateNormal);
        if (c.withImage)
            button->setImage(image, UIControlStateNormal);
        button->layoutIfNeeded();
        CGRect imageFrame = button->imageView()->isHidden() ? CGRectZero : button->imageView()->frame();
        CGRect titleFrame = button->titleLabel()->isHidden() ? CGRectZero : button->titleLabel()->frame();
        EXPECT_EQ(button->imageView()->isHidden(), !c.withImage);
        EXPECT_EQ(button->titleLabel()->isHidden(), !*c.title);
        double groupWidth = imageFrame.size.width + titleFrame.size.width;
        double groupLeft = c.withImage ? imageFrame.origin.x : titleFrame.origin.x;
        EXPECT_NEAR(groupLeft, (c.frame.size.width - groupWidth) / 2, 0.5);
        EXPECT_LE(groupLeft + groupWidth, c.frame.size.width + 1e-3);
        if (c.withImage && *c.title) {
            EXPECT_FLOAT_EQ(titleFrame.origin.x, CGRectGetMaxX(imageFrame));
        }
        for (CGRect part : { imageFrame, titleFrame }) {
            if (!CGRectIsEmpty(part)) {
                EXPECT_NEAR(CGRectGetMidY(part), c.frame.size.height / 2, 0.5);
            }
        }
        CGSize fits = button->sizeThatFits(CGSizeZero);
        EXPECT_GE(fits.width, groupWidth);
        EXPECT_EQ(fits.height, std::ceil(std::max(imageFrame.size.height, button->titleLabel()->sizeThatFits(CGSizeZero).height)));
    }
}

TEST_F(UIButtonTest, CustomButtonsDarkenTheirImageWhileHighlighted)
{
    const Pixel colour = rgb(200, 120, 60);
    struct Case {
        const char* label;
        bool highlighted, adjusts;
        double factor;
    };
    const Case cases[] = {
        { "normal", false, true, 1 },
        { "highlighted", true, true, 2.0 / 3 },
        { "highlighted, not adjusting", true, false, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto button = UIButton::buttonWithType(UIButtonTypeCustom);
        button->setFrame(CGRectMake(0, 0, 40, 40));
        button->setImage(solidImage(colour, 20), UIControlStateNormal);
        button->setAdjustsImageWhenHighlighted(c.adjusts);
        button->setHighlighted(c.highlighted);
        EXPECT_EQ(button->currentImage(), button->imageForState(UIControlStateNormal));
        auto image = render(*button, 2);
        ASSERT_TRUE(image);
        Pixel expected { int(std::lround(colour.red * c.factor)), int(std::lround(colour.green * c.factor)), int(std::lround(colour.blue * c.factor)), 255 };
        EXPECT_TRUE(pixelNear(pixelAt(*image, 40, 40), expected, 2));
        EXPECT_EQ(pixelAt(*image, 4, 4), transparent) << "the image's surroundings stay clear";
    }
}

TEST_F(UIButtonTest, AFingerHighlightsTheButtonAndSendsItsActions)
{
    auto button = placedButton(UIButtonTypeSystem, CGRectMake(100, 200, 80, 44));
    button->setTitle("Tap", UIControlStateNormal);
    button->setImage(solidImage(opaqueRed, 20), UIControlStateNormal);
    auto touchDowns = std::make_shared<ControlTestSupport::TouchUpInsideCounter>();
    button->addTarget(touchDowns, &ControlTestSupport::TouchUpInsideCounter::tapped, UIControlEventTouchDown);
    runLoopTurn();

    // The finger lands on the title: the button takes it, not its label.
    CGPoint onTitle = button->titleLabel()->convertPointToView(CGPointMake(5, 10), nullptr);
    ASSERT_TRUE(m_finger.touchDown(onTitle));
    EXPECT_TRUE(button->isHighlighted());
    EXPECT_EQ(touchDowns->count, 1);
    EXPECT_LT(CGColorGetAlpha(button->titleLabel()->textColor()->CGColor()), 0.5f);
    m_finger.touchUp(onTitle);
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_EQ(m_counter->count, 1);
    EXPECT_FLOAT_EQ(CGColorGetAlpha(button->titleLabel()->textColor()->CGColor()), 1);

    // Disabled, it takes no touches and shows grey.
    button->setEnabled(false);
    m_finger.tap(onTitle);
    EXPECT_EQ(m_counter->count, 1);
    EXPECT_EQ(touchDowns->count, 1);
}

TEST_F(UIButtonTest, ButtonsInTheirStatesLookAsOnThePlatform)
{
    // A strip of buttons over a light screen, written out to be looked at.
    auto strip = UIView::initWithFrame(CGRectMake(0, 0, 320, 180));
    strip->setBackgroundColor(UIColor::colorWithWhite(0.94f, 1));
    struct Case {
        UIButtonType type;
        const char* title;
        bool highlighted, enabled;
    };
    const Case cases[] = {
        { UIButtonTypeSystem, "Done", false, true },
        { UIButtonTypeSystem, "Done", true, true },
        { UIButtonTypeSystem, "Done", false, false },
        { UIButtonTypeCustom, "Photo", false, true },
        { UIButtonTypeCustom, "Photo", true, true },
        { UIButtonTypeCustom, "Photo", false, false },
    };
    std::vector<UIButtonRef> buttons;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        auto button = UIButton::buttonWithType(c.type);
        button->setFrame(CGRectMake(CGFloat(i % 3) * 106 + 4, CGFloat(i / 3) * 90 + 20, 100, 44));
        button->setTitle(c.title, UIControlStateNormal);
        if (c.type == UIButtonTypeCustom) {
            button->setBackgroundColor(UIColor::colorWithRed(0.2f, 0.45f, 0.9f, 1));
            button->setImage(solidImage(rgb(250, 200, 40), 16), UIControlStateNormal);
        }
        button->setHighlighted(c.highlighted);
        button->setEnabled(c.enabled);
        strip->addSubview(button);
        buttons.push_back(button);
    }
    placeInWindow(strip);
    auto image = render(*strip, 2);
    ASSERT_TRUE(image);
    // The system titles: tint, faded tint, grey; each custom image yellow, darkened while highlighted.
    const Pixel background = rgb(240, 240, 240);
    auto inkIn = [&](const UIButtonRef& button) {
        CGRect f = button->frame();
        auto part = CGImageCreateWithImageInRect(image, CGRectMake(f.origin.x * 2, f.origin.y * 2, f.size.width * 2, f.size.height * 2));
        return strongestInk(*part, button->backgroundColor() ? pixelOf(button->backgroundColor()) : background);
    };
    EXPECT_TRUE(pixelNear(inkIn(buttons[0]), rgb(0, 122, 255), 12));
    Pixel faded = inkIn(buttons[1]);
    EXPECT_GT(faded.red, 150) << "faded toward the background";
    EXPECT_TRUE(pixelNear(inkIn(buttons[2]), rgb(146, 146, 146), 12));
    auto imageCentre = [&](const UIButtonRef& button) {
        CGPoint centre = button->imageView()->convertPointToView(CGPointMake(8, 8), strip.get());
        return pixelAt(*image, size_t(centre.x * 2), size_t(centre.y * 2));
    };
    EXPECT_TRUE(pixelNear(imageCentre(buttons[3]), rgb(250, 200, 40), 2));
    EXPECT_TRUE(pixelNear(imageCentre(buttons[4]), rgb(167, 133, 27), 3));
    EXPECT_TRUE(writeViewSnapshot(*strip, 2, binaryDirectory() / "buttons.png"));
}
