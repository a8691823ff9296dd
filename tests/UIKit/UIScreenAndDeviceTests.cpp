#include "Foundation/NSBundle.h"
#include "UIKit/UIDevice.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIScreen.h"

#include <gtest/gtest.h>

namespace {

TEST(UIDevice, AnswersTheIdiomThroughTheRuntime)
{
    auto& device = UIDevice::currentDevice();
    EXPECT_TRUE(device->respondsToSelector(sel_registerName("userInterfaceIdiom")));
    EXPECT_EQ(device->userInterfaceIdiom(), UIUserInterfaceIdiomPhone);
    device->setUserInterfaceIdiom(UIUserInterfaceIdiomPad);
    EXPECT_EQ(device->userInterfaceIdiom(), UIUserInterfaceIdiomPad);
    device->setUserInterfaceIdiom(UIUserInterfaceIdiomPhone);
}

TEST(UIImage, NamedPicturesComeFromTheBundleAtTheScreensScale)
{
    NSBundle::mainBundle().setResourcePath(TESSARY8_PICTURES_DIR);
    ASSERT_EQ(UIScreen::mainScreen()->scale(), 2);
    auto knob = UIImage::imageNamed("colorPickerKnob.png");
    ASSERT_TRUE(knob);
    EXPECT_EQ(knob->scale(), 2);
    EXPECT_EQ(CGImageGetWidth(knob->CGImage()), 2 * static_cast<size_t>(knob->size().width));
    EXPECT_EQ(UIImage::imageNamed("colorPickerKnob.png"), knob);
    EXPECT_TRUE(UIImage::imageNamed("checkerboard"));
    for (const char* missing : { "", "nothing.png", "../pictures/checkerboard.png", "checkerboard.gif" }) {
        SCOPED_TRACE(missing);
        EXPECT_FALSE(UIImage::imageNamed(missing));
    }
    NSBundle::mainBundle().setResourcePath({});
}

}
