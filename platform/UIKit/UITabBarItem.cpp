#include "UIKit/UITabBarItem.h"

UITabBarItemRef UITabBarItem::initWithTitle(std::string title, UIImageRef image, UIImageRef selectedImage)
{
    auto item = objc::alloc<UITabBarItem>();
    item->setTitle(std::move(title));
    item->setImage(std::move(image));
    item->setSelectedImage(std::move(selectedImage));
    return item;
}

void UITabBarItem::setSelectedImage(UIImageRef image)
{
    m_selectedImage = std::move(image);
    itemDidChange();
}
