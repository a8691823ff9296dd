#include "UIKit/UIImageView.h"
#include "UIKit/UIKeyboard.h"
#include "host/ViewTreeDescription.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using nlohmann::json;

TEST(ViewTreeDescription, DescribesANestedTree)
{
    auto root = UIView::initWithFrame(CGRectMake(0, 0, 320, 216));
    root->setBackgroundColor(UIColor::whiteColor());
    auto picture = UIImageView::initWithImage(UIImage::imageWithCGImage(CGImage::create(40, 20, std::vector<std::uint32_t>(800)), 2));
    picture->setFrame(CGRectMake(10, 20.5f, 100, 50));
    picture->setAutoresizingMask(54);
    picture->setBackgroundColor(UIColor::colorWithRed(1, 0.5f, 0.25f, 0.75f));
    root->addSubview(picture);
    root->addSubview(UIImageView::initWithImage(nullptr));
    picture->addSubview(UIView::initWithFrame(CGRectMake(1, 2, 3, 4)));

    const json expected = json::parse(R"({
        "class": "UIView", "frame": [0, 0, 320, 216], "autoresizingMask": 0,
        "backgroundColor": { "space": "Monochrome", "components": [1, 1] },
        "subviews": [
            { "class": "UIImageView", "frame": [10, 20.5, 100, 50], "autoresizingMask": 54,
              "backgroundColor": { "space": "RGB", "components": [1, 0.5, 0.25, 0.75] }, "image": { "size": [20, 10] },
              "subviews": [ { "class": "UIView", "frame": [1, 2, 3, 4], "autoresizingMask": 0, "backgroundColor": null, "subviews": [] } ] },
            { "class": "UIImageView", "frame": [0, 0, 0, 0], "autoresizingMask": 0, "backgroundColor": null, "image": null, "subviews": [] }
        ]
    })");
    EXPECT_EQ(describeViewTree(*root), expected) << describeViewTree(*root).dump(2);
}

TEST(ViewTreeDescription, ClassNamesComeFromTheRuntimeAndNumbersFromTheStoredFloats)
{
    auto description = describeViewTree(*UIKeyboard::show(UIInterfaceOrientationLandscapeLeft));
    EXPECT_EQ(description["class"], "UIKeyboard");
    ASSERT_EQ(description["subviews"].size(), 2u);
    EXPECT_EQ(description["subviews"][0]["class"], "UIKBInputBackdropView");
    EXPECT_EQ(description["subviews"][1]["class"], "UIKBKeyplaneView");
    // 209 / 255 as a float reads 0.81960785, not the double 0.8196078538894653 nearest to it.
    const double red = sizeof(CGFloat) == 4 ? 0.81960785 : double(209.0f / 255);
    EXPECT_EQ(description["subviews"][0]["backgroundColor"]["components"][0].get<double>(), red);
}
