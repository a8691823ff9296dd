#include "UIKit/UIDevice.h"

#include "objc/message.h"

namespace {

int platformUserInterfaceIdiom(id self, SEL)
{
    auto* device = dynamic_cast<UIDevice*>(self.get());
    return device ? device->storedUserInterfaceIdiom() : UIUserInterfaceIdiomPhone;
}

}

void UIDevice::addRuntimeMethods(Class cls)
{
    objc::addMethod(cls, sel_registerName("userInterfaceIdiom"), &platformUserInterfaceIdiom);
}

const std::shared_ptr<UIDevice>& UIDevice::currentDevice()
{
    static const std::shared_ptr<UIDevice> device = objc::alloc<UIDevice>();
    return device;
}

UIUserInterfaceIdiom UIDevice::userInterfaceIdiom() const
{
    static SEL selector = sel_registerName("userInterfaceIdiom");
    id self = std::const_pointer_cast<objc_object>(shared_from_this());
    return static_cast<UIUserInterfaceIdiom>(objc::send<int()>(self, selector));
}
