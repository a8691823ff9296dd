#pragma once

#include "UIKit/PhotoLibrary.h"
#include "UIKit/UIControl.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UIScrollView.h"
#include "UIKit/UIScrollViewDelegate.h"
#include "UIKit/UIViewController.h"

#include <set>
#include <string>
#include <vector>

class UIImagePickerController;

// One cell of the picker's grid: a square centre crop of a photo, loaded when it comes on
// screen. A tap (touch up inside) picks the photo.
class UIImagePickerThumbnail : public UIControl {
    OBJC_CLASS(UIImagePickerThumbnail, UIControl)

    [[nodiscard]] size_t photoIndex() const { return m_photoIndex; }
    [[nodiscard]] const std::string& fileName() const { return m_fileName; }
    void setPhoto(size_t index, std::string fileName);
    [[nodiscard]] bool hasLoadedImage() const { return m_imageView->image() != nullptr; }
    void showImage(UIImageRef);

protected:
    void didAllocate() override;

private:
    std::shared_ptr<UIImageView> m_imageView;
    size_t m_photoIndex = 0;
    std::string m_fileName;
};

// The picker's album: the photos in a scrolling grid below the bar.
class UIImagePickerGridController : public UIViewController, public UIScrollViewDelegate {
    OBJC_CLASS(UIImagePickerGridController, UIViewController)

    [[nodiscard]] const std::vector<PhotoLibrary::Photo>& photos() const { return m_photos; }
    [[nodiscard]] const UIScrollViewRef& scrollView() const { return m_scrollView; }
    [[nodiscard]] const std::vector<std::shared_ptr<UIImagePickerThumbnail>>& thumbnails() const { return m_thumbnails; }
    void reloadPhotos();
    // Decodes the thumbnails of the cells now on screen that have none yet.
    void loadVisibleThumbnails();

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewWillLayoutSubviews() override;
    void scrollViewDidScroll(UIScrollView&) override;

    static constexpr CGFloat cellSide = 75;
    static constexpr CGFloat cellGap = 4;
    static constexpr size_t cellsPerRow = 4;

    // The actions of a thumbnail and of "Cancel".
    void thumbnailTapped(const std::shared_ptr<UIControl>&);
    void cancelTapped();

private:
    [[nodiscard]] CGRect cellFrame(size_t index) const;
    void layOutGrid();

    std::vector<PhotoLibrary::Photo> m_photos;
    UIScrollViewRef m_scrollView;
    std::vector<std::shared_ptr<UIImagePickerThumbnail>> m_thumbnails;
    std::set<std::string> m_undecodable;
    bool m_scrollsToNewest = false;
};
