#include "UIKit/UIImageView.h"

#include "UIKit/UIGraphics.h"

std::shared_ptr<UIImageView> UIImageView::initWithImage(UIImageRef image)
{
    auto view = objc::alloc<UIImageView>();
    // The platform sizes an image view to its image.
    if (image)
        view->setFrame(CGRectMake(0, 0, image->size().width, image->size().height));
    view->setImage(std::move(image));
    return view;
}

void UIImageView::setImage(UIImageRef image)
{
    m_image = std::move(image);
    setNeedsDisplay();
}

void UIImageView::drawRect(CGRect)
{
    if (m_image)
        m_image->drawInRect(contentRectForSize(m_image->size()));
}
