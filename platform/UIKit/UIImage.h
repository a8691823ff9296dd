#pragma once

#include "CoreGraphics/CGImage.h"
#include "ImageIO/CGImagePropertyOrientation.h"
#include "objc/NSObject.h"

#include <memory>
#include <string>
#include <string_view>

enum UIImageOrientation : int {
    UIImageOrientationUp = 0,
    UIImageOrientationDown = 1,           // 180°
    UIImageOrientationLeft = 2,           // 90° anticlockwise
    UIImageOrientationRight = 3,          // 90° clockwise
    UIImageOrientationUpMirrored = 4,
    UIImageOrientationDownMirrored = 5,
    UIImageOrientationLeftMirrored = 6,
    UIImageOrientationRightMirrored = 7,
};

// EXIF 1 Up, 2 UpMirrored, 3 Down, 4 DownMirrored, 5 LeftMirrored, 6 Right, 7 RightMirrored,
// 8 Left; any other value Up.
[[nodiscard]] UIImageOrientation UIImageOrientationFromPropertyOrientation(CGImagePropertyOrientation);

class UIImage;
using UIImageRef = std::shared_ptr<UIImage>;

// A bitmap with the scale it was made for (pixels per point) and the way it is
// to be turned for display.
class UIImage : public NSObject {
    OBJC_CLASS(UIImage, NSObject)

    // A PNG, JPEG or HEIC at scale 1, its pixels as stored and its orientation from the
    // file's EXIF (an HEIC's own turns are applied when it is decoded, so it is always Up).
    // nullptr when the file is missing, unreadable or not a decodable image.
    [[nodiscard]] static UIImageRef imageWithContentsOfFile(std::string_view devicePath);
    [[nodiscard]] static UIImageRef imageWithData(std::span<const std::uint8_t> bytes);
    // A picture of the application's bundle by name ("checkerboard.png" or
    // "checkerboard"), the @2x variant on a screen of scale 2 when there is one.
    // Cached: the same name gives the same image. nullptr when there is none.
    [[nodiscard]] static UIImageRef imageNamed(std::string_view name);
    [[nodiscard]] static UIImageRef imageWithCGImage(CGImageRef, CGFloat scale = 1, UIImageOrientation = UIImageOrientationUp);

    UIImage(objc::AllocationKey, CGImageRef image, CGFloat scale, UIImageOrientation orientation);

    [[nodiscard]] const CGImageRef& CGImage() const { return m_image; }
    [[nodiscard]] CGFloat scale() const { return m_scale; }
    [[nodiscard]] UIImageOrientation imageOrientation() const { return m_orientation; }
    // In points, as displayed: width and height trade places for the left and right orientations.
    [[nodiscard]] CGSize size() const;

    // Draws the image upright (its orientation applied) into rect of the current UIKit context.
    void drawInRect(CGRect rect) const;

    // The bundle name it was loaded by (imageNamed), empty otherwise; for descriptions.
    [[nodiscard]] const std::string& name() const { return m_name; }

private:
    std::string m_name;
    CGImageRef m_image;
    CGFloat m_scale;
    UIImageOrientation m_orientation;
};

// PNG bytes of the image as stored (its orientation is not applied); empty on failure.
[[nodiscard]] std::vector<std::uint8_t> UIImagePNGRepresentation(const UIImageRef&);
