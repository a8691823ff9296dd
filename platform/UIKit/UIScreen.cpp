#include "UIKit/UIScreen.h"

const std::shared_ptr<UIScreen>& UIScreen::mainScreen()
{
    static const std::shared_ptr<UIScreen> screen = objc::alloc<UIScreen>();
    return screen;
}
