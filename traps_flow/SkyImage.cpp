// Preparing the sky: reading its image, blending it over the base colour into one texture
// (or 128 x 128 tiles for an image of the landscape's size) and building its quad grid.
#include "traps_flow/SkyTrap.h"

#include "app/FileManager.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "game/GameController.h"
#include "media/DXManager.h"
#include "media/ImageCache.h"
#include "media/Surface.h"
#include "platform/gfx/D3DX.h"
#include "platform/gfx/Device.h"
#include "platform/image/ImageCodec.h"
#include "world/Landscape.h"
#include "world/TileQuads.h"
#include "world/WorldServices.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr gfx::DWORD kSkyFvf = gfx::D3DFVF_XYZ | gfx::D3DFVF_DIFFUSE | gfx::D3DFVF_TEX1;

// A pixel blended over the (opaque) base colour: each channel in its place, alpha 255.
uint32_t OverBase(uint32_t pixel, uint32_t base)
{
    const float a = static_cast<float>(pixel >> 24) / 255.0f;
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const float c = static_cast<float>((pixel >> shift) & 0xFFu);
        const float b = static_cast<float>((base >> shift) & 0xFFu);
        out |= static_cast<uint32_t>(static_cast<int>(c * a + b * (1.0f - a))) << shift;
    }
    return out;
}

int PowerOfTwoAtLeast(int value)
{
    int p = 1;
    while (p < value && p < (1 << 14))
        p <<= 1;
    return p;
}

void LandscapeSize(int& width, int& height)
{
    const Landscape* land = GameLandscape();
    width = land ? land->Width() : 0;
    height = land ? land->Height() : 0;
}

// Writes the pixels (a width x height block of the image, row pitch `imageWidth`) into a
// locked texture.
void CopyPixels(const gfx::D3DLOCKED_RECT& locked, const uint32_t* pixels, int imageWidth, int width, int height)
{
    for (int y = 0; y < height; ++y)
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch, pixels + size_t(y) * imageWidth,
                    size_t(width) * 4);
}

} // namespace

int SkyTrap::SetSkyImage(const std::string& path)
{
    platform::image::Image image;
    bool read = IsConfinedRelativePath(path);
    if (read) {
        FileHandle file = FileHandle::FromString(path);
        const uint8_t* data = file.IsOpen() ? file.ReadAll() : nullptr;
        read = data && platform::image::DecodeImage(data, size_t(file.Size()), image) && image.width > 0 &&
               image.height > 0;
    }
    if (!read) {
        WriteLog("[SetSkyImage] Could not open %s\n", path.c_str());
        return kFailed;
    }
    std::vector<uint32_t> blended(image.argb.size());
    for (size_t i = 0; i < blended.size(); ++i)
        blended[i] = OverBase(image.argb[i], sky_base_color);
    int landWidth = 0, landHeight = 0;
    LandscapeSize(landWidth, landHeight);
    const bool jpeg = ToLowerAscii(path).find(".jpg") != std::string::npos;
    int result = kFailed;
    if (!jpeg && image.width == landWidth && image.height == landHeight) {
        result = LoadTiles(blended, image.width, image.height);
    } else if (!jpeg && (image.width > kLargestImage || image.height > kLargestImage)) {
        Controller().messages.Add(TranslateText("Sky texture might be a tile, but it's too big."), -2);
        return kTooBig;
    } else {
        result = LoadTexture(blended, image.width, image.height);
    }
    if (result != kDone)
        return result;
    sky_image = path;
    if (previewImage) {
        ImageCache::ReleaseImage(previewImage);
        previewImage = nullptr;
    }
    RebuildVertexBuffer();
    return kDone;
}

int SkyTrap::LoadTiles(const std::vector<uint32_t>& argb, int width, int height)
{
    const int columns = (width + kTileSize - 1) / kTileSize, rows = (height + kTileSize - 1) / kTileSize;
    std::vector<std::unique_ptr<MemBaseSurface>> tiles;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            auto tile = std::make_unique<MemBaseSurface>();
            if (tile->Create(kTileSize, kTileSize) != 0)
                return kFailed; // logged by Create; the sky keeps what it had
            gfx::D3DLOCKED_RECT locked;
            if (tile->Lock(locked)) {
                std::vector<uint32_t> block(size_t(kTileSize) * kTileSize, 0xFF000000u | (sky_base_color & 0xFFFFFFu));
                const int w = std::min(kTileSize, width - column * kTileSize);
                const int h = std::min(kTileSize, height - row * kTileSize);
                for (int y = 0; y < h; ++y)
                    std::memcpy(&block[size_t(y) * kTileSize],
                                &argb[size_t(row * kTileSize + y) * size_t(width) + size_t(column * kTileSize)],
                                size_t(w) * 4);
                CopyPixels(locked, block.data(), kTileSize, kTileSize, kTileSize);
                tile->Unlock();
            }
            tiles.push_back(std::move(tile));
        }
    skyTexture.reset();
    skyTiles = std::move(tiles);
    tileColumns = columns;
    tileRows = rows;
    return kDone;
}

int SkyTrap::LoadTexture(const std::vector<uint32_t>& argb, int width, int height)
{
    auto loaded = std::make_unique<MemBaseSurface>();
    if (loaded->Create(width, height) != 0)
        return kFailed;
    gfx::D3DLOCKED_RECT locked;
    if (loaded->Lock(locked)) {
        CopyPixels(locked, argb.data(), width, width, height);
        loaded->Unlock();
    } else {
        WriteLog("Unable to blend sky trap image\n");
    }
    // The sky is laid with a texture of powers of two (at least kSmallestTexture a side), the
    // image stretched into it.
    const int w = std::max(PowerOfTwoAtLeast(width), kSmallestTexture);
    const int h = std::max(PowerOfTwoAtLeast(height), kSmallestTexture);
    if (w != width || h != height) {
        auto stretched = std::make_unique<MemBaseSurface>();
        gfx::Surface* target = nullptr;
        gfx::Surface* source = nullptr;
        if (stretched->Create(w, h) == 0 && gfx::SUCCEEDED(stretched->texture->GetSurfaceLevel(0, &target)) &&
            gfx::SUCCEEDED(loaded->texture->GetSurfaceLevel(0, &source)) &&
            gfx::SUCCEEDED(gfx::D3DXLoadSurfaceFromSurface(target, nullptr, nullptr, source, nullptr, nullptr,
                                                      gfx::D3DX_DEFAULT, 0)))
            loaded = std::move(stretched);
        if (target)
            target->Release();
        if (source)
            source->Release();
    }
    ReleaseTiles();
    skyTexture = std::move(loaded);
    return kDone;
}

void SkyTrap::ReleaseTiles()
{
    skyTiles.clear();
}

void SkyTrap::ReleaseVertexBuffer()
{
    if (skyVertexBuffer) {
        skyVertexBuffer->Release();
        skyVertexBuffer = nullptr;
    }
}

float SkyTrap::CellWidth() const
{
    return static_cast<float>(skyTexture ? skyTexture->width : kTileSize) * skyScale;
}

float SkyTrap::CellHeight() const
{
    return static_cast<float>(skyTexture ? skyTexture->height : kTileSize) * skyScale;
}

float SkyTrap::OriginX() const
{
    const float w = static_cast<float>(skyTexture ? skyTexture->width : kTileSize);
    return -(static_cast<float>(tileColumns) * w * skyScale - static_cast<float>(tileColumns) * w) / 2.0f;
}

float SkyTrap::OriginY() const
{
    const float h = static_cast<float>(skyTexture ? skyTexture->height : kTileSize);
    return -(static_cast<float>(tileRows) * h * skyScale - static_cast<float>(tileRows) * h) / 2.0f;
}

void SkyTrap::RebuildVertexBuffer()
{
    ReleaseVertexBuffer();
    int landWidth = 0, landHeight = 0;
    LandscapeSize(landWidth, landHeight);
    if (skyTexture) {
        tileColumns = landWidth / std::max(1, skyTexture->width) + 1;
        tileRows = landHeight / std::max(1, skyTexture->height) + 1;
    }
    const char* createError = skyTexture ? "Couldn't create sky vertex buffer" : "Couldn't create landscape vertex buffer";
    const char* lockError =
        skyTexture ? "Couldn't lock sky vertex buffer\n" : "Couldn't lock back vertex buffer for landscape\n";
    const uint32_t length = static_cast<uint32_t>(tileColumns * tileRows) * kVerticesPerTile * sizeof(TileVertex);
    gfx::HRESULT hr = gfx::D3DERR_INVALIDCALL;
    if (length == 0) {
        hr = gfx::D3DERR_INVALIDCALL;
    } else if (gfx::Device* device = DXManager::GetDevice()) {
        hr = device->CreateVertexBuffer(length, gfx::D3DUSAGE_WRITEONLY, kSkyFvf, gfx::D3DPOOL_MANAGED,
                                        &skyVertexBuffer, nullptr);
    } else {
        skyVertexBuffer = new gfx::VertexBuffer(length, gfx::D3DUSAGE_WRITEONLY, kSkyFvf, gfx::D3DPOOL_MANAGED);
        hr = gfx::D3D_OK;
    }
    if (gfx::FAILED(hr) || !skyVertexBuffer) {
        skyVertexBuffer = nullptr;
        WriteLog("%s\n", createError);
        WriteLog("ERROR: %s\n", skyTexture ? "sky vertex buffer" : "landscape vertex buffer");
        return;
    }
    void* data = nullptr;
    if (gfx::FAILED(skyVertexBuffer->Lock(0, 0, &data, 0)) || !data) {
        WriteLog("%s", lockError);
        return;
    }
    auto* vertices = static_cast<TileVertex*>(data);
    BuildTileQuads(vertices, tileColumns, tileRows, CellWidth(), CellHeight(), OriginX(), OriginY(), 1.0f, 1.0f);
    for (size_t i = 0; i < size_t(tileColumns) * size_t(tileRows) * kVerticesPerTile; ++i)
        vertices[i].z = skyDepth;
    skyVertexBuffer->Unlock();
}

int SkyTrap::TileTextureCount() const
{
    return static_cast<int>(skyTiles.size());
}

int SkyTrap::TextureWidth() const
{
    return skyTexture ? skyTexture->width : 0;
}

int SkyTrap::TextureHeight() const
{
    return skyTexture ? skyTexture->height : 0;
}

namespace {

uint32_t ReadTexel(MemBaseSurface* surface, int x, int y)
{
    gfx::D3DLOCKED_RECT locked;
    if (!surface || x < 0 || y < 0 || x >= surface->width || y >= surface->height || !surface->Lock(locked))
        return 0;
    uint32_t pixel = 0;
    std::memcpy(&pixel, static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch + size_t(x) * 4, 4);
    surface->Unlock();
    return pixel;
}

} // namespace

uint32_t SkyTrap::TexturePixel(int x, int y) const
{
    return ReadTexel(skyTexture.get(), x, y);
}

uint32_t SkyTrap::TilePixel(int column, int row, int x, int y) const
{
    if (column < 0 || row < 0 || column >= tileColumns || row >= tileRows)
        return 0;
    const size_t index = size_t(row) * size_t(tileColumns) + size_t(column);
    return index < skyTiles.size() ? ReadTexel(skyTiles[index].get(), x, y) : 0;
}
