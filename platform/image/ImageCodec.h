#pragma once
// PNG, JPEG and BMP reading and writing between memory and 32-bit ARGB pixels.
//
// Decoders take the whole file in memory and never trust it: a broken or truncated file
// gives false and an error text. Encoders take ARGB rows (any pitch) and append the file
// bytes to `out`.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::image {

enum class ImageFormat { Unknown, Png, Jpeg, Bmp };

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb; // width * height, top row first
};

// Largest width or height a decoder accepts.
constexpr int kMaxImageSide = 16384;

ImageFormat DetectImageFormat(const void* data, size_t size);

bool DecodeImage(const void* data, size_t size, Image& out, std::string* error = nullptr);
bool DecodePng(const void* data, size_t size, Image& out, std::string* error = nullptr);
bool DecodeJpeg(const void* data, size_t size, Image& out, std::string* error = nullptr);
bool DecodeBmp(const void* data, size_t size, Image& out, std::string* error = nullptr);

// `pitch` is in bytes. PNG keeps the alpha channel when withAlpha is true (else RGB).
bool EncodePng(const uint32_t* argb, int width, int height, int pitch, bool withAlpha, std::vector<uint8_t>& out);
// quality 1..100.
bool EncodeJpeg(const uint32_t* argb, int width, int height, int pitch, int quality, std::vector<uint8_t>& out);
// 32 bits a pixel, uncompressed, bottom row first.
bool EncodeBmp(const uint32_t* argb, int width, int height, int pitch, std::vector<uint8_t>& out);

// Whole-file helpers for host paths.
bool ReadFileBytes(const std::string& hostPath, std::vector<uint8_t>& out);
bool WriteFileBytes(const std::string& hostPath, const std::vector<uint8_t>& bytes);

} // namespace platform::image
