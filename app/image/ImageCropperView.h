#pragma once

#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIImageView.h"

// Declared for its slot only: the cropper tells its delegate nothing.
class ImageCropperDelegate {
public:
    virtual ~ImageCropperDelegate() = default;
};

// The crop frame: it clips to its bounds and shows one picture in a picture view that one
// finger moves, a pinch scales and two fingers turn. finishCropping cuts out, at the
// picture's full resolution, what lies under the frame, turned as it shows, into
// croppedImage. The gestures' bookkeeping is shared by every cropper in the process, as
// there is only one.
class ImageCropperView : public UIView {
    OBJC_CLASS(ImageCropperView, UIView)
    [[nodiscard]] static std::shared_ptr<ImageCropperView> initWithFrame(CGRect);

    // Clipping, then a picture view over the whole frame with its three recognisers, on top;
    // sent again, it adds another (the earlier ones stay, empty, acting on the newest).
    void setup();

    [[nodiscard]] const UIImageRef& image() const { return m_image; }
    // Shows the picture at 0.6 of its size in points, centred in the frame.
    void setImage(UIImageRef);
    [[nodiscard]] const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }
    void setImageView(std::shared_ptr<UIImageView> view) { m_imageView = std::move(view); }
    [[nodiscard]] const UIImageRef& croppedImage() const { return m_croppedImage; }
    void setCroppedImage(UIImageRef image) { m_croppedImage = std::move(image); }
    [[nodiscard]] std::shared_ptr<ImageCropperDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<ImageCropperDelegate> delegate) { m_delegate = std::move(delegate); }

    void moveImage(const UIGestureRecognizerRef& pan);
    void scaleImage(const UIGestureRecognizerRef& pinch);
    void rotateImage(const UIGestureRecognizerRef& rotation);

    // Computes croppedImage afresh from the picture and the picture view's transform.
    void finishCropping();
    // The picture view unmoved; the picture and the gestures' bookkeeping stay.
    void reset();

    // The picture view's size relative to the picture's size in points.
    static constexpr float imageViewScale = 0.6f;

    // The process-wide gesture bookkeeping, for tests.
    struct Bookkeeping {
        float lastScale;
        float lastTransX;
        float lastTransY;
        float lastRotation;
    };
    [[nodiscard]] static Bookkeeping bookkeeping();

private:
    std::shared_ptr<UIImageView> m_imageView;
    std::weak_ptr<ImageCropperDelegate> m_delegate;
    CGSize m_originalImageViewSize {};
    UIImageRef m_image;
    UIImageRef m_croppedImage;
};
