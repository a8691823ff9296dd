#include "Tessary8/Tessary8.h"

#include "Foundation/NSDictionary.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/NSLog.h"
#include "UIKit/UIGeometry.h"
#include "UIKit/UIImageView.h"
#include "objc/message.h"
#include "shared/SharedFiles.h"
#include "substrate/substrate.h"

bool GlobalisSwitch = false;

namespace {

constexpr CGFloat colorSquareSide = 1024;
constexpr unsigned pictureAutoresizingMask = UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleRightMargin
    | UIViewAutoresizingFlexibleHeight | UIViewAutoresizingFlexibleBottomMargin;
static_assert(pictureAutoresizingMask == 54);

substrate::Original<CGSize(int), Class> previousSizeForInterfaceOrientation;
substrate::Original<id(CGRect, BOOL)> previousInitWithFrame;
substrate::Original<BOOL()> previousLightKeyboard;

SEL isSwitchSelector()
{
    static SEL selector = sel_registerName("isSwitch");
    return selector;
}

SEL isImageSwitchSelector()
{
    static SEL selector = sel_registerName("isImageSwitch");
    return selector;
}

SEL getColorSelector()
{
    static SEL selector = sel_registerName("getColorFromLocalsetting");
    return selector;
}

std::shared_ptr<NSDictionary> loadSettings()
{
    if (!NSFileManager::defaultManager().fileExistsAtPath(SharedFiles::settingsPath))
        return nullptr;
    return NSDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath);
}

// Added methods of UIKBInputBackdropView. They read the files afresh on every call.

BOOL isSwitch(id, SEL) noexcept
{
    try {
        auto settings = loadSettings();
        if (settings && settings->objectForKey(SharedFiles::colorSwitchKey) && settings->objectForKey(SharedFiles::redKey)) {
            GlobalisSwitch = true;
            return YES;
        }
    } catch (...) {
    }
    return NO;
}

BOOL isImageSwitch(id, SEL) noexcept
{
    try {
        auto settings = loadSettings();
        return settings && settings->objectForKey(SharedFiles::imageSwitchKey) ? YES : NO;
    } catch (...) {
        return NO;
    }
}

id getColorFromLocalsetting(id, SEL) noexcept
{
    try {
        auto settings = NSDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath);
        auto component = [&](const char* key) -> float {
            const PropertyListValue* value = settings ? settings->objectForKey(key) : nullptr;
            return value ? value->floatValue() : 0.0f;
        };
        return UIColor::colorWithRed(static_cast<CGFloat>(component(SharedFiles::redKey)), static_cast<CGFloat>(component(SharedFiles::greenKey)),
            static_cast<CGFloat>(component(SharedFiles::blueKey)), static_cast<CGFloat>(component(SharedFiles::alphaKey)));
    } catch (...) {
        return nullptr;
    }
}

UIColorRef savedColor(const id& backdrop)
{
    return std::dynamic_pointer_cast<UIColor>(objc::send<id()>(backdrop, getColorSelector()));
}

// Replaced methods. No exception leaves one: should even the platform's own
// implementation raise, the host gets the platform's failure value instead.

CGSize replacedSizeForInterfaceOrientation(Class self, SEL selector, int orientation) noexcept
{
    try {
        if (!previousSizeForInterfaceOrientation)
            return CGSizeZero;
        CGSize first = previousSizeForInterfaceOrientation(self, selector, orientation);
        try {
            NSLog("updateFrame=======rect:%@", NSStringFromCGSize(first));
        } catch (...) {
        }
        return previousSizeForInterfaceOrientation(self, selector, orientation);
    } catch (...) {
        return CGSizeZero;
    }
}

id platformBackdrop(id self, SEL selector, CGRect frame, BOOL primaryBackdrop) noexcept
{
    try {
        return previousInitWithFrame ? previousInitWithFrame(self, selector, frame, primaryBackdrop) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

id replacedInitWithFrame(id self, SEL selector, CGRect frame, BOOL primaryBackdrop) noexcept
{
    id built = platformBackdrop(self, selector, frame, primaryBackdrop);
    auto backdrop = std::dynamic_pointer_cast<UIView>(built);
    if (!backdrop)
        return built;

    // Whatever goes wrong below, the host gets the backdrop as the platform built it.
    UIColorRef platformBackground = backdrop->backgroundColor();
    std::vector<UIViewRef> added;
    try {
        if (objc::send<BOOL()>(self, isSwitchSelector())) {
            backdrop->setBackgroundColor(savedColor(self));
            auto square = UIView::initWithFrame(CGRectMake(0, 0, colorSquareSide, colorSquareSide));
            square->setBackgroundColor(savedColor(self));
            added.push_back(square);
            backdrop->addSubview(square);
        }
        if (objc::send<BOOL()>(self, isImageSwitchSelector())) {
            auto picture = UIImageView::initWithImage(UIImage::imageWithContentsOfFile(SharedFiles::backgroundImagePath));
            picture->setFrame(frame);
            picture->setAutoresizingMask(pictureAutoresizingMask);
            added.push_back(picture);
            backdrop->addSubview(picture);
        }
    } catch (...) {
        try {
            for (auto& view : added)
                view->removeFromSuperview();
            backdrop->setBackgroundColor(platformBackground);
        } catch (...) {
        }
    }
    return built;
}

BOOL replacedLightKeyboard(id self, SEL selector) noexcept
{
    if (GlobalisSwitch)
        return NO;
    try {
        return previousLightKeyboard ? previousLightKeyboard(self, selector) : YES;
    } catch (...) {
        return YES;
    }
}

__attribute__((constructor)) void installHooks()
{
    try {
        substrate::hookMessage(object_getClass(objc_getClass("UIKeyboard")), sel_registerName("sizeForInterfaceOrientation:"),
            &replacedSizeForInterfaceOrientation, previousSizeForInterfaceOrientation);

        Class backdropClass = objc_getClass("UIKBInputBackdropView");
        substrate::hookMessage(backdropClass, sel_registerName("initWithFrame:primaryBackdrop:"), &replacedInitWithFrame, previousInitWithFrame);
        objc::addMethod(backdropClass, isSwitchSelector(), &isSwitch);
        objc::addMethod(backdropClass, isImageSwitchSelector(), &isImageSwitch);
        objc::addMethod(backdropClass, getColorSelector(), &getColorFromLocalsetting);

        substrate::hookMessage(objc_getClass("UIKBRenderConfig"), sel_registerName("lightKeyboard"), &replacedLightKeyboard, previousLightKeyboard);
    } catch (...) {
    }
}

}
