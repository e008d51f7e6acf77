#include "platform/gfx/D3DX.h"

#include "platform/image/ImageCodec.h"

#include <algorithm>

namespace gfx {
namespace {

uint32_t NextPow2(uint32_t v)
{
    uint32_t p = 1;
    while (p < v && p < 0x80000000u)
        p <<= 1;
    return p;
}

uint32_t Average4(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    uint32_t r = 0;
    for (int k = 0; k < 32; k += 8) {
        const uint32_t sum = ((a >> k) & 255) + ((b >> k) & 255) + ((c >> k) & 255) + ((d >> k) & 255);
        r |= ((sum + 2) / 4) << k;
    }
    return r;
}

// Writes ARGB pixels into a level in its own format.
void StoreLevel(Surface& level, const std::vector<uint32_t>& argb, uint32_t width, uint32_t height)
{
    D3DLOCKED_RECT locked;
    if (FAILED(level.LockRect(&locked, nullptr, 0)))
        return;
    const int bpp = BytesPerPixel(level.Format());
    for (uint32_t y = 0; y < height; ++y) {
        auto* row = static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch;
        for (uint32_t x = 0; x < width; ++x)
            EncodePixel(level.Format(), argb[size_t(y) * width + x], row + size_t(x) * bpp);
    }
    level.UnlockRect();
}

void FillMipLevels(Texture& texture, std::vector<uint32_t> pixels, uint32_t width, uint32_t height)
{
    StoreLevel(*texture.Level(0), pixels, width, height);
    for (uint32_t level = 1; level < texture.GetLevelCount(); ++level) {
        const uint32_t w = std::max(1u, width / 2), h = std::max(1u, height / 2);
        std::vector<uint32_t> next(size_t(w) * h);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                const uint32_t x0 = std::min(width - 1, x * 2), x1 = std::min(width - 1, x * 2 + 1);
                const uint32_t y0 = std::min(height - 1, y * 2), y1 = std::min(height - 1, y * 2 + 1);
                next[size_t(y) * w + x] = Average4(pixels[size_t(y0) * width + x0], pixels[size_t(y0) * width + x1],
                                                   pixels[size_t(y1) * width + x0], pixels[size_t(y1) * width + x1]);
            }
        pixels.swap(next);
        width = w;
        height = h;
        StoreLevel(*texture.Level(level), pixels, width, height);
    }
}

HRESULT CopyRegion(Surface* destination, const RECT* destinationRect, const uint8_t* sourceBits,
                   D3DFORMAT sourceFormat, uint32_t sourcePitch, const RECT& sourceRect, D3DCOLOR colourKey)
{
    if (!destination || !sourceBits || BytesPerPixel(sourceFormat) == 0 || BytesPerPixel(destination->Format()) == 0)
        return D3DERR_INVALIDCALL;
    RECT dr{0, 0, int32_t(destination->Width()), int32_t(destination->Height())};
    if (destinationRect) {
        if (destinationRect->left < 0 || destinationRect->top < 0 || destinationRect->right > dr.right
            || destinationRect->bottom > dr.bottom || destinationRect->left >= destinationRect->right
            || destinationRect->top >= destinationRect->bottom)
            return D3DERR_INVALIDCALL;
        dr = *destinationRect;
    }
    const int sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
    const int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    if (sw <= 0 || sh <= 0)
        return D3DERR_INVALIDCALL;
    const int sbpp = BytesPerPixel(sourceFormat), dbpp = BytesPerPixel(destination->Format());
    for (int y = 0; y < dh; ++y) {
        const int sy = sourceRect.top + int(int64_t(y) * sh / dh);
        uint8_t* drow = destination->Row<uint8_t>(uint32_t(dr.top + y));
        const uint8_t* srow = sourceBits + size_t(sy) * sourcePitch;
        for (int x = 0; x < dw; ++x) {
            const int sx = sourceRect.left + int(int64_t(x) * sw / dw);
            D3DCOLOR c = DecodePixel(sourceFormat, srow + size_t(sx) * sbpp);
            if (colourKey != 0 && c == colourKey)
                c = 0;
            EncodePixel(destination->Format(), c, drow + size_t(dr.left + x) * dbpp);
        }
    }
    destination->MarkModified();
    return D3D_OK;
}

} // namespace

HRESULT D3DXCreateTexture(Device* device, uint32_t width, uint32_t height, uint32_t mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, Texture** texture)
{
    if (!device || !texture)
        return D3DERR_INVALIDCALL;
    D3DCAPS9 caps;
    device->GetDeviceCaps(&caps);
    width = std::max(1u, width == D3DX_DEFAULT || width == D3DX_DEFAULT_NONPOW2 ? 256u : width);
    height = std::max(1u, height == D3DX_DEFAULT || height == D3DX_DEFAULT_NONPOW2 ? 256u : height);
    if (caps.TextureCaps & D3DPTEXTURECAPS_POW2) {
        width = NextPow2(width);
        height = NextPow2(height);
    }
    width = std::min(width, caps.MaxTextureWidth);
    height = std::min(height, caps.MaxTextureHeight);
    if (format == D3DFMT_UNKNOWN)
        format = D3DFMT_A8R8G8B8;
    return device->CreateTexture(width, height, mipLevels == D3DX_DEFAULT ? 0 : mipLevels, usage, format, pool, texture);
}

HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, uint32_t size, D3DXIMAGE_INFO* info)
{
    platform::image::Image image;
    if (!info || !platform::image::DecodeImage(data, size, image))
        return D3DXERR_INVALIDDATA;
    *info = D3DXIMAGE_INFO{};
    info->Width = uint32_t(image.width);
    info->Height = uint32_t(image.height);
    switch (platform::image::DetectImageFormat(data, size)) {
    case platform::image::ImageFormat::Jpeg:
        info->ImageFileFormat = D3DXIFF_JPG;
        info->Format = D3DFMT_X8R8G8B8;
        break;
    case platform::image::ImageFormat::Bmp:
        info->ImageFileFormat = D3DXIFF_BMP;
        info->Format = D3DFMT_X8R8G8B8;
        break;
    default:
        info->ImageFileFormat = D3DXIFF_PNG;
        info->Format = D3DFMT_A8R8G8B8;
        break;
    }
    return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(Device* device, const void* data, uint32_t size, uint32_t width,
                                            uint32_t height, uint32_t mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD filter, DWORD, D3DCOLOR colourKey,
                                            D3DXIMAGE_INFO* info, void*, Texture** texture)
{
    if (!device || !texture || !data || size == 0)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    platform::image::Image image;
    if (!platform::image::DecodeImage(data, size, image))
        return D3DXERR_INVALIDDATA;
    D3DXIMAGE_INFO imageInfo;
    D3DXGetImageInfoFromFileInMemory(data, size, &imageInfo);

    D3DCAPS9 caps;
    device->GetDeviceCaps(&caps);
    const bool pow2 = (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
    auto pick = [&](uint32_t requested, int imageSide) {
        uint32_t side = (requested == 0 || requested == D3DX_DEFAULT_NONPOW2) ? uint32_t(imageSide)
                        : requested == D3DX_DEFAULT                            ? NextPow2(uint32_t(imageSide))
                                                                               : requested;
        return pow2 ? NextPow2(side) : side;
    };
    uint32_t texWidth = std::min(pick(width, image.width), caps.MaxTextureWidth);
    uint32_t texHeight = std::min(pick(height, image.height), caps.MaxTextureHeight);
    if (format == D3DFMT_UNKNOWN)
        format = D3DFMT_A8R8G8B8;

    if (colourKey != 0)
        for (uint32_t& p : image.argb)
            if (p == colourKey)
                p = 0;

    std::vector<uint32_t> pixels(size_t(texWidth) * texHeight, 0);
    const bool sameSize = texWidth == uint32_t(image.width) && texHeight == uint32_t(image.height);
    if (sameSize || filter == D3DX_FILTER_NONE) {
        const uint32_t w = std::min(texWidth, uint32_t(image.width)), h = std::min(texHeight, uint32_t(image.height));
        for (uint32_t y = 0; y < h; ++y)
            std::copy_n(image.argb.data() + size_t(y) * image.width, w, pixels.data() + size_t(y) * texWidth);
    } else {
        for (uint32_t y = 0; y < texHeight; ++y)
            for (uint32_t x = 0; x < texWidth; ++x)
                pixels[size_t(y) * texWidth + x]
                    = image.argb[size_t(uint64_t(y) * image.height / texHeight) * image.width
                                 + size_t(uint64_t(x) * image.width / texWidth)];
    }

    Texture* created = nullptr;
    const HRESULT hr = device->CreateTexture(texWidth, texHeight, mipLevels == D3DX_DEFAULT ? 0 : mipLevels, usage,
                                             format, pool, &created);
    if (FAILED(hr))
        return hr;
    FillMipLevels(*created, std::move(pixels), texWidth, texHeight);
    if (info) {
        *info = imageInfo;
        info->MipLevels = created->GetLevelCount();
    }
    *texture = created;
    return D3D_OK;
}

HRESULT D3DXLoadSurfaceFromSurface(Surface* destination, const void*, const RECT* destinationRect, Surface* source,
                                   const void*, const RECT* sourceRect, DWORD, D3DCOLOR colourKey)
{
    if (!source)
        return D3DERR_INVALIDCALL;
    RECT sr{0, 0, int32_t(source->Width()), int32_t(source->Height())};
    if (sourceRect) {
        if (sourceRect->left < 0 || sourceRect->top < 0 || sourceRect->right > sr.right || sourceRect->bottom > sr.bottom)
            return D3DERR_INVALIDCALL;
        sr = *sourceRect;
    }
    if (source == destination) {
        // Copy through a snapshot so overlapping rectangles read the original pixels.
        std::vector<uint8_t> copy(source->Bits(), source->Bits() + size_t(source->Pitch()) * source->Height());
        return CopyRegion(destination, destinationRect, copy.data(), source->Format(), uint32_t(source->Pitch()), sr,
                          colourKey);
    }
    return CopyRegion(destination, destinationRect, source->Bits(), source->Format(), uint32_t(source->Pitch()), sr,
                      colourKey);
}

HRESULT D3DXLoadSurfaceFromMemory(Surface* destination, const void*, const RECT* destinationRect,
                                  const void* sourceBits, D3DFORMAT sourceFormat, uint32_t sourcePitch, const void*,
                                  const RECT* sourceRect, DWORD, D3DCOLOR colourKey)
{
    if (!sourceRect)
        return D3DERR_INVALIDCALL;
    return CopyRegion(destination, destinationRect, static_cast<const uint8_t*>(sourceBits), sourceFormat, sourcePitch,
                      *sourceRect, colourKey);
}

} // namespace gfx
