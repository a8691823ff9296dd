#include "UIKit/UINavigationButton.h"

#include "UIKit/UIGraphics.h"
#include "UIKit/UIKitLook.h"
#include "UIKit/UIStringDrawing.h"

#include <algorithm>

namespace {

UIFontRef titleFont()
{
    return UIFont::systemFontOfSize(UIKitLook::barButtonFontSize);
}

}

std::shared_ptr<UINavigationButton> UINavigationButton::initWithItem(const UIBarButtonItemRef& item)
{
    auto button = objc::alloc<UINavigationButton>();
    button->m_item = item;
    button->setOpaque(false);
    button->setContentMode(UIViewContentModeRedraw);
    button->addTarget(button, &UINavigationButton::tapped, UIControlEventTouchUpInside);
    button->setNeedsDisplay();
    return button;
}

const std::string& UINavigationButton::title() const
{
    static const std::string none;
    return m_item ? m_item->title() : none;
}

void UINavigationButton::setBarTintColor(UIColorRef color)
{
    m_barTintColor = std::move(color);
    setNeedsDisplay();
}

CGFloat UINavigationButton::preferredWidth() const
{
    return std::max(UIKitLook::barButtonMinimumWidth, UIStringDrawing::sizeWithFont(title(), titleFont()).width);
}

void UINavigationButton::setHighlighted(bool highlighted)
{
    if (highlighted == isHighlighted())
        return;
    UIControl::setHighlighted(highlighted);
    setNeedsDisplay();
}

UIColorRef UINavigationButton::titleColor() const
{
    if (m_item && !m_item->isEnabled())
        return UIKitLook::disabledColor();
    UIColorRef tint = m_item && m_item->tintColor() ? m_item->tintColor() : m_barTintColor ? m_barTintColor : UIKitLook::defaultTintColor();
    return isHighlighted() ? UIColor::colorWithCGColor(CGColorCreateCopyWithAlpha(tint->CGColor(), UIKitLook::highlightedTitleOpacity)) : tint;
}

void UINavigationButton::drawRect(CGRect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    auto font = titleFont();
    if (!context || !font)
        return;
    CGRect bounds = this->bounds();
    CGContextSetFillColorWithColor(context, titleColor()->CGColor());
    CGFloat lineHeight = font->lineHeight();
    UIStringDrawing::drawInRect(title(), CGRectMake(0, (bounds.size.height - lineHeight) / 2, bounds.size.width, lineHeight), font,
        NSLineBreakByTruncatingTail, NSTextAlignmentCenter);
}

void UINavigationButton::tapped(const std::shared_ptr<UIControl>&)
{
    if (m_item)
        m_item->sendAction();
}
