#pragma once

#include "UIKit/UIImagePickerController.h"
#include "UIKit/UIViewController.h"
#include "app/image/ImageCropperView.h"

#include <optional>
#include <string>

// The "Use Image" tab: choose a picture from the photo library, frame it in the crop frame,
// "Save" the framed part as the Background image file, and "TurnOn"/"TurnOff" the picture
// switch. Before anything is chosen the crop frame shows the demo picture.
class IMageSelecetViewController : public UIViewController, public UIImagePickerControllerDelegate {
    OBJC_CLASS(IMageSelecetViewController, UIViewController)

    UIViewControllerRef initWithNibName(std::string_view nibName, NSBundle* bundle) override;
    void viewDidLoad() override;

    void imageCroperViewStep();
    void initImagePicker();
    void imagePickerControllerDidFinishPickingMediaWithInfo(UIImagePickerController&, const UIImagePickerInfo&) override;
    void imagePickerControllerDidCancel(UIImagePickerController&) override;
    void saveSelecetColor();
    // The alert after a save, saying whether it stored the picture.
    void saveSuccess(const std::optional<std::string>& failure);
    void switchChange();
    [[nodiscard]] bool isSwitch() const;
    // The picture redrawn upright with scale 1, the picture itself when it is upright already,
    // nil when it cannot be redrawn.
    [[nodiscard]] static UIImageRef fixOrientation(const UIImageRef&);

    [[nodiscard]] const UIImagePickerControllerRef& picker_library_() const { return m_pickerLibrary; }
    void setPicker_library_(UIImagePickerControllerRef picker) { m_pickerLibrary = std::move(picker); }
    [[nodiscard]] const std::shared_ptr<ImageCropperView>& imageCropperView() const { return m_imageCropperView; }
    void setImageCropperView(std::shared_ptr<ImageCropperView> cropper) { m_imageCropperView = std::move(cropper); }

private:
    UIImagePickerControllerRef m_pickerLibrary;
    std::shared_ptr<ImageCropperView> m_imageCropperView;
};
