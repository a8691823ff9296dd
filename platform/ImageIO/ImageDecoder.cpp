#include "ImageIO/ImageDecoder.h"

#include "ImageIO/HEICDecoder.h"
#include "ImageIO/JPEGDecoder.h"
#include "ImageIO/PNGCodec.h"

namespace ImageIO {

namespace {

struct Decoder {
    ImageFormat format;
    bool (*matches)(std::span<const std::uint8_t>);
    std::optional<ImageProperties> (*readProperties)(std::span<const std::uint8_t>);
    CGImageRef (*decode)(std::span<const std::uint8_t>, size_t minimumSide);
};

// Signatures do not overlap, so the order is free.
constexpr Decoder decoders[] = {
    { ImageFormat::PNG, isPNG, readPNGProperties, [](std::span<const std::uint8_t> bytes, size_t) { return decodePNG(bytes); } },
    { ImageFormat::JPEG, isJPEG, readJPEGProperties, decodeJPEG },
    { ImageFormat::HEIC, isHEIC, readHEICProperties, decodeHEIC },
};

const Decoder* decoderFor(std::span<const std::uint8_t> bytes)
{
    for (const auto& decoder : decoders) {
        if (decoder.matches(bytes))
            return &decoder;
    }
    return nullptr;
}

}

std::optional<ImageFormat> imageFormat(std::span<const std::uint8_t> bytes)
{
    auto* decoder = decoderFor(bytes);
    return decoder ? std::optional(decoder->format) : std::nullopt;
}

std::optional<ImageProperties> readImageProperties(std::span<const std::uint8_t> bytes)
{
    auto* decoder = decoderFor(bytes);
    return decoder ? decoder->readProperties(bytes) : std::nullopt;
}

CGImageRef decodeImage(std::span<const std::uint8_t> bytes)
{
    return decodeImageFittingSide(bytes, fullSize);
}

CGImageRef decodeImageFittingSide(std::span<const std::uint8_t> bytes, size_t minimumSide)
{
    auto* decoder = decoderFor(bytes);
    return decoder ? decoder->decode(bytes, minimumSide) : nullptr;
}

std::optional<DecodedPhoto> decodePhoto(std::span<const std::uint8_t> bytes, size_t minimumSide)
{
    auto* decoder = decoderFor(bytes);
    if (!decoder)
        return std::nullopt;
    auto properties = decoder->readProperties(bytes);
    CGImageRef image = properties ? decoder->decode(bytes, minimumSide) : nullptr;
    if (!image)
        return std::nullopt;
    return DecodedPhoto { std::move(image), std::move(*properties) };
}

}
