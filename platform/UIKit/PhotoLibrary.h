#pragma once

#include "ImageIO/ImageProperties.h"
#include "UIKit/UIImage.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The device's photo library as a camera leaves it: picture files in the folders of
// /var/mobile/Media/DCIM, named IMG_0001.JPG and on. The image picker lists and shows it;
// tessary8-device adds to it.
class PhotoLibrary {
public:
    static constexpr const char* folder = "/var/mobile/Media/DCIM";
    // Where added pictures go: a camera's first folder.
    static constexpr const char* cameraFolder = "/var/mobile/Media/DCIM/100APPLE";
    // A camera's counter has four digits.
    static constexpr unsigned maximumPhotoNumber = 9999;
    // A listing holds at most this many, the first by folder and file name (which is the
    // order a camera takes them in): a full camera folder, and more than a picker can show.
    static constexpr size_t maximumPhotoCount = 10000;
    // Larger files are not read: far more than any phone camera writes for one picture.
    static constexpr size_t maximumPhotoFileSize = 128 << 20;

    struct Photo {
        std::string devicePath;
        // Format, stored pixel size, orientation and EXIF date.
        ImageIO::ImageProperties properties;
        // The EXIF date taken as this machine's local time, else the file's modification time.
        std::chrono::system_clock::time_point date;

        [[nodiscard]] std::string fileName() const;
        [[nodiscard]] UIImageOrientation orientation() const;
    };

    // Every PNG, JPEG and HEIC (by signature) among the regular files of DCIM's folders,
    // oldest first; hidden, unreadable and oversized files, and files whose header does not
    // read, are left out. Only headers are read: a photo listed may still fail to decode.
    [[nodiscard]] static std::vector<Photo> photos();

    // The photo at scale 1 with its orientation; nullptr when it no longer decodes.
    [[nodiscard]] static UIImageRef imageOfPhoto(const Photo&);
    // As imageOfPhoto, reduced as ImageIO::decodeImageFittingSide does, for a grid of thumbnails.
    [[nodiscard]] static UIImageRef thumbnailOfPhoto(const Photo&, size_t minimumSide);

    // The format of bytes that decode whole as a PNG, JPEG or HEIC; nullopt for anything else.
    [[nodiscard]] static std::optional<ImageIO::ImageFormat> photoFormat(std::span<const std::uint8_t> bytes);
    // "JPG", "PNG", "HEIC": what a camera names its files by.
    [[nodiscard]] static const char* fileExtension(ImageIO::ImageFormat);

    struct Addition {
        std::string devicePath; // empty when refused
        std::string error;
    };
    // Stores the bytes unchanged as the camera folder's next picture (one past its highest
    // number), creating the folder; the file appears whole or not at all, and never replaces
    // another. Bytes that are not a decodable photo are refused.
    [[nodiscard]] static Addition addPhoto(std::span<const std::uint8_t> bytes);
};
