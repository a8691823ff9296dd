#include "UIKit/UIPinchGestureRecognizer.h"
#include "UIKit/UIRotationGestureRecognizer.h"
#include "app/image/ImageCropperView.h"
#include "support/ControlTestSupport.h"
#include "support/GraphicsTestSupport.h"

#include <numbers>

using TestSupport::rectNear;

namespace {

UIImageRef picture(size_t width, size_t height)
{
    return UIImage::imageWithCGImage(CGImage::create(width, height, std::vector<std::uint32_t>(width * height, 0xff336699u)));
}

// A pinch whose scale and state a test sets, as the recogniser would move them.
class SteeredPinch : public UIPinchGestureRecognizer {
public:
    using UIPinchGestureRecognizer::UIPinchGestureRecognizer;
    void step(UIGestureRecognizerState state, CGFloat scale)
    {
        setScale(scale);
        setState(state);
    }
};

class Cropper : public ControlTestSupport::ControlTest {
protected:
    std::shared_ptr<ImageCropperView> cropper = ImageCropperView::initWithFrame(CGRectMake(0, 0, 320, 270));
};

}

TEST_F(Cropper, ThePictureShowsAtSixTenthsCentredAndCutsTheFramedRectangle)
{
    cropper->setImage(picture(1000, 800));
    CGRect shown = cropper->imageView()->frame();
    EXPECT_EQ(cropper->imageView()->bounds().size, CGSizeMake(600, static_cast<CGFloat>(800 * 0.6f))) << "480.00003, narrowed to a float";
    EXPECT_FLOAT_EQ(shown.origin.x, -140);
    EXPECT_FLOAT_EQ(shown.origin.y, -105.00002f);
    cropper->finishCropping();
    ASSERT_TRUE(cropper->croppedImage());
    EXPECT_EQ(cropper->croppedImage()->CGImage()->width(), 533u) << "the rectangle (233, 175, 533, 450)";
    EXPECT_EQ(cropper->croppedImage()->CGImage()->height(), 450u);
    auto first = cropper->croppedImage();
    cropper->finishCropping();
    EXPECT_NE(cropper->croppedImage(), first) << "computed afresh";
    EXPECT_EQ(cropper->croppedImage()->size(), first->size());

    // Pinched to 0.9: w = 355.55557 has an odd whole part, so it becomes 356 before k.
    cropper->imageView()->setTransform(CGAffineTransformMakeScale(0.9f, 0.9f));
    cropper->finishCropping();
    ASSERT_TRUE(cropper->croppedImage());
    EXPECT_EQ(cropper->croppedImage()->CGImage()->width(), static_cast<size_t>(356 * (1000 / 600.0f)));

    cropper->setImage(nullptr);
    cropper->finishCropping();
    EXPECT_FALSE(cropper->croppedImage()) << "no picture, nothing cut";
}

TEST_F(Cropper, PinchStepsMultiplyAndABeganEventAppliesNothing)
{
    cropper->setImage(picture(100, 100));
    auto pinch = objc::alloc<SteeredPinch>();
    cropper->imageView()->addGestureRecognizer(pinch);
    pinch->step(UIGestureRecognizerStateBegan, 1);
    cropper->scaleImage(pinch);
    EXPECT_TRUE(CGAffineTransformIsIdentity(cropper->imageView()->transform()));
    for (CGFloat scale : { 1.2f, 1.5f, 2.0f }) {
        pinch->step(UIGestureRecognizerStateChanged, scale);
        cropper->scaleImage(pinch);
    }
    EXPECT_NEAR(cropper->imageView()->transform().a, 2, 1e-5);
    EXPECT_FLOAT_EQ(ImageCropperView::bookkeeping().lastScale, 2);
    cropper->reset();
    EXPECT_TRUE(CGAffineTransformIsIdentity(cropper->imageView()->transform()));
    EXPECT_FLOAT_EQ(ImageCropperView::bookkeeping().lastScale, 2) << "reset keeps the bookkeeping";
}

TEST_F(Cropper, AFingerMovesThePictureAsSeenEvenFromBesideItAndAfterATurn)
{
    placeInWindow(cropper);
    cropper->setup();
    cropper->setImage(picture(100, 100));
    cropper->imageView()->setTransform(CGAffineTransformMakeRotation(static_cast<CGFloat>(std::numbers::pi / 2)));
    CGPoint before = cropper->imageView()->frame().origin;
    // From the empty part of the frame, beside the 60 × 60 picture.
    m_finger.drag(CGPointMake(20, 20), CGPointMake(70, 20), 10);
    CGPoint after = cropper->imageView()->frame().origin;
    EXPECT_NEAR(after.x - before.x, 50, 0.01) << "right by the drag";
    EXPECT_NEAR(after.y - before.y, 0, 0.01) << "not down, whatever the turn";
}

TEST_F(Cropper, ATurnedCropCutsTheTurnedPictureAtFullResolution)
{
    cropper->setImage(picture(1000, 800));
    cropper->imageView()->setTransform(CGAffineTransformMakeRotation(static_cast<CGFloat>(std::numbers::pi / 2)));
    cropper->finishCropping();
    ASSERT_TRUE(cropper->croppedImage());
    auto cut = cropper->croppedImage()->CGImage();
    EXPECT_EQ(cut->width(), 533u) << "the frame's share, whatever the turn";
    EXPECT_EQ(cut->height(), 450u);
    EXPECT_TRUE(TestSupport::pixelNear(TestSupport::pixelAt(*cut, 266, 225), { 0x33, 0x66, 0x99, 255 }, 2));
}
