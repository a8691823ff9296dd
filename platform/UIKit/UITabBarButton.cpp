#include "UIKit/UITabBarButton.h"

#include "UIKit/UIGraphics.h"
#include "UIKit/UIKitLook.h"
#include "UIKit/UIStringDrawing.h"

namespace {

// The image's alpha filled with the colour, in rect of the current context.
void drawTemplate(const CGContextRef& context, const UIImageRef& image, CGRect rect, const UIColorRef& color)
{
    CGContextSaveGState(context);
    CGContextBeginTransparencyLayer(context);
    image->drawInRect(rect);
    CGContextSetBlendMode(context, kCGBlendModeSourceIn);
    CGContextSetFillColorWithColor(context, color->CGColor());
    CGContextFillRect(context, rect);
    CGContextEndTransparencyLayer(context);
    CGContextRestoreGState(context);
}

}

std::shared_ptr<UITabBarButton> UITabBarButton::initWithItem(const UITabBarItemRef& item)
{
    auto button = objc::alloc<UITabBarButton>();
    button->m_item = item;
    button->setOpaque(false);
    button->setContentMode(UIViewContentModeRedraw);
    button->setNeedsDisplay();
    return button;
}

void UITabBarButton::setSelected(bool selected)
{
    if (selected == isSelected())
        return;
    UIControl::setSelected(selected);
    setNeedsDisplay();
}

void UITabBarButton::setTintColor(UIColorRef color)
{
    m_tintColor = std::move(color);
    setNeedsDisplay();
}

void UITabBarButton::drawRect(CGRect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || !m_item)
        return;
    CGRect bounds = this->bounds();
    UIColorRef color = isSelected() ? (m_tintColor ? m_tintColor : UIKitLook::defaultTintColor()) : UIKitLook::disabledColor();
    UIImageRef image = isSelected() && m_item->selectedImage() ? m_item->selectedImage() : m_item->image();
    if (image) {
        // At its own size in points, centred in the image area, never larger than it.
        CGSize size = image->size();
        CGFloat side = UIKitLook::tabImageSide;
        CGFloat fit = std::min<CGFloat>({ 1, side / std::max<CGFloat>(size.width, 1), side / std::max<CGFloat>(size.height, 1) });
        size = CGSizeMake(size.width * fit, size.height * fit);
        CGRect area = CGRectMake((bounds.size.width - side) / 2, UIKitLook::tabImageTop, side, side);
        drawTemplate(context, image,
            CGRectMake(CGRectGetMidX(area) - size.width / 2, CGRectGetMidY(area) - size.height / 2, size.width, size.height), color);
    }
    auto font = UIFont::systemFontOfSize(UIKitLook::tabTitleFontSize);
    if (!font || m_item->title().empty())
        return;
    CGFloat lineHeight = font->lineHeight();
    CGContextSetFillColorWithColor(context, color->CGColor());
    UIStringDrawing::drawInRect(m_item->title(),
        CGRectMake(0, bounds.size.height - UIKitLook::tabTitleBottom - lineHeight, bounds.size.width, lineHeight), font,
        NSLineBreakByTruncatingTail, NSTextAlignmentCenter);
}
