#pragma once

#include <memory>
#include <string>

enum CGColorSpaceModel : int {
    kCGColorSpaceModelUnknown = -1,
    kCGColorSpaceModelMonochrome = 0,
    kCGColorSpaceModelRGB = 1,
    kCGColorSpaceModelCMYK = 2,
    kCGColorSpaceModelLab = 3,
    kCGColorSpaceModelDeviceN = 4,
    kCGColorSpaceModelIndexed = 5,
    kCGColorSpaceModelPattern = 6,
};

class CGColorSpace;
using CGColorSpaceRef = std::shared_ptr<const CGColorSpace>;

class CGColorSpace {
public:
    CGColorSpace(CGColorSpaceModel model, size_t numberOfComponents, CGColorSpaceRef base = nullptr)
        : m_model(model)
        , m_numberOfComponents(numberOfComponents)
        , m_base(std::move(base))
    {
    }

    [[nodiscard]] CGColorSpaceModel model() const { return m_model; }
    // Colour components, without alpha.
    [[nodiscard]] size_t numberOfComponents() const { return m_numberOfComponents; }
    [[nodiscard]] const CGColorSpaceRef& baseSpace() const { return m_base; }

private:
    CGColorSpaceModel m_model;
    size_t m_numberOfComponents;
    CGColorSpaceRef m_base;
};

[[nodiscard]] CGColorSpaceRef CGColorSpaceCreateDeviceGray();
[[nodiscard]] CGColorSpaceRef CGColorSpaceCreateDeviceRGB();
[[nodiscard]] CGColorSpaceRef CGColorSpaceCreateDeviceCMYK();
[[nodiscard]] CGColorSpaceRef CGColorSpaceCreateLab();
[[nodiscard]] CGColorSpaceRef CGColorSpaceCreateDeviceN(size_t numberOfComponents);
[[nodiscard]] CGColorSpaceRef CGColorSpaceCreateIndexed(CGColorSpaceRef base);
[[nodiscard]] CGColorSpaceRef CGColorSpaceCreatePattern(CGColorSpaceRef base);  // base may be nil: a coloured pattern
[[nodiscard]] CGColorSpaceModel CGColorSpaceGetModel(const CGColorSpaceRef&);
[[nodiscard]] size_t CGColorSpaceGetNumberOfComponents(const CGColorSpaceRef&);
[[nodiscard]] const char* CGColorSpaceModelName(CGColorSpaceModel);  // "RGB", "Monochrome", ...
