#pragma once

#include "CoreGraphics/CGImage.h"
#include "ImageIO/ImageProperties.h"

namespace ImageIO {

// A decoded picture with what its file says about it. The image may be a reduction of the
// stored picture (properties keep the stored size); its pixels are never turned: the
// orientation says how to show them.
struct DecodedPhoto {
    CGImageRef image;
    ImageProperties properties;
};

}
