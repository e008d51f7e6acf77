#pragma once
// Texture creation and surface copy helpers beside the device, shaped like D3DX.

#include "platform/gfx/Device.h"

namespace gfx {

constexpr uint32_t D3DX_DEFAULT = 0xFFFFFFFFu;         // sizes: next power of two; levels: full chain
constexpr uint32_t D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFEu;  // sizes: the image's own (rounded up when the adapter needs powers of two)
constexpr DWORD D3DX_FILTER_NONE = 1;                   // no scaling: the image lands at the top-left corner
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;

enum D3DXIMAGE_FILEFORMAT : uint32_t { D3DXIFF_BMP = 0, D3DXIFF_JPG = 1, D3DXIFF_PNG = 3 };

struct D3DXIMAGE_INFO {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t Depth = 1;
    uint32_t MipLevels = 1;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    D3DRESOURCETYPE ResourceType = D3DRTYPE_TEXTURE;
    D3DXIMAGE_FILEFORMAT ImageFileFormat = D3DXIFF_PNG;
};

// Creates a texture, rounding the size up to powers of two when the adapter requires it
// and clamping it to the adapter's maximum. mipLevels 0 or D3DX_DEFAULT: full chain.
HRESULT D3DXCreateTexture(Device* device, uint32_t width, uint32_t height, uint32_t mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, Texture** texture);

// Decodes a PNG, JPEG or BMP file held in memory into a new texture. Pixels equal to
// colourKey (full ARGB compare; 0 = no key) become transparent black. A texture larger
// than the image holds it at its top-left corner with D3DX_FILTER_NONE (the rest is
// transparent black) and scaled to fill it otherwise. Lower levels are 2x2 averages.
// A file that does not decode gives D3DXERR_INVALIDDATA.
HRESULT D3DXCreateTextureFromFileInMemoryEx(Device* device, const void* data, uint32_t size, uint32_t width,
                                            uint32_t height, uint32_t mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colourKey,
                                            D3DXIMAGE_INFO* info, void* palette, Texture** texture);
HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, uint32_t size, D3DXIMAGE_INFO* info);

// Copies (and converts, and with a size change scales by nearest texel) a rectangle of one
// surface into a rectangle of another; null rectangles mean the whole surface.
HRESULT D3DXLoadSurfaceFromSurface(Surface* destination, const void* destinationPalette, const RECT* destinationRect,
                                   Surface* source, const void* sourcePalette, const RECT* sourceRect, DWORD filter,
                                   D3DCOLOR colourKey);
// The same from pixels in memory (srcPitch bytes a row).
HRESULT D3DXLoadSurfaceFromMemory(Surface* destination, const void* destinationPalette, const RECT* destinationRect,
                                  const void* sourceBits, D3DFORMAT sourceFormat, uint32_t sourcePitch,
                                  const void* sourcePalette, const RECT* sourceRect, DWORD filter, D3DCOLOR colourKey);

} // namespace gfx
