#pragma once

#include "CoreGraphics/CGBase.h"
#include "objc/NSObject.h"

#include <memory>
#include <string>
#include <string_view>

// Weights on the CSS scale, which Pango and fontconfig use.
enum UIFontWeight : int {
    UIFontWeightLight = 300,
    UIFontWeightRegular = 400,
    UIFontWeightMedium = 500,
    UIFontWeightSemibold = 600,
    UIFontWeightBold = 700,
};

class UIFont;
using UIFontRef = std::shared_ptr<UIFont>;

// A face at a size. The system font is the face Pango picks for "sans" (DejaVu Sans on
// Debian); a weight the machine has no face for gets the nearest one it has. Measures
// come from Pango.
class UIFont : public NSObject {
    OBJC_CLASS(UIFont, NSObject)

    // Larger sizes are taken as this one.
    static constexpr CGFloat maximumPointSize = 1024;

    // Each answers nil for a size that is not a positive finite number.
    [[nodiscard]] static UIFontRef systemFontOfSize(CGFloat size);
    [[nodiscard]] static UIFontRef boldSystemFontOfSize(CGFloat size);
    // Medium and semibold are what bar titles use.
    [[nodiscard]] static UIFontRef systemFontOfSizeWeight(CGFloat size, UIFontWeight);
    // A family with optional style words, as fontName() answers them ("DejaVu Sans Bold").
    // Characters the family lacks, or a family the machine lacks, fall back to other
    // faces as fontconfig chooses. nil for a name without a family or a bad size.
    [[nodiscard]] static UIFontRef fontWithName(std::string_view name, CGFloat size);
    [[nodiscard]] UIFontRef fontWithSize(CGFloat size) const;

    // For objc::alloc: the factories check the name and size first. The description is
    // Pango's, without a size ("sans Semi-Bold").
    UIFont(objc::AllocationKey, std::string description, CGFloat pointSize);

    [[nodiscard]] CGFloat pointSize() const { return m_pointSize; }
    // The face that is drawn, as a Pango font description without a size ("DejaVu Sans Bold").
    [[nodiscard]] const std::string& fontName() const { return m_fontName; }
    [[nodiscard]] const std::string& familyName() const { return m_familyName; }
    // Above the baseline; the descender is below it, so negative.
    [[nodiscard]] CGFloat ascender() const { return m_ascender; }
    [[nodiscard]] CGFloat descender() const { return m_descender; }
    // The height of one line of text, which is what the string drawing advances by.
    [[nodiscard]] CGFloat lineHeight() const { return m_lineHeight; }

    // What Pango is asked for.
    [[nodiscard]] const std::string& description() const { return m_description; }

private:
    std::string m_description;
    CGFloat m_pointSize;
    std::string m_fontName;
    std::string m_familyName;
    CGFloat m_ascender = 0;
    CGFloat m_descender = 0;
    CGFloat m_lineHeight = 0;
};
