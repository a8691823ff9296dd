#include "UIKit/UIFont.h"

#include "UIKit/pango/PangoText.h"

#include <algorithm>
#include <cmath>

namespace {

UIFontRef makeFont(std::string description, CGFloat size)
{
    if (description.empty() || !std::isfinite(size) || !(size > 0))
        return nullptr;
    return objc::alloc<UIFont>(std::move(description), std::min(size, UIFont::maximumPointSize));
}

}

UIFontRef UIFont::systemFontOfSize(CGFloat size)
{
    return systemFontOfSizeWeight(size, UIFontWeightRegular);
}

UIFontRef UIFont::boldSystemFontOfSize(CGFloat size)
{
    return systemFontOfSizeWeight(size, UIFontWeightBold);
}

UIFontRef UIFont::systemFontOfSizeWeight(CGFloat size, UIFontWeight weight)
{
    return makeFont(PangoText::systemFontDescription(weight), size);
}

UIFontRef UIFont::fontWithName(std::string_view name, CGFloat size)
{
    return makeFont(PangoText::fontDescription(name), size);
}

UIFontRef UIFont::fontWithSize(CGFloat size) const
{
    return makeFont(m_description, size);
}

UIFont::UIFont(objc::AllocationKey key, std::string description, CGFloat pointSize)
    : NSObject(key)
    , m_description(std::move(description))
    , m_pointSize(pointSize)
{
    PangoText::Face face = PangoText::face(m_description, m_pointSize);
    m_fontName = std::move(face.fontName);
    m_familyName = std::move(face.familyName);
    m_ascender = face.ascender;
    m_descender = face.descender;
    m_lineHeight = face.lineHeight;
}
