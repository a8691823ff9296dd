#pragma once

#include "UIKit/UIFont.h"
#include "UIKit/UIStringDrawing.h"
#include "UIKit/UIView.h"

#include <memory>
#include <string>

class UILabel;
using UILabelRef = std::shared_ptr<UILabel>;

// Read-only text. Draws its text with the string drawing functions, in its text colour,
// over no background of its own, the lines centred vertically in the bounds as the
// platform's labels are. Every change of what is drawn asks for display; a change of
// size redraws (the content mode is redraw). Labels take no touches, so a label inside a
// control leaves them to the control.
class UILabel : public UIView {
    OBJC_CLASS(UILabel, UIView)
    [[nodiscard]] static UILabelRef initWithFrame(CGRect);

    // UTF-8.
    [[nodiscard]] const std::string& text() const { return m_text; }
    void setText(std::string);
    // Black unless set; nil sets black again.
    [[nodiscard]] const UIColorRef& textColor() const { return m_textColor; }
    void setTextColor(UIColorRef);
    // The 17-point system font unless set; nil sets that again.
    [[nodiscard]] const UIFontRef& font() const { return m_font; }
    void setFont(UIFontRef);
    [[nodiscard]] NSTextAlignment textAlignment() const { return m_textAlignment; }
    void setTextAlignment(NSTextAlignment);
    // 1 unless set; 0 draws as many lines as the bounds hold, and so does a negative count.
    [[nodiscard]] int numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int);
    [[nodiscard]] NSLineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(NSLineBreakMode);

    // The size of the text laid out within the width (none: a width that is not positive, or
    // a single-line label, which grows to its text as the platform's do) and the number of
    // lines, in whole points; zero for no text.
    [[nodiscard]] CGSize sizeThatFits(CGSize) const;
    // Keeps the origin and takes the size that fits the current width.
    void sizeToFit();

    // Where the text goes within bounds: as wide as the bounds, as high as the lines kept,
    // centred vertically and on the pixel grid.
    [[nodiscard]] CGRect textRectForBounds(CGRect bounds) const;

    void drawRect(CGRect) override;

protected:
    void didAllocate() override;

private:
    // How far the lines may reach down in bounds of the given height.
    [[nodiscard]] CGFloat heightLimit(CGFloat boundsHeight) const;
    // The width and height the text is laid out in, for bounds of this size.
    [[nodiscard]] CGSize layoutBox(CGSize bounds) const;

    std::string m_text;
    UIColorRef m_textColor;
    UIFontRef m_font;
    NSTextAlignment m_textAlignment = NSTextAlignmentLeft;
    NSLineBreakMode m_lineBreakMode = NSLineBreakByTruncatingTail;
    int m_numberOfLines = 1;
};
