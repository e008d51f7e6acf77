#include "platform/image/ImageCodec.h"

#include <png.h>
// jpeglib.h needs size_t and FILE declared first.
#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>
#include <fstream>

namespace platform::image {
namespace {

void SetError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

uint32_t ReadLe32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t ReadLe16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
void PutLe32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}
void PutLe16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

const uint32_t* Row(const uint32_t* argb, int pitch, int y)
{
    return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(argb) + size_t(pitch) * y);
}

struct JpegError {
    jpeg_error_mgr base;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info)
{
    auto* err = reinterpret_cast<JpegError*>(info->err);
    info->err->format_message(info, err->message);
    longjmp(err->jump, 1);
}

void JpegSilence(j_common_ptr, int) {}

// Extracts bits [shift, shift + width) of v and scales them to 8 bits.
uint32_t ScaleMasked(uint32_t v, uint32_t mask)
{
    if (mask == 0)
        return 255;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const uint32_t bits = mask >> shift;
    const uint32_t value = (v & mask) >> shift;
    return bits ? (value * 255 + bits / 2) / bits : 0;
}

} // namespace

ImageFormat DetectImageFormat(const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p)
        return ImageFormat::Unknown;
    if (size >= 8 && png_sig_cmp(p, 0, 8) == 0)
        return ImageFormat::Png;
    if (size >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF)
        return ImageFormat::Jpeg;
    if (size >= 2 && p[0] == 'B' && p[1] == 'M')
        return ImageFormat::Bmp;
    return ImageFormat::Unknown;
}

bool DecodeImage(const void* data, size_t size, Image& out, std::string* error)
{
    switch (DetectImageFormat(data, size)) {
    case ImageFormat::Png: return DecodePng(data, size, out, error);
    case ImageFormat::Jpeg: return DecodeJpeg(data, size, out, error);
    case ImageFormat::Bmp: return DecodeBmp(data, size, out, error);
    default: SetError(error, "unknown image format"); return false;
    }
}

bool DecodePng(const void* data, size_t size, Image& out, std::string* error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        SetError(error, image.message);
        png_image_free(&image);
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > uint32_t(kMaxImageSide)
        || image.height > uint32_t(kMaxImageSide)) {
        SetError(error, "image size out of range");
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA; // little-endian ARGB words
    std::vector<uint32_t> pixels(size_t(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), int(image.width * 4), nullptr)) {
        SetError(error, image.message);
        png_image_free(&image);
        return false;
    }
    out.width = int(image.width);
    out.height = int(image.height);
    out.argb = std::move(pixels);
    return true;
}

bool EncodePng(const uint32_t* argb, int width, int height, int pitch, bool withAlpha, std::vector<uint8_t>& out)
{
    if (!argb || width <= 0 || height <= 0)
        return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = uint32_t(width);
    image.height = uint32_t(height);
    image.format = withAlpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    std::vector<uint8_t> rows(size_t(width) * height * (withAlpha ? 4 : 3));
    uint8_t* dst = rows.data();
    for (int y = 0; y < height; ++y) {
        const uint32_t* src = Row(argb, pitch, y);
        for (int x = 0; x < width; ++x) {
            const uint32_t c = src[x];
            *dst++ = uint8_t(c);
            *dst++ = uint8_t(c >> 8);
            *dst++ = uint8_t(c >> 16);
            if (withAlpha)
                *dst++ = uint8_t(c >> 24);
        }
    }
    png_alloc_size_t bytes = 0;
    if (!png_image_write_to_memory(&image, nullptr, &bytes, 0, rows.data(), 0, nullptr))
        return false;
    const size_t start = out.size();
    out.resize(start + bytes);
    if (!png_image_write_to_memory(&image, out.data() + start, &bytes, 0, rows.data(), 0, nullptr)) {
        out.resize(start);
        return false;
    }
    out.resize(start + bytes);
    return true;
}

bool DecodeJpeg(const void* data, size_t size, Image& out, std::string* error)
{
    jpeg_decompress_struct info;
    JpegError err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = JpegErrorExit;
    err.base.emit_message = JpegSilence;
    std::vector<uint32_t> pixels;
    if (setjmp(err.jump)) {
        SetError(error, err.message);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, static_cast<const unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > unsigned(kMaxImageSide)
        || info.image_height > unsigned(kMaxImageSide)) {
        SetError(error, "image size out of range");
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    pixels.assign(size_t(info.output_width) * info.output_height, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels.data() + size_t(info.output_scanline) * info.output_width);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    out.width = int(info.output_width);
    out.height = int(info.output_height);
    jpeg_destroy_decompress(&info);
    for (uint32_t& p : pixels)
        p |= 0xFF000000u;
    out.argb = std::move(pixels);
    return true;
}

bool EncodeJpeg(const uint32_t* argb, int width, int height, int pitch, int quality, std::vector<uint8_t>& out)
{
    if (!argb || width <= 0 || height <= 0)
        return false;
    jpeg_compress_struct info;
    JpegError err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = JpegErrorExit;
    err.base.emit_message = JpegSilence;
    unsigned char* buffer = nullptr;
    unsigned long bytes = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&info);
        free(buffer);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &bytes);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality < 1 ? 1 : (quality > 100 ? 100 : quality), TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(Row(argb, pitch, int(info.next_scanline))));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    out.insert(out.end(), buffer, buffer + bytes);
    jpeg_destroy_compress(&info);
    free(buffer);
    return true;
}

bool DecodeBmp(const void* data, size_t size, Image& out, std::string* error)
{
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p || size < 54 || p[0] != 'B' || p[1] != 'M') {
        SetError(error, "not a BMP file");
        return false;
    }
    const uint32_t dataOffset = ReadLe32(p + 10);
    const uint32_t headerSize = ReadLe32(p + 14);
    if (headerSize < 40 || 14 + uint64_t(headerSize) > size) {
        SetError(error, "unsupported BMP header");
        return false;
    }
    const int32_t width = int32_t(ReadLe32(p + 18));
    const int32_t rawHeight = int32_t(ReadLe32(p + 22));
    const uint16_t bpp = ReadLe16(p + 28);
    const uint32_t compression = ReadLe32(p + 30);
    uint32_t colours = ReadLe32(p + 46);
    const bool topDown = rawHeight < 0;
    const int64_t height = topDown ? -int64_t(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) {
        SetError(error, "image size out of range");
        return false;
    }
    uint32_t masks[4] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0};
    if (bpp == 16)
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (compression == 3) { // bit fields
        if (bpp != 16 && bpp != 32) {
            SetError(error, "unsupported BMP bit fields");
            return false;
        }
        const size_t at = headerSize >= 52 ? 14 + 40 : 14 + headerSize;
        if (at + 12 > size) {
            SetError(error, "truncated BMP");
            return false;
        }
        masks[0] = ReadLe32(p + at);
        masks[1] = ReadLe32(p + at + 4);
        masks[2] = ReadLe32(p + at + 8);
        masks[3] = (headerSize >= 56 && at + 16 <= size) ? ReadLe32(p + at + 12) : 0;
    } else if (compression != 0) {
        SetError(error, "compressed BMP not supported");
        return false;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        SetError(error, "unsupported BMP depth");
        return false;
    }
    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        if (colours == 0 || colours > (1u << bpp))
            colours = 1u << bpp;
        const size_t at = 14 + headerSize;
        if (at + size_t(colours) * 4 > size) {
            SetError(error, "truncated BMP palette");
            return false;
        }
        for (uint32_t i = 0; i < colours; ++i)
            palette.push_back(0xFF000000u | (ReadLe32(p + at + i * 4) & 0xFFFFFFu));
    }
    const uint64_t stride = ((uint64_t(width) * bpp + 31) / 32) * 4;
    if (dataOffset > size || stride * height > size - dataOffset) {
        SetError(error, "truncated BMP pixels");
        return false;
    }
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* row = p + dataOffset + stride * (topDown ? y : height - 1 - y);
        uint32_t* dst = pixels.data() + size_t(y) * width;
        for (int32_t x = 0; x < width; ++x) {
            switch (bpp) {
            case 1:
            case 4:
            case 8: {
                const uint32_t bitPos = uint32_t(x) * bpp;
                const uint32_t byte = row[bitPos / 8];
                const uint32_t index = (byte >> (8 - bpp - bitPos % 8)) & ((1u << bpp) - 1);
                dst[x] = index < palette.size() ? palette[index] : 0xFF000000u;
                break;
            }
            case 24:
                dst[x] = 0xFF000000u | (uint32_t(row[x * 3 + 2]) << 16) | (uint32_t(row[x * 3 + 1]) << 8) | row[x * 3];
                break;
            case 16:
            case 32: {
                const uint32_t v = bpp == 16 ? ReadLe16(row + x * 2) : ReadLe32(row + x * 4);
                const uint32_t a = masks[3] ? ScaleMasked(v, masks[3]) : 255;
                dst[x] = (a << 24) | (ScaleMasked(v, masks[0]) << 16) | (ScaleMasked(v, masks[1]) << 8)
                         | ScaleMasked(v, masks[2]);
                break;
            }
            }
        }
    }
    out.width = width;
    out.height = int(height);
    out.argb = std::move(pixels);
    return true;
}

bool EncodeBmp(const uint32_t* argb, int width, int height, int pitch, std::vector<uint8_t>& out)
{
    if (!argb || width <= 0 || height <= 0)
        return false;
    const uint32_t imageSize = uint32_t(width) * uint32_t(height) * 4;
    out.reserve(out.size() + 54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    PutLe32(out, imageSize + 54);
    PutLe32(out, 0);
    PutLe32(out, 54);
    PutLe32(out, 40);
    PutLe32(out, uint32_t(width));
    PutLe32(out, uint32_t(height));
    PutLe16(out, 1);
    PutLe16(out, 32);
    PutLe32(out, 0);
    PutLe32(out, imageSize);
    for (int i = 0; i < 4; ++i)
        PutLe32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const uint8_t*>(Row(argb, pitch, y));
        out.insert(out.end(), row, row + size_t(width) * 4);
    }
    return true;
}

bool ReadFileBytes(const std::string& hostPath, std::vector<uint8_t>& out)
{
    std::ifstream in(hostPath, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return false;
    in.seekg(0, std::ios::beg);
    out.resize(size_t(size));
    return size == 0 || bool(in.read(reinterpret_cast<char*>(out.data()), size));
}

bool WriteFileBytes(const std::string& hostPath, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(hostPath, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

} // namespace platform::image
