#include "UIKit/PhotoLibrary.h"

#include "Foundation/AtomicFile.h"
#include "Foundation/DeviceRoot.h"
#include "Foundation/NSFileManager.h"
#include "ImageIO/ImageDecoder.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ranges>
#include <tuple>
#include <unistd.h>

namespace {

// A listing reads this much of a photo first: a JPEG's or PNG's header, and a JPEG's EXIF,
// lie well within it. An HEIC's boxes may point further, and it is then read whole.
constexpr size_t propertiesReadLength = 256 << 10;

std::optional<std::vector<std::uint8_t>> readPhotoFile(const std::string& devicePath)
{
    return Foundation::readWholeFile(DeviceRoot::resolve(devicePath), PhotoLibrary::maximumPhotoFileSize);
}

// Of a regular file, as the listing found it.
std::optional<ImageIO::ImageProperties> readProperties(const std::string& devicePath)
{
    auto file = DeviceRoot::resolve(devicePath);
    std::error_code error;
    auto size = std::filesystem::file_size(file, error);
    if (error || size > PhotoLibrary::maximumPhotoFileSize)
        return std::nullopt;
    if (size > propertiesReadLength) {
        std::vector<std::uint8_t> start(propertiesReadLength);
        std::ifstream in(file, std::ios::binary);
        in.read(reinterpret_cast<char*>(start.data()), static_cast<std::streamsize>(start.size()));
        if (static_cast<size_t>(in.gcount()) == start.size()) {
            if (auto properties = ImageIO::readImageProperties(start))
                return properties;
        }
    }
    auto bytes = readPhotoFile(devicePath);
    return bytes ? ImageIO::readImageProperties(*bytes) : std::nullopt;
}

// The number of a camera's file name, IMG_0001.JPG and the like, in any case.
std::optional<unsigned> photoNumber(std::string_view name)
{
    constexpr std::string_view prefix = "IMG_";
    constexpr size_t digits = 4;
    if (name.size() < prefix.size() + digits + 1 || name[prefix.size() + digits] != '.')
        return std::nullopt;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != prefix[i])
            return std::nullopt;
    }
    unsigned number = 0;
    const char* first = name.data() + prefix.size();
    auto [end, error] = std::from_chars(first, first + digits, number);
    if (error != std::errc() || end != first + digits)
        return std::nullopt;
    return number;
}

std::chrono::system_clock::time_point modificationTime(const std::filesystem::path& file)
{
    std::error_code error;
    auto time = std::filesystem::last_write_time(file, error);
    if (error)
        return {};
    return std::chrono::time_point_cast<std::chrono::system_clock::duration>(std::chrono::file_clock::to_sys(time));
}

}

std::string PhotoLibrary::Photo::fileName() const
{
    return std::filesystem::path(devicePath).filename().string();
}

UIImageOrientation PhotoLibrary::Photo::orientation() const
{
    return UIImageOrientationFromPropertyOrientation(properties.orientation);
}

std::vector<PhotoLibrary::Photo> PhotoLibrary::photos()
{
    auto& files = NSFileManager::defaultManager();
    std::vector<Photo> found;
    auto isVisible = [](const std::string& name) { return !name.starts_with('.'); };
    // Plain loops: clang 14 cannot pipe a temporary vector into a view.
    for (const auto& folderName : files.contentsOfDirectoryAtPath(folder)) {
        if (!isVisible(folderName))
            continue;
        std::string folderPath = std::string(folder) + "/" + folderName;
        std::error_code error;
        if (!std::filesystem::is_directory(std::filesystem::symlink_status(DeviceRoot::resolve(folderPath), error)))
            continue;
        for (const auto& name : files.contentsOfDirectoryAtPath(folderPath)) {
            if (found.size() == maximumPhotoCount)
                break;
            if (!isVisible(name))
                continue;
            std::string devicePath = folderPath + "/" + name;
            auto file = DeviceRoot::resolve(devicePath);
            if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(file, error)))
                continue;
            auto properties = readProperties(devicePath);
            if (!properties)
                continue;
            auto date = properties->dateTaken ? properties->dateTaken->inCurrentTimeZone() : modificationTime(file);
            found.push_back({ std::move(devicePath), std::move(*properties), date });
        }
    }
    std::ranges::sort(found, [](const Photo& a, const Photo& b) { return std::tie(a.date, a.devicePath) < std::tie(b.date, b.devicePath); });
    return found;
}

UIImageRef PhotoLibrary::imageOfPhoto(const Photo& photo)
{
    return thumbnailOfPhoto(photo, ImageIO::fullSize);
}

UIImageRef PhotoLibrary::thumbnailOfPhoto(const Photo& photo, size_t minimumSide)
{
    auto bytes = readPhotoFile(photo.devicePath);
    auto decoded = bytes ? ImageIO::decodePhoto(*bytes, minimumSide) : std::nullopt;
    if (!decoded)
        return nullptr;
    return UIImage::imageWithCGImage(std::move(decoded->image), 1, UIImageOrientationFromPropertyOrientation(decoded->properties.orientation));
}

std::optional<ImageIO::ImageFormat> PhotoLibrary::photoFormat(std::span<const std::uint8_t> bytes)
{
    auto photo = ImageIO::decodePhoto(bytes);
    return photo ? std::optional(photo->properties.format) : std::nullopt;
}

const char* PhotoLibrary::fileExtension(ImageIO::ImageFormat format)
{
    switch (format) {
    case ImageIO::ImageFormat::PNG: return "PNG";
    case ImageIO::ImageFormat::HEIC: return "HEIC";
    case ImageIO::ImageFormat::JPEG: break;
    }
    return "JPG";
}

PhotoLibrary::Addition PhotoLibrary::addPhoto(std::span<const std::uint8_t> bytes)
{
    auto format = photoFormat(bytes);
    if (!format)
        return { {}, "not a photo: neither a PNG, a JPEG nor an HEIC that decodes" };
    if (!NSFileManager::defaultManager().createDirectoryAtPath(cameraFolder, true))
        return { {}, "cannot create " + DeviceRoot::resolve(cameraFolder).string() };

    unsigned highest = 0;
    for (const auto& name : NSFileManager::defaultManager().contentsOfDirectoryAtPath(cameraFolder))
        highest = std::max(highest, photoNumber(name).value_or(0));

    // Written whole under a hidden name, then linked to its own: a link never replaces a file,
    // so a number another writer took meanwhile moves this picture on to the next.
    static std::atomic<unsigned> additions;
    auto staging = DeviceRoot::resolve(std::string(cameraFolder) + "/.incoming-" + std::to_string(::getpid()) + "-" + std::to_string(additions++));
    if (!Foundation::writeFileAtomically(staging, bytes))
        return { {}, "cannot write " + staging.string() };
    Addition addition { {}, "the camera folder is full: IMG_" + std::to_string(maximumPhotoNumber) + " is taken" };
    for (unsigned number = highest + 1; number <= maximumPhotoNumber; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%04u.%s", number, fileExtension(*format));
        std::string devicePath = std::string(cameraFolder) + "/" + name;
        std::error_code error;
        std::filesystem::create_hard_link(staging, DeviceRoot::resolve(devicePath), error);
        if (!error) {
            addition = { devicePath, {} };
            break;
        }
        if (error != std::errc::file_exists) {
            addition.error = "cannot write " + DeviceRoot::resolve(devicePath).string() + ": " + error.message();
            break;
        }
    }
    std::error_code ignored;
    std::filesystem::remove(staging, ignored);
    return addition;
}
