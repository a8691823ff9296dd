#include "app/image/ImageCropperView.h"

#include "UIKit/UIPanGestureRecognizer.h"
#include "UIKit/UIPinchGestureRecognizer.h"
#include "UIKit/UIRotationGestureRecognizer.h"
#include "app/image/Rotation.h"

#include <cmath>

namespace {

// Shared by all croppers, as the gesture actions keep them.
float lastScale = 1.0f;
float lastTransX = 0;
float lastTransY = 0;
float lastRotation = 0;

// A size times the picture view's scale, narrowed to single precision.
CGFloat scaled(CGFloat length)
{
    return static_cast<float>(static_cast<float>(length) * ImageCropperView::imageViewScale);
}

bool isOdd(float length)
{
    return static_cast<long long>(length) % 2 == 1;
}

}

std::shared_ptr<ImageCropperView> ImageCropperView::initWithFrame(CGRect frame)
{
    auto cropper = objc::alloc<ImageCropperView>();
    cropper->setFrame(frame);
    cropper->setFrame(frame);
    cropper->setup();
    return cropper;
}

ImageCropperView::Bookkeeping ImageCropperView::bookkeeping()
{
    return { lastScale, lastTransX, lastTransY, lastRotation };
}

void ImageCropperView::setup()
{
    setClipsToBounds(true);
    setBackgroundColor(UIColor::clearColor());
    CGSize size = frame().size;
    auto pictureView = objc::alloc<UIImageView>();
    pictureView->setFrame(CGRectMake(0, 0, size.width, size.height));
    pictureView->setUserInteractionEnabled(true);
    setImageView(pictureView);
    addSubview(pictureView);

    auto self = std::static_pointer_cast<ImageCropperView>(shared_from_this());
    auto rotation = objc::alloc<UIRotationGestureRecognizer>();
    rotation->addTarget(self, &ImageCropperView::rotateImage);
    pictureView->addGestureRecognizer(rotation);
    auto pinch = objc::alloc<UIPinchGestureRecognizer>();
    pinch->addTarget(self, &ImageCropperView::scaleImage);
    pictureView->addGestureRecognizer(pinch);
    auto pan = objc::alloc<UIPanGestureRecognizer>();
    pan->addTarget(self, &ImageCropperView::moveImage);
    pan->setMinimumNumberOfTouches(1);
    pan->setMaximumNumberOfTouches(1);
    pictureView->addGestureRecognizer(pan);
}

void ImageCropperView::setImage(UIImageRef image)
{
    if (image != m_image)
        m_image = std::move(image);
    CGSize size = m_image ? m_image->size() : CGSizeZero;
    CGSize shown = CGSizeMake(scaled(size.width), scaled(size.height));
    m_imageView->setFrame(CGRectMake(0, 0, shown.width, shown.height));
    m_originalImageViewSize = shown;
    m_imageView->setImage(m_image);
    CGSize frameSize = frame().size;
    m_imageView->setCenter(CGPointMake(frameSize.width / 2, frameSize.height / 2));
}

void ImageCropperView::moveImage(const UIGestureRecognizerRef& recognizer)
{
    auto pan = std::dynamic_pointer_cast<UIPanGestureRecognizer>(recognizer);
    if (!pan)
        return;
    CGPoint translation = pan->translationInView(this);
    if (pan->state() == UIGestureRecognizerStateBegan) {
        lastTransX = 0;
        lastTransY = 0;
    }
    auto moved = CGAffineTransformMakeTranslation(static_cast<float>(translation.x) - lastTransX, static_cast<float>(translation.y) - lastTransY);
    m_imageView->setTransform(CGAffineTransformConcat(m_imageView->transform(), moved));
    lastTransX = static_cast<float>(translation.x);
    lastTransY = static_cast<float>(translation.y);
}

void ImageCropperView::scaleImage(const UIGestureRecognizerRef& recognizer)
{
    auto pinch = std::dynamic_pointer_cast<UIPinchGestureRecognizer>(recognizer);
    if (!pinch)
        return;
    if (pinch->state() == UIGestureRecognizerStateBegan) {
        lastScale = 1.0f;
        return;
    }
    float factor = static_cast<float>(pinch->scale()) / lastScale;
    m_imageView->setTransform(CGAffineTransformScale(m_imageView->transform(), factor, factor));
    lastScale = static_cast<float>(pinch->scale());
}

void ImageCropperView::rotateImage(const UIGestureRecognizerRef& recognizer)
{
    auto rotation = std::dynamic_pointer_cast<UIRotationGestureRecognizer>(recognizer);
    if (!rotation)
        return;
    if (rotation->state() == UIGestureRecognizerStateEnded) {
        lastRotation = 0;
        return;
    }
    float turn = -lastRotation + static_cast<float>(rotation->rotation());
    m_imageView->setTransform(CGAffineTransformRotate(m_imageView->transform(), turn));
    lastRotation = static_cast<float>(rotation->rotation());
}

void ImageCropperView::finishCropping()
{
    const CALayerRef& layer = m_imageView->layer();
    float scale = layer->valueForKeyPath("transform.scale.x").floatValue();
    float turn = layer->valueForKeyPath("transform.rotation.z").floatValue();
    CGSize pictureSize = m_image ? m_image->size() : CGSizeZero;
    float k = static_cast<float>(pictureSize.width) / static_cast<float>(m_originalImageViewSize.width);
    CGSize frameSize = frame().size;
    float w = static_cast<float>(frameSize.width) / scale;
    float h = static_cast<float>(frameSize.height) / scale;
    CGRect pictureFrame = m_imageView->frame();
    auto x = static_cast<float>((0.0 - static_cast<double>(static_cast<float>(pictureFrame.origin.x))) / static_cast<double>(scale));
    auto y = static_cast<float>((0.0 - static_cast<double>(static_cast<float>(pictureFrame.origin.y))) / static_cast<double>(scale));
    // No picture, or a picture pinched to nothing, leaves nothing to cut out.
    if (!std::isfinite(k) || !std::isfinite(w) || !std::isfinite(h) || !std::isfinite(x) || !std::isfinite(y)) {
        setCroppedImage(nullptr);
        return;
    }
    if (isOdd(w))
        w = std::ceil(w);
    if (isOdd(h))
        h = std::ceil(h);
    CGRect crop = CGRectMake(std::trunc(x * k), std::trunc(y * k), std::trunc(w * k), std::trunc(h * k));
    // Only the rectangle of the turned picture is drawn: the same pixels as turning the
    // whole picture and cutting the rectangle out, without the rest of a large photo.
    UIImageRef cut = Rotation::partOfImageRotatedByRadians(m_image, turn, crop);
    setCroppedImage(cut ? UIImage::imageWithCGImage(cut->CGImage(), m_image->scale(), m_image->imageOrientation()) : nullptr);
}

void ImageCropperView::reset()
{
    m_imageView->setTransform(CGAffineTransformIdentity);
}
