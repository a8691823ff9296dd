#include "UIKit/UIImage.h"

#include "Foundation/AtomicFile.h"
#include "Foundation/DeviceRoot.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSData.h"
#include "ImageIO/ImageDecoder.h"
#include "ImageIO/PNGCodec.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIScreen.h"

#include <chrono>
#include <map>
#include <mutex>

#include <cmath>

namespace {

// Maps the stored picture's unit square onto the displayed one (y down).
CGAffineTransform orientationTransform(UIImageOrientation orientation)
{
    switch (orientation) {
    case UIImageOrientationDown: return CGAffineTransformMake(-1, 0, 0, -1, 1, 1);
    case UIImageOrientationLeft: return CGAffineTransformMake(0, -1, 1, 0, 0, 1);
    case UIImageOrientationRight: return CGAffineTransformMake(0, 1, -1, 0, 1, 0);
    case UIImageOrientationUpMirrored: return CGAffineTransformMake(-1, 0, 0, 1, 1, 0);
    case UIImageOrientationDownMirrored: return CGAffineTransformMake(1, 0, 0, -1, 0, 1);
    case UIImageOrientationLeftMirrored: return CGAffineTransformMake(0, 1, 1, 0, 0, 0);
    case UIImageOrientationRightMirrored: return CGAffineTransformMake(0, -1, -1, 0, 1, 1);
    case UIImageOrientationUp: break;
    }
    return CGAffineTransformIdentity;
}

UIImageRef imageOfPhoto(std::optional<ImageIO::DecodedPhoto> photo, CGFloat scale)
{
    if (!photo)
        return nullptr;
    return UIImage::imageWithCGImage(std::move(photo->image), scale, UIImageOrientationFromPropertyOrientation(photo->properties.orientation));
}

bool swapsSides(UIImageOrientation orientation)
{
    return orientation == UIImageOrientationLeft || orientation == UIImageOrientationRight || orientation == UIImageOrientationLeftMirrored
        || orientation == UIImageOrientationRightMirrored;
}

}

UIImageOrientation UIImageOrientationFromPropertyOrientation(CGImagePropertyOrientation orientation)
{
    switch (orientation) {
    case kCGImagePropertyOrientationUpMirrored: return UIImageOrientationUpMirrored;
    case kCGImagePropertyOrientationDown: return UIImageOrientationDown;
    case kCGImagePropertyOrientationDownMirrored: return UIImageOrientationDownMirrored;
    case kCGImagePropertyOrientationLeftMirrored: return UIImageOrientationLeftMirrored;
    case kCGImagePropertyOrientationRight: return UIImageOrientationRight;
    case kCGImagePropertyOrientationRightMirrored: return UIImageOrientationRightMirrored;
    case kCGImagePropertyOrientationLeft: return UIImageOrientationLeft;
    case kCGImagePropertyOrientationUp: break;
    }
    return UIImageOrientationUp;
}

UIImage::UIImage(objc::AllocationKey key, CGImageRef image, CGFloat scale, UIImageOrientation orientation)
    : NSObject(key)
    , m_image(std::move(image))
    , m_scale(scale > 0 && std::isfinite(scale) ? scale : 1)
    , m_orientation(orientation >= UIImageOrientationUp && orientation <= UIImageOrientationRightMirrored ? orientation : UIImageOrientationUp)
{
}

UIImageRef UIImage::imageWithCGImage(CGImageRef image, CGFloat scale, UIImageOrientation orientation)
{
    if (!image)
        return nullptr;
    return objc::alloc<UIImage>(std::move(image), scale, orientation);
}

UIImageRef UIImage::imageWithData(std::span<const std::uint8_t> bytes)
{
    return imageOfPhoto(ImageIO::decodePhoto(bytes), 1);
}

UIImageRef UIImage::imageWithContentsOfFile(std::string_view devicePath)
{
    // Every keyboard a process builds shows the same picture file: decode it once per state
    // of the file, not once per keyboard.
    struct Decoded {
        Foundation::FileIdentity identity;
        UIImageRef image;
    };
    static std::mutex cacheLock;
    static std::map<std::filesystem::path, Decoded> cache;
    constexpr size_t maximumCachedFiles = 4;

    auto file = DeviceRoot::resolve(devicePath);
    {
        std::lock_guard lock(cacheLock);
        auto identity = Foundation::FileIdentity::ofPath(file);
        if (auto cached = cache.find(file); cached != cache.end() && identity && cached->second.identity == *identity)
            return cached->second.image;
    }
    Foundation::FileIdentity identity;
    auto bytes = Foundation::readWholeFile(file, NSData::maximumFileSize, &identity);
    auto image = bytes ? imageWithData(*bytes) : nullptr;
    std::lock_guard lock(cacheLock);
    // The kernel stamps modification times from a coarse clock, so a file rewritten in place
    // twice within a tick could keep its identity; such a fresh file is read again next time.
    auto age = std::chrono::system_clock::now().time_since_epoch() - std::chrono::seconds(identity.modified.tv_sec);
    if (!image || identity == Foundation::FileIdentity {} || age < std::chrono::seconds(2)) {
        cache.erase(file);
        return image;
    }
    if (cache.size() >= maximumCachedFiles && !cache.contains(file))
        cache.erase(cache.begin());
    cache[file] = { identity, image };
    return image;
}

UIImageRef UIImage::imageNamed(std::string_view name)
{
    static std::mutex cacheLock;
    static std::map<std::string, UIImageRef, std::less<>> cache;
    std::lock_guard lock(cacheLock);
    if (auto cached = cache.find(name); cached != cache.end())
        return cached->second;

    std::string base(name);
    std::string type = "png";
    if (auto dot = base.rfind('.'); dot != std::string::npos && dot > 0) {
        type = base.substr(dot + 1);
        base.resize(dot);
    }
    bool preferDouble = UIScreen::mainScreen()->scale() >= 2;
    UIImageRef image;
    for (bool doubleScale : { preferDouble, !preferDouble }) {
        auto file = NSBundle::mainBundle().pathForResource(doubleScale ? base + "@2x" : base, type);
        auto bytes = file ? Foundation::readWholeFile(*file, NSData::maximumFileSize) : std::nullopt;
        if (auto found = bytes ? imageOfPhoto(ImageIO::decodePhoto(*bytes), doubleScale ? 2 : 1) : nullptr) {
            image = std::move(found);
            image->m_name = name;
            break;
        }
    }
    if (image)
        cache.emplace(std::string(name), image);
    return image;
}

CGSize UIImage::size() const
{
    CGSize pixels = CGSizeMake(static_cast<CGFloat>(CGImageGetWidth(m_image)), static_cast<CGFloat>(CGImageGetHeight(m_image)));
    if (swapsSides(m_orientation))
        std::swap(pixels.width, pixels.height);
    return CGSizeMake(pixels.width / m_scale, pixels.height / m_scale);
}

void UIImage::drawInRect(CGRect rect) const
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || !m_image || CGRectIsEmpty(rect))
        return;
    CGContextStateSaver saver(context);
    rect = CGRectStandardize(rect);
    CGContextTranslateCTM(context, rect.origin.x, rect.origin.y);
    CGContextScaleCTM(context, rect.size.width, rect.size.height);
    CGContextConcatCTM(context, orientationTransform(m_orientation));
    // The unit square, y down; CGContextDrawImage draws y up.
    CGContextTranslateCTM(context, 0, 1);
    CGContextScaleCTM(context, 1, -1);
    CGContextDrawImage(context, CGRectMake(0, 0, 1, 1), m_image);
}

std::vector<std::uint8_t> UIImagePNGRepresentation(const UIImageRef& image)
{
    if (!image || !image->CGImage())
        return {};
    // Fast to write and fast to read back: the keyboard decodes a saved picture for every backdrop.
    return ImageIO::encodePNG(*image->CGImage(), ImageIO::PNGCompression::FastUp).value_or(std::vector<std::uint8_t> {});
}
