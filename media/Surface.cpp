#include "media/Surface.h"

#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "media/Draw2D.h"
#include "platform/gfx/D3DX.h"

#include <algorithm>
#include <memory>

using namespace gfx;

namespace {
constexpr const char* kDefaultImage = "Graphics\\default.png";
}

BaseSurface::BaseSurface() { DXManager::RegisterDeviceObject(this); }

BaseSurface::~BaseSurface()
{
    DXManager::UnregisterDeviceObject(this);
    SetTexture(nullptr);
}

void BaseSurface::SetTexture(Texture* newTexture)
{
    if (texture)
        texture->Release();
    texture = newTexture;
}

void BaseSurface::CopyFrom(const BaseSurface& source)
{
    if (source.texture)
        source.texture->AddRef();
    SetTexture(source.texture);
    width = source.width;
    height = source.height;
    alpha = source.alpha;
    colour = source.colour;
    scaleX = source.scaleX;
    scaleY = source.scaleY;
    centreX = source.centreX;
    centreY = source.centreY;
    rotation = source.rotation;
}

HRESULT BaseSurface::DrawRect(float x, float y, const RECT* sourceRect)
{
    RECT whole{0, 0, width, height};
    return Draw2D::DrawTexturedQuad(texture, sourceRect ? sourceRect : &whole, x, y, scaleX, scaleY, centreX,
                                    centreY, rotation, DrawColour());
}

HRESULT BaseSurface::DrawRectSimple(float x, float y, const RECT* sourceRect)
{
    RECT whole{0, 0, width, height};
    return Draw2D::DrawTexturedQuadSimple(texture, sourceRect ? sourceRect : &whole, x, y, scaleX, scaleY, centreX,
                                          centreY, rotation, DrawColour());
}

void ClampTextureEdges(Texture* texture, int width, int height)
{
    D3DSURFACE_DESC desc;
    if (!texture || width <= 0 || height <= 0 || FAILED(texture->GetLevelDesc(0, &desc)))
        return;
    const int tw = int(desc.Width), th = int(desc.Height);
    if (tw <= width && th <= height)
        return;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) {
        WriteLog("Could not Lock texture for Clamp Edges!!\n");
        return;
    }
    auto row = [&](int y) { return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch); };
    const int cw = std::min(width + 2, tw), ch = std::min(height + 2, th);
    const int lastRow = std::min(height, th) - 1;
    for (int y = 0; y < ch; ++y) {
        uint32_t* pixels = row(y);
        for (int x = width; x < cw; ++x)
            pixels[x] = pixels[std::min(width, tw) - 1];
    }
    for (int y = height; y < ch; ++y)
        std::copy_n(row(lastRow), cw, row(y));
    texture->UnlockRect(0);
}

int BitmapBaseSurface::LoadFromMemory(const void* data, size_t size, const std::string& fileName, D3DCOLOR colourKey)
{
    D3DXIMAGE_INFO info;
    Texture* created = nullptr;
    auto deviceLock = DXManager::LockDevice();
    HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
        DXManager::GetDevice(), data, uint32_t(size), D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 3, 0,
        D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, colourKey, &info, nullptr, &created);
    if (FAILED(hr) || !created) {
        switch (hr) {
        case D3DERR_INVALIDCALL: WriteLog("Invalid Call\n"); break;
        case D3DERR_NOTAVAILABLE: WriteLog("not available\n"); break;
        case D3DERR_OUTOFVIDEOMEMORY: WriteLog("out of vid memory\n"); break;
        case D3DXERR_INVALIDDATA: WriteLog("invalid DATA\n"); break;
        case E_OUTOFMEMORY: WriteLog("out of E memory\n"); break;
        default: break;
        }
        throw GameException("Could not create surface\n");
    }
    SetTexture(created);
    width = int32_t(info.Width);
    height = int32_t(info.Height);
    ClampTextureEdges(texture, width, height);
    name = fileName;
    return 0;
}

int BitmapBaseSurface::Load(const std::string& fileName, D3DCOLOR colourKey, bool useDefault)
{
    std::string used = fileName;
    FileHandle file = FileHandle::FromString(fileName);
    if (!file.IsOpen()) {
        if (!useDefault) {
            WriteLog("Bitmap %s not found\n", fileName.c_str());
            return -1;
        }
        WriteLog("BitmapBaseSurface: WARNING - Could not load the bitmap %s, using default\n", fileName.c_str());
        used = kDefaultImage;
        file = FileHandle::FromString(used);
    }
    const uint8_t* bytes = file.ReadAll();
    const size_t size = bytes ? size_t(file.Size()) : 0;
    return LoadFromMemory(bytes, size, used, colourKey);
}

ISurface* BitmapBaseSurface::Duplicate() const
{
    auto* copy = new BitmapBaseSurface;
    copy->CopyFrom(*this);
    copy->name = name;
    return copy;
}

MemBaseSurface::MemBaseSurface()
{
    width = -1;
    height = -1;
}

int MemBaseSurface::Create(int w, int h, D3DFORMAT format)
{
    Texture* created = nullptr;
    const auto deviceLock = DXManager::LockDevice();
    if (w <= 0 || h <= 0 ||
        FAILED(D3DXCreateTexture(DXManager::GetDevice(), uint32_t(w), uint32_t(h), 1, 0, format, D3DPOOL_MANAGED,
                                 &created)) ||
        !created) {
        WriteLog("Failed to create memory texture\n");
        return -1;
    }
    SetTexture(created);
    width = w;
    height = h;
    return 0;
}

bool MemBaseSurface::Lock(D3DLOCKED_RECT& locked)
{
    return texture && !FAILED(texture->LockRect(0, &locked, nullptr, 0));
}

void MemBaseSurface::Unlock()
{
    if (texture)
        texture->UnlockRect(0);
}

ISurface* MemBaseSurface::Duplicate() const
{
    auto* copy = new MemBaseSurface;
    copy->CopyFrom(*this);
    copy->name = name;
    return copy;
}

BitmapBaseSurface* CreateBitmapSurface(const std::string& fileName)
{
    auto surface = std::make_unique<BitmapBaseSurface>();
    try {
        if (surface->Load(fileName, 0, true) != 0)
            return nullptr;
    } catch (const std::exception& e) {
        WriteLog("CreateBitmapSurface: <%s> - %s", fileName.c_str(), e.what());
        return nullptr;
    }
    return surface.release();
}
