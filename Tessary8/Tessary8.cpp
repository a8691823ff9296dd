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

// The boolean the two switch tests answer: the platform's own per processor.
#if defined(TESSARY8_CGFLOAT_IS_DOUBLE)
using SwitchAnswer = bool;
constexpr const char* switchTypes = "B@:";
#else
using SwitchAnswer = signed char;
constexpr const char* switchTypes = "c@:";
#endif
constexpr const char* colorTypes = "@@:";

using SizeImplementation = CGSize (*)(Class, SEL, int);
using InitImplementation = id (*)(id, SEL, CGRect, BOOL);
using LightKeyboardImplementation = BOOL (*)(id, SEL);

SizeImplementation previousSizeForInterfaceOrientation;
InitImplementation previousInitWithFrame;
LightKeyboardImplementation previousLightKeyboard;

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

SwitchAnswer isSwitch(id, SEL) noexcept
{
    try {
        auto settings = loadSettings();
        if (settings && settings->objectForKey(SharedFiles::colorSwitchKey) && settings->objectForKey(SharedFiles::redKey)) {
            GlobalisSwitch = true;
            return 1;
        }
    } catch (...) {
    }
    return 0;
}

SwitchAnswer isImageSwitch(id, SEL) noexcept
{
    try {
        auto settings = loadSettings();
        return settings && settings->objectForKey(SharedFiles::imageSwitchKey) ? 1 : 0;
    } catch (...) {
        return 0;
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

// Replaced methods.

CGSize replacedSizeForInterfaceOrientation(Class self, SEL selector, int orientation)
{
    if (!previousSizeForInterfaceOrientation)
        return CGSizeZero;
    CGSize first = previousSizeForInterfaceOrientation(self, selector, orientation);
    try {
        NSLog("updateFrame=======rect:%@", NSStringFromCGSize(first));
    } catch (...) {
    }
    return previousSizeForInterfaceOrientation(self, selector, orientation);
}

id replacedInitWithFrame(id self, SEL selector, CGRect frame, BOOL primaryBackdrop)
{
    if (!previousInitWithFrame)
        return nullptr;
    id built = previousInitWithFrame(self, selector, frame, primaryBackdrop);
    auto backdrop = std::dynamic_pointer_cast<UIView>(built);
    if (!backdrop)
        return built;

    // Whatever goes wrong below, the host gets the backdrop as the platform built it.
    UIColorRef platformBackground = backdrop->backgroundColor();
    std::vector<UIViewRef> added;
    try {
        if (objc::send<SwitchAnswer()>(self, isSwitchSelector())) {
            backdrop->setBackgroundColor(savedColor(self));
            auto square = UIView::initWithFrame(CGRectMake(0, 0, colorSquareSide, colorSquareSide));
            square->setBackgroundColor(savedColor(self));
            backdrop->addSubview(square);
            added.push_back(square);
        }
        if (objc::send<SwitchAnswer()>(self, isImageSwitchSelector())) {
            auto picture = UIImageView::initWithImage(UIImage::imageWithContentsOfFile(SharedFiles::backgroundImagePath));
            picture->setFrame(frame);
            picture->setAutoresizingMask(pictureAutoresizingMask);
            backdrop->addSubview(picture);
            added.push_back(picture);
        }
    } catch (...) {
        for (auto& view : added)
            view->removeFromSuperview();
        backdrop->setBackgroundColor(platformBackground);
    }
    return built;
}

BOOL replacedLightKeyboard(id self, SEL selector)
{
    if (GlobalisSwitch)
        return NO;
    return previousLightKeyboard ? previousLightKeyboard(self, selector) : YES;
}

template<class Implementation>
void hook(Class cls, const char* selector, Implementation replacement, Implementation& previous)
{
    IMP old = nullptr;
    MSHookMessageEx(cls, sel_registerName(selector), reinterpret_cast<IMP>(replacement), &old);
    previous = reinterpret_cast<Implementation>(old);
}

__attribute__((constructor)) void installHooks()
{
    try {
        hook(object_getClass(objc_getClass("UIKeyboard")), "sizeForInterfaceOrientation:", &replacedSizeForInterfaceOrientation,
            previousSizeForInterfaceOrientation);

        Class backdropClass = objc_getClass("UIKBInputBackdropView");
        hook(backdropClass, "initWithFrame:primaryBackdrop:", &replacedInitWithFrame, previousInitWithFrame);
        class_addMethod(backdropClass, isSwitchSelector(), reinterpret_cast<IMP>(&isSwitch), switchTypes);
        class_addMethod(backdropClass, isImageSwitchSelector(), reinterpret_cast<IMP>(&isImageSwitch), switchTypes);
        class_addMethod(backdropClass, getColorSelector(), reinterpret_cast<IMP>(&getColorFromLocalsetting), colorTypes);

        hook(objc_getClass("UIKBRenderConfig"), "lightKeyboard", &replacedLightKeyboard, previousLightKeyboard);
    } catch (...) {
    }
}

}
