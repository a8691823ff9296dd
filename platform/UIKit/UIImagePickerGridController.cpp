#include "UIKit/UIImagePickerGridController.h"

#include "UIKit/UIImagePickerController.h"
#include "UIKit/UINavigationController.h"
#include "UIKit/UIScreen.h"

#include <algorithm>
#include <cmath>
#include <utility>

void UIImagePickerThumbnail::didAllocate()
{
    super::didAllocate();
    setClipsToBounds(true);
    setBackgroundColor(UIColor::colorWithWhite(0.9f, 1));
    m_imageView = objc::alloc<UIImageView>();
    m_imageView->setContentMode(UIViewContentModeScaleAspectFill);
    m_imageView->setUserInteractionEnabled(false);
    m_imageView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    addSubview(m_imageView);
}

void UIImagePickerThumbnail::setPhoto(size_t index, std::string fileName)
{
    m_photoIndex = index;
    m_fileName = std::move(fileName);
    m_imageView->setFrame(bounds());
}

void UIImagePickerThumbnail::showImage(UIImageRef image)
{
    m_imageView->setFrame(bounds());
    m_imageView->setImage(std::move(image));
}

void UIImagePickerGridController::loadView()
{
    loadContainerView();
    view()->setBackgroundColor(UIColor::whiteColor());
    m_scrollView = UIScrollView::initWithFrame(view()->bounds());
    m_scrollView->setDelegate(std::static_pointer_cast<UIImagePickerGridController>(shared_from_this()));
    view()->addSubview(m_scrollView);
}

void UIImagePickerGridController::viewWillAppear(bool)
{
    reloadPhotos();
}

CGRect UIImagePickerGridController::cellFrame(size_t index) const
{
    auto row = static_cast<CGFloat>(index / cellsPerRow);
    auto column = static_cast<CGFloat>(index % cellsPerRow);
    return CGRectMake(cellGap + column * (cellSide + cellGap), cellGap + row * (cellSide + cellGap), cellSide, cellSide);
}

void UIImagePickerGridController::reloadPhotos()
{
    (void)view();
    for (auto& thumbnail : m_thumbnails)
        thumbnail->removeFromSuperview();
    m_thumbnails.clear();
    m_photos = PhotoLibrary::photos();
    std::erase_if(m_photos, [this](const PhotoLibrary::Photo& photo) { return m_undecodable.contains(photo.devicePath); });
    auto self = std::static_pointer_cast<UIImagePickerGridController>(shared_from_this());
    for (size_t index = 0; index < m_photos.size(); ++index) {
        auto thumbnail = objc::alloc<UIImagePickerThumbnail>();
        thumbnail->setFrame(cellFrame(index));
        thumbnail->setPhoto(index, m_photos[index].fileName());
        thumbnail->addTarget(self, &UIImagePickerGridController::thumbnailTapped, UIControlEventTouchUpInside);
        m_scrollView->addSubview(thumbnail);
        m_thumbnails.push_back(thumbnail);
    }
    m_scrollsToNewest = true;
    layOutGrid();
}

void UIImagePickerGridController::viewWillLayoutSubviews()
{
    layOutGrid();
}

void UIImagePickerGridController::layOutGrid()
{
    // Below the bar, which the grid's view reaches under.
    CGRect bounds = view()->bounds();
    CGFloat top = 0;
    if (auto navigation = navigationController())
        top = CGRectGetMaxY(navigation->navigationBar()->frame());
    m_scrollView->setFrame(CGRectMake(bounds.origin.x, bounds.origin.y + top, bounds.size.width, std::max<CGFloat>(0, bounds.size.height - top)));
    size_t rows = (m_photos.size() + cellsPerRow - 1) / cellsPerRow;
    m_scrollView->setContentSize(CGSizeMake(bounds.size.width, cellGap + static_cast<CGFloat>(rows) * (cellSide + cellGap)));
    // The newest, at the bottom, in view when the grid is (re)filled.
    if (std::exchange(m_scrollsToNewest, false)) {
        CGFloat bottom = std::max<CGFloat>(0, m_scrollView->contentSize().height - m_scrollView->bounds().size.height);
        m_scrollView->setContentOffset(CGPointMake(0, bottom));
    }
    loadVisibleThumbnails();
}

void UIImagePickerGridController::loadVisibleThumbnails()
{
    if (!m_scrollView)
        return;
    CGRect visible = m_scrollView->bounds();
    auto side = static_cast<size_t>(std::ceil(cellSide * UIScreen::mainScreen()->scale()));
    bool anyFailed = false;
    for (auto& thumbnail : m_thumbnails) {
        if (thumbnail->hasLoadedImage() || !CGRectIntersectsRect(thumbnail->frame(), visible))
            continue;
        const auto& photo = m_photos[thumbnail->photoIndex()];
        auto image = PhotoLibrary::thumbnailOfPhoto(photo, side);
        if (!image) {
            m_undecodable.insert(photo.devicePath);
            anyFailed = true;
            continue;
        }
        thumbnail->showImage(std::move(image));
    }
    // A photo whose header read but whose pixels do not decode leaves the grid.
    if (anyFailed)
        reloadPhotos();
}

void UIImagePickerGridController::scrollViewDidScroll(UIScrollView&)
{
    loadVisibleThumbnails();
}

void UIImagePickerGridController::thumbnailTapped(const std::shared_ptr<UIControl>& sender)
{
    auto thumbnail = std::dynamic_pointer_cast<UIImagePickerThumbnail>(sender);
    if (auto picker = std::dynamic_pointer_cast<UIImagePickerController>(navigationController()); picker && thumbnail)
        picker->pickPhotoAtIndex(thumbnail->photoIndex());
}

void UIImagePickerGridController::cancelTapped()
{
    if (auto picker = std::dynamic_pointer_cast<UIImagePickerController>(navigationController()))
        picker->cancel();
}
