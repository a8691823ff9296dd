#include "UIKit/UIImagePickerController.h"

#include "UIKit/UIImagePickerGridController.h"

void UIImagePickerControllerDelegate::imagePickerControllerDidCancel(UIImagePickerController& picker)
{
    picker.dismissViewControllerAnimated(true);
}

UIImagePickerControllerRef UIImagePickerController::imagePicker()
{
    return objc::alloc<UIImagePickerController>();
}

void UIImagePickerController::didAllocate()
{
    super::didAllocate();
    auto grid = objc::alloc<UIImagePickerGridController>();
    grid->setTitle(albumTitle);
    grid->navigationItem()->setRightBarButtonItem(
        UIBarButtonItem::initWithTitle("Cancel", UIBarButtonItemStylePlain, grid, &UIImagePickerGridController::cancelTapped));
    pushViewController(grid, false);
}

void UIImagePickerController::setSourceType(UIImagePickerControllerSourceType type)
{
    if (isSourceTypeAvailable(type))
        m_sourceType = type;
}

bool UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType type)
{
    return type == UIImagePickerControllerSourceTypePhotoLibrary || type == UIImagePickerControllerSourceTypeSavedPhotosAlbum;
}

const std::vector<PhotoLibrary::Photo>& UIImagePickerController::photos() const
{
    return std::static_pointer_cast<UIImagePickerGridController>(viewControllers().front())->photos();
}

void UIImagePickerController::reloadPhotos()
{
    std::static_pointer_cast<UIImagePickerGridController>(viewControllers().front())->reloadPhotos();
}

void UIImagePickerController::pickPhotoAtIndex(size_t index)
{
    if (index >= photos().size())
        return;
    // The delegate may dismiss and drop the picker: keep it for the round.
    auto protectedThis = std::static_pointer_cast<UIImagePickerController>(shared_from_this());
    UIImageRef image = PhotoLibrary::imageOfPhoto(photos()[index]);
    if (!image) {
        // The file changed or broke since it was listed: it leaves the grid.
        reloadPhotos();
        return;
    }
    if (auto observer = delegate())
        observer->imagePickerControllerDidFinishPickingMediaWithInfo(*this, { { UIImagePickerControllerOriginalImage, image } });
}

void UIImagePickerController::cancel()
{
    auto protectedThis = std::static_pointer_cast<UIImagePickerController>(shared_from_this());
    if (auto observer = delegate())
        observer->imagePickerControllerDidCancel(*this);
    else
        dismissViewControllerAnimated(true);
}
