#include "UIKit/UINavigationBar.h"

#include "UIKit/UIGraphics.h"
#include "UIKit/UIKitLook.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UIStringDrawing.h"

#include <algorithm>

namespace {

UIFontRef titleFont()
{
    return UIFont::systemFontOfSizeWeight(UIKitLook::navigationTitleFontSize, UIFontWeightSemibold);
}

}

void UINavigationBar::didAllocate()
{
    super::didAllocate();
    setOpaque(false);
    setContentMode(UIViewContentModeRedraw);
    m_statusBarBackdrop = UIView::initWithFrame(CGRectZero);
    m_statusBarBackdrop->setUserInteractionEnabled(false);
    m_statusBarBackdrop->setHidden(true);
    addSubview(m_statusBarBackdrop);
    m_hairline = UIView::initWithFrame(CGRectZero);
    m_hairline->setUserInteractionEnabled(false);
    m_hairline->setBackgroundColor(UIKitLook::hairlineColor());
    addSubview(m_hairline);
    updateColors();
}

void UINavigationBar::setBarTintColor(UIColorRef color)
{
    m_barTintColor = std::move(color);
    updateColors();
}

void UINavigationBar::setTranslucent(bool translucent)
{
    m_translucent = translucent;
    updateColors();
}

void UINavigationBar::setTintColor(UIColorRef color)
{
    m_tintColor = std::move(color);
    for (auto& button : { m_leftButton, m_rightButton }) {
        if (button)
            button->setBarTintColor(m_tintColor);
    }
}

void UINavigationBar::setExtendsBehindStatusBar(bool extends)
{
    m_extendsBehindStatusBar = extends;
    m_statusBarBackdrop->setHidden(!extends);
    setNeedsLayout();
}

void UINavigationBar::updateColors()
{
    UIColorRef color = m_barTintColor ? m_barTintColor : UIKitLook::defaultBarColor();
    if (m_translucent) {
        CGFloat opacity = m_barTintColor ? UIKitLook::tintedBarOpacity : UIKitLook::untintedBarOpacity;
        color = UIColor::colorWithCGColor(CGColorCreateCopyWithAlpha(color->CGColor(), opacity * CGColorGetAlpha(color->CGColor())));
    }
    setBackgroundColor(color);
    m_statusBarBackdrop->setBackgroundColor(color);
}

void UINavigationBar::setItems(std::vector<UINavigationItemRef> items)
{
    for (auto& item : m_items)
        item->setShownIn({});
    m_items = std::move(items);
    if (auto top = topItem())
        top->setShownIn(std::static_pointer_cast<UIView>(shared_from_this()));
    setNeedsLayout();
    setNeedsDisplay();
}

void UINavigationBar::showButton(std::shared_ptr<UINavigationButton>& button, const UIBarButtonItemRef& item)
{
    if (button && button->item() == item)
        return;
    if (button)
        button->removeFromSuperview();
    button = item ? UINavigationButton::initWithItem(item) : nullptr;
    if (button) {
        button->setBarTintColor(m_tintColor);
        addSubview(button);
    }
}

void UINavigationBar::layoutSubviews()
{
    CGRect bounds = this->bounds();
    m_statusBarBackdrop->setFrame(CGRectMake(0, -UIScreen::statusBarHeight, bounds.size.width, UIScreen::statusBarHeight));
    m_hairline->setFrame(CGRectMake(0, bounds.size.height, bounds.size.width, UIKitLook::hairlineWidth));
    auto top = topItem();
    showButton(m_leftButton, top ? top->leftBarButtonItem() : nullptr);
    showButton(m_rightButton, top ? top->rightBarButtonItem() : nullptr);
    // The touch area reaches the screen edge; the title starts the margin in.
    CGFloat margin = UIKitLook::barButtonEdgeMargin;
    if (m_leftButton) {
        m_leftButton->setFrame(CGRectMake(0, 0, m_leftButton->preferredWidth() + 2 * margin, bounds.size.height));
        m_leftButton->setNeedsDisplay();
    }
    if (m_rightButton) {
        CGFloat width = m_rightButton->preferredWidth() + 2 * margin;
        m_rightButton->setFrame(CGRectMake(bounds.size.width - width, 0, width, bounds.size.height));
        m_rightButton->setNeedsDisplay();
    }
    setNeedsDisplay();
}

CGRect UINavigationBar::titleRect() const
{
    CGRect bounds = this->bounds();
    // Centred on the bar, as wide as the space the wider button leaves on both sides.
    CGFloat leftEnd = m_leftButton ? CGRectGetMaxX(m_leftButton->frame()) : 0;
    CGFloat rightStart = m_rightButton ? CGRectGetMinX(m_rightButton->frame()) : bounds.size.width;
    CGFloat inset = std::max(leftEnd, bounds.size.width - rightStart);
    auto font = titleFont();
    CGFloat lineHeight = font ? font->lineHeight() : 0;
    return CGRectMake(inset, (bounds.size.height - lineHeight) / 2, std::max<CGFloat>(0, bounds.size.width - 2 * inset), lineHeight);
}

void UINavigationBar::drawRect(CGRect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    auto top = topItem();
    if (!context || !top || top->title().empty())
        return;
    CGContextSetFillColorWithColor(context, UIColor::blackColor()->CGColor());
    UIStringDrawing::drawInRect(top->title(), titleRect(), titleFont(), NSLineBreakByTruncatingTail, NSTextAlignmentCenter);
}
