#pragma once

#include "UIKit/PhotoLibrary.h"
#include "UIKit/UINavigationController.h"

#include <map>
#include <string>

class UIImagePickerController;
using UIImagePickerControllerRef = std::shared_ptr<UIImagePickerController>;

enum UIImagePickerControllerSourceType : int {
    UIImagePickerControllerSourceTypePhotoLibrary = 0,
    UIImagePickerControllerSourceTypeCamera = 1,
    UIImagePickerControllerSourceTypeSavedPhotosAlbum = 2,
};

// The key of the picked picture, unedited, with its orientation flag and its pixels as stored.
inline constexpr const char* UIImagePickerControllerOriginalImage = "UIImagePickerControllerOriginalImage";
using UIImagePickerInfo = std::map<std::string, UIImageRef, std::less<>>;

class UIImagePickerControllerDelegate {
public:
    virtual ~UIImagePickerControllerDelegate() = default;
    virtual void imagePickerControllerDidFinishPickingMediaWithInfo(UIImagePickerController&, const UIImagePickerInfo&) { }
    // Without an answer here the picker dismisses itself, as the platform's does.
    virtual void imagePickerControllerDidCancel(UIImagePickerController&);
};

// The system's photo picker over the photo library: presented modally, a navigation
// controller whose bar reads "Camera Roll" with "Cancel", over a grid of square
// thumbnails, four to a row, oldest at the top and scrolled to the newest at the bottom
// when it opens. Thumbnails are centre crops drawn upright, decoded at reduced size and
// only for the cells on screen; files that do not decode stay out of the grid. A tap on a
// thumbnail gives the delegate (not owned) the whole picture; "Cancel" tells it so.
class UIImagePickerController : public UINavigationController {
    OBJC_CLASS(UIImagePickerController, UINavigationController)
    [[nodiscard]] static UIImagePickerControllerRef imagePicker();

    [[nodiscard]] UIImagePickerControllerSourceType sourceType() const { return m_sourceType; }
    // Only the photo library (and its saved photos album) is available on this device.
    void setSourceType(UIImagePickerControllerSourceType);
    [[nodiscard]] static bool isSourceTypeAvailable(UIImagePickerControllerSourceType);
    [[nodiscard]] std::shared_ptr<UIImagePickerControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<UIImagePickerControllerDelegate> delegate) { m_delegate = std::move(delegate); }

    // The grid's photos now, and picking one of them (what a tap on its thumbnail does).
    [[nodiscard]] const std::vector<PhotoLibrary::Photo>& photos() const;
    void pickPhotoAtIndex(size_t);
    void cancel();
    // Reads the library again (after photos were added).
    void reloadPhotos();

    static constexpr const char* albumTitle = "Camera Roll";

protected:
    void didAllocate() override;

private:
    UIImagePickerControllerSourceType m_sourceType = UIImagePickerControllerSourceTypePhotoLibrary;
    std::weak_ptr<UIImagePickerControllerDelegate> m_delegate;
};
