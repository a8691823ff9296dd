#include "PNGTestSupport.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace PNGTestSupport {

namespace {

std::uint32_t readBigEndian(const Bytes& bytes, size_t at)
{
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 | std::uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

void writeBigEndian(Bytes& bytes, size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

std::uint32_t crc32(const std::uint8_t* data, size_t length)
{
    std::uint32_t crc = 0xffffffff;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

// Each description becomes a line of hex: samples packed at the bit depth, Adam7-interlaced
// when asked, deflated and wrapped in chunks. {"width", "height", "depth", "colorType",
// "interlace"?, "level"?, and either "samples" (row by row) or "idatZeros" (that many zero
// bytes as the image data), "chunks"?: [[type, hex, fillCount?]...] placed before IDAT and
// "chunksAfterImage"? likewise after it, fillCount deflated letters "a" appended to the hex}
constexpr const char* writerScript = R"PY(
import json, struct, sys, zlib

def deflated(count, level, fill=0):
    z, out = zlib.compressobj(level), bytearray()
    while count:
        n = min(count, 1 << 20)
        out += z.compress(bytes([fill]) * n)
        count -= n
    return bytes(out + z.flush())

def scanline(values, depth):
    line, bits, used = bytearray([0]), 0, 0
    for v in values:
        if depth == 16:
            line += struct.pack(">H", v)
            continue
        bits, used = bits << depth | v, used + depth
        if used == 8:
            line.append(bits)
            bits, used = 0, 0
    if used:
        line.append(bits << (8 - used))
    return line

def chunk(kind, data):
    kind = kind.encode()
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

def png(description):
    width, height, depth, colour = description["width"], description["height"], description["depth"], description["colorType"]
    interlace, level = description.get("interlace", 0), description.get("level", 9)
    if "samples" in description:
        channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
        stride = width * channels
        passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)] if interlace else [(0, 0, 1, 1)]
        raw = bytearray()
        for x0, y0, dx, dy in passes:
            for y in range(y0, height, dy) if range(x0, width, dx) else ():
                row = description["samples"][y * stride:(y + 1) * stride]
                raw += scanline([s for x in range(x0, width, dx) for s in row[x * channels:(x + 1) * channels]], depth)
        idat = zlib.compress(bytes(raw), level)
    else:
        idat = deflated(description["idatZeros"], level)
    def chunks(key):
        return b"".join(chunk(kind, bytes.fromhex(data) + (deflated(fillCount[0], 9, ord("a")) if fillCount else b""))
                        for kind, data, *fillCount in description.get(key, []))
    header = chunk("IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace))
    return b"\x89PNG\r\n\x1a\n" + header + chunks("chunks") + chunk("IDAT", idat) + chunks("chunksAfterImage") + chunk("IEND", b"")

for description in json.load(sys.stdin):
    print(png(description).hex())
)PY";

constexpr const char* pillowScript = R"PY(
import sys
from PIL import Image
image = Image.open(sys.argv[1])
print(image.mode, "%dx%d" % image.size, image.convert("RGBA").tobytes().hex())
)PY";

std::string runPython(const char* script, const std::string& arguments, const std::string& input, const std::string& interpreter = "python3")
{
    TestSupport::TemporaryDirectory directory;
    auto file = directory.path() / "script.py";
    TestSupport::writeFile(file, script);
    auto result = TestSupport::runCommand(interpreter + " " + TestSupport::shellQuote(file.string()) + " " + arguments, input);
    EXPECT_EQ(result.exitCode, 0) << "python3 failed on " << input.substr(0, 200);
    return result.output;
}

}

CGImageRef sampleImage()
{
    return CGImage::create(3, 2, {
        0xffff0000, 0x80008000, 0x00000000,
        0x01010101, 0xc0604020, 0xffffffff,
    });
}

std::vector<Chunk> chunks(const Bytes& png)
{
    std::vector<Chunk> found;
    for (size_t at = 8; at + 12 <= png.size();) {
        std::uint32_t length = readBigEndian(png, at);
        found.push_back({ at, length, std::string(png.begin() + at + 4, png.begin() + at + 8) });
        at += 12 + length;
    }
    return found;
}

Chunk chunkOfType(const std::vector<Chunk>& all, const std::string& type)
{
    for (const auto& chunk : all) {
        if (chunk.type == type)
            return chunk;
    }
    ADD_FAILURE() << "no " << type << " chunk";
    return { 8, 0, type };
}

void fixCRC(Bytes& png, const Chunk& chunk)
{
    writeBigEndian(png, chunk.offset + 8 + chunk.length, crc32(&png[chunk.offset + 4], 4 + chunk.length));
}

Bytes withHeaderSize(Bytes png, std::uint32_t width, std::uint32_t height)
{
    auto header = chunkOfType(chunks(png), "IHDR");
    writeBigEndian(png, header.offset + 8, width);
    writeBigEndian(png, header.offset + 12, height);
    fixCRC(png, header);
    return png;
}

Bytes makeChunk(const std::string& type, const Bytes& data)
{
    Bytes chunk(12 + data.size());
    writeBigEndian(chunk, 0, static_cast<std::uint32_t>(data.size()));
    std::copy(type.begin(), type.end(), chunk.begin() + 4);
    std::copy(data.begin(), data.end(), chunk.begin() + 8);
    fixCRC(chunk, { 0, static_cast<std::uint32_t>(data.size()), type });
    return chunk;
}

std::optional<std::vector<Bytes>> pythonPNGs(const std::vector<std::string>& descriptions)
{
    if (!TestSupport::haveProgram("python3"))
        return std::nullopt;
    std::string json = "[";
    for (const auto& description : descriptions)
        json += (json.size() > 1 ? "," : "") + description;
    std::istringstream lines(runPython(writerScript, "", json + "]"));
    std::vector<Bytes> files;
    for (std::string line; std::getline(lines, line);) {
        Bytes file(line.size() / 2);
        for (size_t i = 0; i < file.size(); ++i)
            file[i] = static_cast<std::uint8_t>(std::stoi(line.substr(i * 2, 2), nullptr, 16));
        files.push_back(std::move(file));
    }
    EXPECT_EQ(files.size(), descriptions.size());
    files.resize(descriptions.size());
    return files;
}

// The Python that has Pillow: the one on PATH, else Debian's own (python3-pil installs there).
std::optional<std::string> pillowPython()
{
    for (const char* interpreter : { "python3", "/usr/bin/python3" }) {
        if (TestSupport::haveProgram(interpreter)
            && TestSupport::runCommand(std::string(interpreter) + " -c 'import PIL.Image' 2>/dev/null").exitCode == 0)
            return std::string(interpreter);
    }
    return std::nullopt;
}

bool havePillow()
{
    return pillowPython().has_value();
}

std::string pillowRead(const Bytes& png)
{
    TestSupport::TemporaryDirectory directory;
    auto file = directory.path() / "image.png";
    TestSupport::writeFile(file, std::string(png.begin(), png.end()));
    auto output = runPython(pillowScript, TestSupport::shellQuote(file.string()), "", pillowPython().value_or("python3"));
    while (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

}
