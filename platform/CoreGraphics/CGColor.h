#pragma once

#include "CoreGraphics/CGColorSpace.h"
#include "CoreGraphics/CGImage.h"

#include <array>
#include <memory>
#include <vector>

class CGColor;
using CGColorRef = std::shared_ptr<const CGColor>;

// A colour: its space's components followed by alpha. A pattern colour holds
// the image it tiles and only an alpha component.
class CGColor {
public:
    CGColor(CGColorSpaceRef space, std::vector<CGFloat> components, CGImageRef pattern = nullptr, CGFloat patternScale = 1)
        : m_space(std::move(space))
        , m_components(std::move(components))
        , m_pattern(std::move(pattern))
        , m_patternScale(patternScale > 0 ? patternScale : 1)
    {
    }

    [[nodiscard]] const CGColorSpaceRef& colorSpace() const { return m_space; }
    [[nodiscard]] const std::vector<CGFloat>& components() const { return m_components; }
    [[nodiscard]] CGFloat alpha() const { return m_components.empty() ? 1 : m_components.back(); }
    [[nodiscard]] const CGImageRef& patternImage() const { return m_pattern; }
    // Pattern image pixels per point: a picture made for a scale-2 screen tiles at half its pixel size.
    [[nodiscard]] CGFloat patternScale() const { return m_patternScale; }

    // The colour as device RGBA for drawing, each 0..1; a pattern colour gives its alpha over black.
    [[nodiscard]] std::array<double, 4> deviceRGBA() const;

private:
    CGColorSpaceRef m_space;
    std::vector<CGFloat> m_components;
    CGImageRef m_pattern;
    CGFloat m_patternScale;
};

// components holds the space's components and then alpha; nullptr if the count does not fit the space.
[[nodiscard]] CGColorRef CGColorCreate(const CGColorSpaceRef& space, const std::vector<CGFloat>& components);
[[nodiscard]] CGColorRef CGColorCreateWithPattern(const CGImageRef& image, CGFloat alpha, CGFloat pixelsPerPoint = 1);
[[nodiscard]] const CGFloat* CGColorGetComponents(const CGColorRef&);
[[nodiscard]] size_t CGColorGetNumberOfComponents(const CGColorRef&);
[[nodiscard]] CGFloat CGColorGetAlpha(const CGColorRef&);
[[nodiscard]] CGColorSpaceRef CGColorGetColorSpace(const CGColorRef&);
[[nodiscard]] CGColorRef CGColorCreateCopyWithAlpha(const CGColorRef&, CGFloat alpha);
[[nodiscard]] bool CGColorEqualToColor(const CGColorRef&, const CGColorRef&);
