#include "CoreGraphics/CGColorSpace.h"

CGColorSpaceRef CGColorSpaceCreateDeviceGray()
{
    static const auto space = std::make_shared<const CGColorSpace>(kCGColorSpaceModelMonochrome, 1);
    return space;
}

CGColorSpaceRef CGColorSpaceCreateDeviceRGB()
{
    static const auto space = std::make_shared<const CGColorSpace>(kCGColorSpaceModelRGB, 3);
    return space;
}

CGColorSpaceRef CGColorSpaceCreateDeviceCMYK()
{
    static const auto space = std::make_shared<const CGColorSpace>(kCGColorSpaceModelCMYK, 4);
    return space;
}

CGColorSpaceRef CGColorSpaceCreateLab()
{
    static const auto space = std::make_shared<const CGColorSpace>(kCGColorSpaceModelLab, 3);
    return space;
}

CGColorSpaceRef CGColorSpaceCreateDeviceN(size_t numberOfComponents)
{
    return std::make_shared<const CGColorSpace>(kCGColorSpaceModelDeviceN, numberOfComponents);
}

CGColorSpaceRef CGColorSpaceCreateIndexed(CGColorSpaceRef base)
{
    return std::make_shared<const CGColorSpace>(kCGColorSpaceModelIndexed, 1, std::move(base));
}

CGColorSpaceRef CGColorSpaceCreatePattern(CGColorSpaceRef base)
{
    return std::make_shared<const CGColorSpace>(kCGColorSpaceModelPattern, base ? base->numberOfComponents() : 0, std::move(base));
}

CGColorSpaceModel CGColorSpaceGetModel(const CGColorSpaceRef& space)
{
    return space ? space->model() : kCGColorSpaceModelUnknown;
}

size_t CGColorSpaceGetNumberOfComponents(const CGColorSpaceRef& space)
{
    return space ? space->numberOfComponents() : 0;
}

const char* CGColorSpaceModelName(CGColorSpaceModel model)
{
    switch (model) {
    case kCGColorSpaceModelMonochrome: return "Monochrome";
    case kCGColorSpaceModelRGB: return "RGB";
    case kCGColorSpaceModelCMYK: return "CMYK";
    case kCGColorSpaceModelLab: return "Lab";
    case kCGColorSpaceModelDeviceN: return "DeviceN";
    case kCGColorSpaceModelIndexed: return "Indexed";
    case kCGColorSpaceModelPattern: return "Pattern";
    case kCGColorSpaceModelUnknown: break;
    }
    return "Unknown";
}
