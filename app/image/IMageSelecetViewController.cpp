#include "app/image/IMageSelecetViewController.h"

#include "app/TabBarButtons.h"

#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"
#include "QuartzCore/CAGradientLayer.h"
#include "UIKit/UIButton.h"
#include "UIKit/UINavigationController.h"
#include "shared/SharedFiles.h"

namespace {

constexpr CGFloat cropFrameHeight = 270;
// The angles of the orientation fix: the floats nearest to π and π/2.
constexpr float pi = 3.14159274f;
constexpr float halfPi = 1.57079637f;

bool sidesSwap(UIImageOrientation orientation)
{
    return orientation == UIImageOrientationLeft || orientation == UIImageOrientationRight || orientation == UIImageOrientationLeftMirrored
        || orientation == UIImageOrientationRightMirrored;
}

}

UIViewControllerRef IMageSelecetViewController::initWithNibName(std::string_view nibName, NSBundle* bundle)
{
    auto self = super::initWithNibName(nibName, bundle);
    if (self)
        self->setTitle("Tessary 8");
    return self;
}

void IMageSelecetViewController::viewDidLoad()
{
    super::viewDidLoad();
    auto self = std::static_pointer_cast<IMageSelecetViewController>(shared_from_this());
    const UIViewRef& root = view();

    auto background = CAGradientLayer::layer();
    background->setColors({ UIColor::colorWithRed(29.0f / 255, 98.0f / 255, 240.0f / 255, 1)->CGColor(),
        UIColor::colorWithRed(0, 140.0f / 255, 1, 1)->CGColor() });
    background->setFrame(root->bounds());
    root->layer()->insertSublayer(background, 0);

    if (auto navigation = navigationController()) {
        navigation->setTitle("Use Image");
        navigation->navigationBar()->setTintColor(UIColor::colorWithRed(0, 140.0f / 255, 1, 1));
    }
    auto save = UIBarButtonItem::initWithTitle("Save", UIBarButtonItemStylePlain, self, &IMageSelecetViewController::saveSelecetColor);
    save->setTintColor(TabBarButtons::red());
    navigationItem()->setRightBarButtonItem(save);
    auto pictureSwitch = UIBarButtonItem::initWithTitle(TabBarButtons::turnOnTitle, UIBarButtonItemStylePlain, self, &IMageSelecetViewController::switchChange);
    pictureSwitch->setTintColor(TabBarButtons::red());
    navigationItem()->setLeftBarButtonItem(pictureSwitch);

    imageCroperViewStep();

    auto choose = UIButton::buttonWithType(UIButtonTypeCustom);
    choose->setFrame(CGRectMake(85, 50, 150, 100));
    choose->setTitle("ChoosePicture", UIControlStateNormal);
    choose->setTitleColor(TabBarButtons::red(), UIControlStateNormal);
    choose->addTarget(self, &IMageSelecetViewController::initImagePicker, UIControlEventTouchUpInside);
    root->addSubview(choose);

    save->setEnabled(true);
    TabBarButtons::showSwitchState(*pictureSwitch, SharedFiles::imageSwitchKey);

    m_imageCropperView->setImage(fixOrientation(UIImage::imageNamed("DemoPNG.jpg")));
}

void IMageSelecetViewController::imageCroperViewStep()
{
    if (m_imageCropperView) {
        m_imageCropperView->removeFromSuperview();
        m_imageCropperView.reset();
    }
    CGFloat width = view()->bounds().size.width;
    setImageCropperView(ImageCropperView::initWithFrame(CGRectMake(0, 130, width, cropFrameHeight)));
    m_imageCropperView->layer()->setBorderWidth(1.0f);
    m_imageCropperView->layer()->setBorderColor(UIColor::colorWithRed(0, 1, 0, 1)->CGColor());
    // A second picture view under the real one: a gesture begun anywhere in the frame acts on the picture.
    m_imageCropperView->setup();
    view()->addSubview(m_imageCropperView);
}

void IMageSelecetViewController::initImagePicker()
{
    setPicker_library_(UIImagePickerController::imagePicker());
    m_pickerLibrary->setSourceType(UIImagePickerControllerSourceTypePhotoLibrary);
    m_pickerLibrary->setDelegate(std::static_pointer_cast<IMageSelecetViewController>(shared_from_this()));
    presentViewController(m_pickerLibrary, true);
}

void IMageSelecetViewController::imagePickerControllerDidFinishPickingMediaWithInfo(UIImagePickerController& picker, const UIImagePickerInfo& info)
{
    if (const auto& save = navigationItem()->rightBarButtonItem())
        save->setEnabled(true);
    auto found = info.find(UIImagePickerControllerOriginalImage);
    UIImageRef chosen = found != info.end() ? found->second : nullptr;
    m_imageCropperView->reset();
    // The completion keeps the controller and the picture until it has run.
    auto self = std::static_pointer_cast<IMageSelecetViewController>(shared_from_this());
    picker.dismissViewControllerAnimated(true, [self, chosen] { self->m_imageCropperView->setImage(fixOrientation(chosen)); });
}

void IMageSelecetViewController::imagePickerControllerDidCancel(UIImagePickerController& picker)
{
    picker.dismissViewControllerAnimated(true, [] { });
}

void IMageSelecetViewController::saveSelecetColor()
{
    m_imageCropperView->finishCropping();
    auto png = UIImagePNGRepresentation(m_imageCropperView->croppedImage());
    std::string path = stringWithFormat("%@/backimage.png", std::string(SharedFiles::backgroundImageFolder));
    // No picture cut out, nothing written: the old file stays rather than an empty one.
    std::optional<std::string> failure;
    if (png.empty())
        failure = "No picture could be cut out of the frame, so nothing was written.";
    else if (!NSData(std::move(png)).writeToFile(path, true))
        failure = stringWithFormat("The picture could not be written to %@; the picture saved before, if any, stays.", path);
    saveSuccess(failure);
}

void IMageSelecetViewController::saveSuccess(const std::optional<std::string>& failure)
{
    TabBarButtons::showSaveResult(failure);
}

void IMageSelecetViewController::switchChange()
{
    if (const auto& button = navigationItem()->leftBarButtonItem())
        TabBarButtons::flipSwitch(*button, SharedFiles::imageSwitchKey);
}

bool IMageSelecetViewController::isSwitch() const
{
    return TabBarButtons::isSwitchOn(SharedFiles::imageSwitchKey);
}

UIImageRef IMageSelecetViewController::fixOrientation(const UIImageRef& image)
{
    if (!image || image->imageOrientation() == UIImageOrientationUp)
        return image;
    UIImageOrientation orientation = image->imageOrientation();
    CGSize size = image->size();
    CGAffineTransform transform = CGAffineTransformIdentity;
    switch (orientation) {
    case UIImageOrientationDown:
    case UIImageOrientationDownMirrored:
        transform = CGAffineTransformTranslate(transform, size.width, size.height);
        transform = CGAffineTransformRotate(transform, pi);
        break;
    case UIImageOrientationLeft:
    case UIImageOrientationLeftMirrored:
        transform = CGAffineTransformTranslate(transform, size.width, 0);
        transform = CGAffineTransformRotate(transform, halfPi);
        break;
    case UIImageOrientationRight:
    case UIImageOrientationRightMirrored:
        transform = CGAffineTransformTranslate(transform, 0, size.height);
        transform = CGAffineTransformRotate(transform, -halfPi);
        break;
    default:
        break;
    }
    switch (orientation) {
    case UIImageOrientationUpMirrored:
    case UIImageOrientationDownMirrored:
        transform = CGAffineTransformTranslate(transform, size.width, 0);
        transform = CGAffineTransformScale(transform, -1, 1);
        break;
    case UIImageOrientationLeftMirrored:
    case UIImageOrientationRightMirrored:
        transform = CGAffineTransformTranslate(transform, size.height, 0);
        transform = CGAffineTransformScale(transform, -1, 1);
        break;
    default:
        break;
    }
    const CGImageRef& bitmap = image->CGImage();
    // Sizes past what a context can have, or not numbers at all, give no picture.
    if (!(size.width >= 1 && size.height >= 1 && size.width <= 32767 && size.height <= 32767))
        return nullptr;
    auto context = CGBitmapContextCreate(nullptr, static_cast<size_t>(size.width), static_cast<size_t>(size.height), CGImageGetBitsPerComponent(bitmap),
        0, CGImageGetColorSpace(bitmap), CGImageGetBitmapInfo(bitmap));
    if (!context)
        return nullptr;
    CGContextConcatCTM(context, transform);
    CGRect drawn = sidesSwap(orientation) ? CGRectMake(0, 0, size.height, size.width) : CGRectMake(0, 0, size.width, size.height);
    CGContextDrawImage(context, drawn, bitmap);
    CGImageRef upright = CGBitmapContextCreateImage(context);
    return upright ? UIImage::imageWithCGImage(upright, 1, UIImageOrientationUp) : nullptr;
}
