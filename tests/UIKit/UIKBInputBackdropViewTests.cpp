#include "UIKit/UIKBInputBackdropView.h"

#include <gtest/gtest.h>

TEST(UIKBInputBackdropView, InitialiserGivesTheLightBackdropAtTheFrame)
{
    for (CGRect frame : { CGRectMake(0, 0, 320, 216), CGRectMake(-10, 5, 1024, 1024) }) {
        SCOPED_TRACE(frame.size.width);
        auto view = UIKBInputBackdropView::initWithFrame(frame, true);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(object_getClass(view), objc_getClass("UIKBInputBackdropView"));
        EXPECT_EQ(view->frame(), frame);
        ASSERT_NE(view->backgroundColor(), nullptr);
        auto components = view->backgroundColor()->CGColor()->components();
        ASSERT_EQ(components.size(), 4u);
        EXPECT_NEAR(components[0] * 255, 209, 1e-3);
        EXPECT_NEAR(components[1] * 255, 213, 1e-3);
        EXPECT_NEAR(components[2] * 255, 219, 1e-3);
        EXPECT_EQ(components[3], 1);
    }
}
