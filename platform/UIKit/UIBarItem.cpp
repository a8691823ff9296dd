#include "UIKit/UIBarItem.h"

#include "UIKit/UIView.h"

void UIBarItem::setTitle(std::string title)
{
    m_title = std::move(title);
    itemDidChange();
}

void UIBarItem::setImage(UIImageRef image)
{
    m_image = std::move(image);
    itemDidChange();
}

void UIBarItem::setEnabled(bool enabled)
{
    m_enabled = enabled;
    itemDidChange();
}

void UIBarItem::itemDidChange()
{
    if (auto bar = m_shownIn.lock()) {
        bar->setNeedsLayout();
        bar->setNeedsDisplay();
    }
}
