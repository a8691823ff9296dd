#pragma once

#include "ImageIO/PNGCodec.h"
#include "support/GraphicsTestSupport.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace PictureTestSupport {

using TestSupport::Pixel;

inline std::filesystem::path picturesFolder() { return TESSARY8_PICTURES_DIR; }

// Every file the build lists as drawn, by name.
inline std::vector<std::string> pictureFiles()
{
    std::vector<std::string> names;
    std::istringstream list(TESSARY8_PICTURE_FILES);
    for (std::string name; std::getline(list, name, ',');)
        names.push_back(name);
    return names;
}

// nullptr when the file is missing or does not decode.
inline CGImageRef loadPicture(const std::string& fileName)
{
    const std::string bytes = TestSupport::readFile(picturesFolder() / fileName);
    return ImageIO::decodePNG({ reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size() });
}

inline std::string fileAtScale(const std::string& name, int scale)
{
    return scale == 1 ? name + ".png" : name + "@" + std::to_string(scale) + "x.png";
}

// The pixel whose area holds the point (x, y), given in points.
inline Pixel pixelAtPoint(const CGImage& image, int scale, double x, double y)
{
    return TestSupport::pixelAt(image, size_t(x * scale), size_t(y * scale));
}

struct HueSaturation {
    double hue, saturation;
};

// Hue (a fraction of a turn) and saturation of an opaque pixel, read back the textbook
// way: hue from the largest component's sector, saturation the spread over the largest.
inline HueSaturation hueSaturationOf(Pixel p)
{
    const double r = p.red / 255.0, g = p.green / 255.0, b = p.blue / 255.0;
    const double largest = std::max({ r, g, b });
    const double spread = largest - std::min({ r, g, b });
    if (largest == 0 || spread == 0)
        return { 0, 0 };
    double sector = largest == r ? (g - b) / spread : largest == g ? 2 + (b - r) / spread : 4 + (r - g) / spread;
    return { std::fmod(sector / 6 + 1, 1.0), spread / largest };
}

// How far apart two hues lie around the circle, 0..0.5.
inline double hueDistance(double a, double b)
{
    double d = std::fmod(std::abs(a - b), 1.0);
    return std::min(d, 1 - d);
}

}
