#pragma once

#include "CoreGraphics/CGImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace PNGTestSupport {

using Bytes = std::vector<std::uint8_t>;

// 3 × 2, premultiplied: opaque, translucent and fully transparent pixels.
[[nodiscard]] CGImageRef sampleImage();

struct Chunk {
    size_t offset; // of its length field
    std::uint32_t length;
    std::string type;
};

[[nodiscard]] std::vector<Chunk> chunks(const Bytes& png);
[[nodiscard]] Chunk chunkOfType(const std::vector<Chunk>&, const std::string& type);
// Rewrites the chunk's CRC to match its contents, so a change inside it reaches the decoder.
void fixCRC(Bytes& png, const Chunk&);
// The file with its IHDR claiming another size, CRC intact.
[[nodiscard]] Bytes withHeaderSize(Bytes png, std::uint32_t width, std::uint32_t height);
// A chunk ready to splice into a file.
[[nodiscard]] Bytes makeChunk(const std::string& type, const Bytes& data);

// PNGs written by Python's zlib from JSON descriptions (see PNGTestSupport.cpp), in order;
// nullopt when python3 is missing.
[[nodiscard]] std::optional<std::vector<Bytes>> pythonPNGs(const std::vector<std::string>& descriptions);
[[nodiscard]] bool havePillow();
// "MODE WIDTHxHEIGHT hex-of-RGBA-bytes" as Pillow reads the file.
[[nodiscard]] std::string pillowRead(const Bytes& png);

}
