// The image tab's save path on a real photo: a 4032 × 3024 JPEG stored on its side (EXIF
// orientation 6), chosen, pinched to 0.25, turned by 17° and saved (upright redraw, the cut
// of the turned picture, PNG encode, atomic write). Next to it: the floor (the JPEG decode
// and the PNG encode of the output alone, at the same settings), and the same steps done by
// Pillow and by libvips where they are installed, with their output compared with ours.
// `--png-settings` reports the saved picture's size, encode and decode time per setting.

#include "Foundation/DeviceRoot.h"
#include "Foundation/NSData.h"
#include "ImageIO/JPEGDecoder.h"
#include "ImageIO/PNGCodec.h"
#include "PhotoSamples.h"
#include "app/image/IMageSelecetViewController.h"
#include "app/image/ImageCropperView.h"
#include "app/image/Rotation.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr size_t photoWidth = 4032, photoHeight = 3024;
constexpr float pinchScale = 0.25f;
constexpr float turnDegrees = 17;
const std::filesystem::path workFolder = std::filesystem::temp_directory_path() / "tessary8-save-bench";

// A photo-like picture: smooth gradients with fine texture, so that it compresses as a
// photo does rather than as flat colour.
CGImageRef photoLikePicture()
{
    std::vector<std::uint32_t> pixels(photoWidth * photoHeight);
    for (size_t y = 0; y < photoHeight; ++y) {
        for (size_t x = 0; x < photoWidth; ++x) {
            double u = double(x) / photoWidth, v = double(y) / photoHeight;
            auto channel = [&](double phase) {
                double value = 0.5 + 0.3 * std::sin(6 * u + phase) * std::cos(4 * v - phase) + 0.08 * std::sin(x * 0.9 + y * 0.7 + phase);
                return static_cast<std::uint32_t>(std::clamp(value, 0.0, 1.0) * 255);
            };
            pixels[y * photoWidth + x] = 0xff000000u | channel(0) << 16 | channel(2) << 8 | channel(4);
        }
    }
    return CGImage::create(photoWidth, photoHeight, std::move(pixels));
}

const PhotoSamples::Bytes& photoFile()
{
    static const PhotoSamples::Bytes bytes = [] {
        auto jpeg = PhotoSamples::withEXIF(PhotoSamples::encodeJPEG(*photoLikePicture(), { .quality = 90 }), { .orientation = 6 });
        std::filesystem::create_directories(workFolder);
        std::ofstream(workFolder / "photo.jpg", std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
        return jpeg;
    }();
    return bytes;
}

// The cropper as the image tab makes it, with the photo pinched and turned as a person would.
std::shared_ptr<ImageCropperView> framedCropper(const UIImageRef& upright)
{
    auto cropper = ImageCropperView::initWithFrame(CGRectMake(0, 130, 320, 270));
    cropper->setup();
    cropper->setImage(upright);
    cropper->imageView()->setTransform(CGAffineTransformRotate(CGAffineTransformMakeScale(pinchScale, pinchScale), DegreesToRadians(turnDegrees)));
    return cropper;
}

// The whole path, as the tab runs it after the choice.
UIImageRef savePath(const std::filesystem::path& file)
{
    auto chosen = UIImage::imageWithData(photoFile());
    auto upright = IMageSelecetViewController::fixOrientation(chosen);
    auto cropper = framedCropper(upright);
    cropper->finishCropping();
    auto png = UIImagePNGRepresentation(cropper->croppedImage());
    (void)NSData(std::move(png)).writeToFile(file.string(), true);
    return cropper->croppedImage();
}

void SavePath(benchmark::State& state)
{
    DeviceRoot::set(workFolder / "device");
    for (auto _ : state)
        benchmark::DoNotOptimize(savePath("/out.png"));
    DeviceRoot::set({});
}

void FloorDecodeAndEncodeOutput(benchmark::State& state)
{
    static const CGImageRef output = [] {
        DeviceRoot::set(workFolder / "device");
        auto image = savePath("/out.png")->CGImage();
        DeviceRoot::set({});
        return image;
    }();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ImageIO::decodeJPEG(photoFile()));
        benchmark::DoNotOptimize(ImageIO::encodePNG(*output, ImageIO::PNGCompression::FastUp));
    }
}

BENCHMARK(SavePath)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(FloorDecodeAndEncodeOutput)->Unit(benchmark::kMillisecond)->MinTime(2);

// The peak memory of one save in a process of its own, against the decoded photo's size.
void reportPeakMemory()
{
    (void)photoFile();
    auto childPeak = [](bool save) {
        pid_t child = fork();
        if (child == 0) {
            DeviceRoot::set(workFolder / "device");
            if (save)
                (void)savePath("/out.png");
            _exit(0);
        }
        int status = 0;
        rusage usage {};
        wait4(child, &status, 0, &usage);
        return usage.ru_maxrss * 1024.0;
    };
    double idle = childPeak(false), saving = childPeak(true);
    double decoded = double(photoWidth) * photoHeight * 4;
    std::printf("peak memory of one save: %.0f MB above the process's own %.0f MB; the decoded photo is %.0f MB (ratio %.2f)\n",
        (saving - idle) / 1e6, idle / 1e6, decoded / 1e6, (saving - idle) / decoded);
}

double secondsOf(const std::string& command)
{
    auto start = std::chrono::steady_clock::now();
    int status = std::system(command.c_str());
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return status == 0 ? seconds : -1;
}

// The mean absolute difference per channel between two pictures, over what they share.
double meanDifference(const CGImage& a, const CGImage& b)
{
    size_t width = std::min(a.width(), b.width()), height = std::min(a.height(), b.height());
    double total = 0;
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            std::uint32_t p = a.pixelAt(x, y), q = b.pixelAt(x, y);
            for (int shift : { 0, 8, 16 })
                total += std::abs(int((p >> shift) & 0xff) - int((q >> shift) & 0xff));
        }
    }
    return total / (3.0 * double(width) * double(height));
}

CGImageRef readPNG(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    return ImageIO::decodePNG(bytes);
}

// The other tools do the same steps: upright, turn 17° clockwise into the bounding box, cut
// our rectangle, PNG at zlib level 1.
void compareWithOtherTools()
{
    DeviceRoot::set(workFolder / "device");
    auto ours = savePath("/out.png");
    auto upright = IMageSelecetViewController::fixOrientation(UIImage::imageWithData(photoFile()));
    DeviceRoot::set({});
    auto cropper = framedCropper(upright);
    // Our rectangle in the turned picture, from the cropper's own arithmetic.
    CGRect frame = cropper->imageView()->frame();
    float k = float(upright->size().width) / float(upright->size().width * ImageCropperView::imageViewScale);
    auto x = std::trunc(float(-frame.origin.x / pinchScale) * k), y = std::trunc(float(-frame.origin.y / pinchScale) * k);
    auto w = ours->CGImage()->width(), h = ours->CGImage()->height();
    std::string photo = (workFolder / "photo.jpg").string();
    std::string v = workFolder.string();
    char pillowCrop[128], vipsCrop[128];
    std::snprintf(pillowCrop, sizeof pillowCrop, "%.0f,%.0f,%.0f,%.0f", x, y, x + float(w), y + float(h));
    std::snprintf(vipsCrop, sizeof vipsCrop, "%.0f %.0f %zu %zu", x, y, w, h);

    std::printf("ours: %zu x %zu pixels\n", w, h);
    double pillow = -1;
    if (std::system("/usr/bin/python3 -c 'import PIL' 2>/dev/null") == 0) {
        std::ofstream(workFolder / "pillow.py") << "from PIL import Image, ImageOps\n"
                                                << "im = ImageOps.exif_transpose(Image.open('" << photo << "')).convert('RGBA')\n"
                                                << "im = im.rotate(-" << turnDegrees << ", resample=Image.BILINEAR, expand=True)\n"
                                                << "im.crop((" << pillowCrop << ")).save('" << v << "/pillow.png', compress_level=1)\n";
        pillow = secondsOf("/usr/bin/python3 " + v + "/pillow.py");
    }
    double vips = -1;
    if (std::system("command -v vips > /dev/null") == 0) {
        vips = secondsOf("vips autorot " + photo + " " + v + "/up.v && vips similarity " + v + "/up.v " + v + "/turned.v --angle 17 && vips crop " + v
            + "/turned.v " + v + "/cut.v " + vipsCrop + " && vips pngsave " + v + "/cut.v " + v + "/vips.png --compression 1");
    }
    for (auto [name, seconds, file] : { std::tuple { "Pillow", pillow, workFolder / "pillow.png" }, std::tuple { "libvips", vips, workFolder / "vips.png" } }) {
        if (seconds < 0) {
            std::printf("%s: not installed (Debian: python3-pil, libvips-tools)\n", name);
            continue;
        }
        auto theirs = readPNG(file);
        std::printf("%s: %.0f ms for the same steps (its start-up included: one Python, four vips commands); output %zu x %zu, "
                    "mean difference from ours %.2f of 255 per channel\n",
            name, seconds * 1000, theirs ? theirs->width() : 0, theirs ? theirs->height() : 0, theirs ? meanDifference(*theirs, *ours->CGImage()) : -1);
    }
}

void reportPNGSettings()
{
    DeviceRoot::set(workFolder / "device");
    auto output = savePath("/out.png")->CGImage();
    DeviceRoot::set({});
    using Compression = ImageIO::PNGCompression;
    for (auto [name, setting] : { std::pair { "zlib 6, adaptive filters", Compression::Default }, std::pair { "zlib 1, adaptive filters", Compression::Fast },
             std::pair { "zlib 1, filter up", Compression::FastUp }, std::pair { "stored", Compression::None } }) {
        auto start = std::chrono::steady_clock::now();
        auto png = ImageIO::encodePNG(*output, setting);
        double encode = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < 5; ++i)
            benchmark::DoNotOptimize(ImageIO::decodePNG(*png));
        double decode = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 5;
        std::printf("%-26s %8.0f KB  encode %6.1f ms  decode %6.1f ms\n", name, double(png->size()) / 1024, encode * 1000, decode * 1000);
    }
}

}

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--png-settings") == 0) {
            reportPNGSettings();
            return 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({ { "SavePath", "FloorDecodeAndEncodeOutput" } });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    reportPeakMemory();
    compareWithOtherTools();
    benchmark::Shutdown();
    return 0;
}
