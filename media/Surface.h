#pragma once
// Surfaces: anything the 2-D renderer can draw at a point of the screen.
//
// BaseSurface keeps a texture and the draw settings (size, alpha and colour, scale, centre,
// rotation). BitmapBaseSurface holds an image file, MemBaseSurface a texture filled by code.
// Every surface is a device object (registered with DXManager while it lives). A duplicate
// shares its source's texture: the texture's own reference count is raised once for each
// holder, and each holder releases its one reference.
#include "media/DXManager.h"
#include "platform/gfx/Resources.h"

#include <cstdint>
#include <string>
#include <utility>

class ISurface {
public:
    virtual std::pair<int, int> GetSize() const = 0;
    virtual gfx::HRESULT Draw(float x, float y) { return DrawRect(x, y, nullptr); }
    virtual ~ISurface() = default;
    // Textured quad with scale, centre, rotation and one colour for the four corners.
    // sourceRect null: the whole image.
    virtual gfx::HRESULT DrawRect(float x, float y, const gfx::RECT* sourceRect) = 0;
    virtual gfx::HRESULT DrawRectSimple(float x, float y, const gfx::RECT* sourceRect) = 0;
    // Null for surfaces without a name.
    virtual const char* GetName() const { return nullptr; }
    virtual ISurface* Duplicate() const = 0;
};

class BaseSurface : public ISurface, public IDeviceObject {
public:
    BaseSurface();
    ~BaseSurface() override;
    BaseSurface(const BaseSurface&) = delete;
    BaseSurface& operator=(const BaseSurface&) = delete;

    std::pair<int, int> GetSize() const override { return {width, height}; }
    gfx::HRESULT DrawRect(float x, float y, const gfx::RECT* sourceRect) override;
    gfx::HRESULT DrawRectSimple(float x, float y, const gfx::RECT* sourceRect) override;

    // Managed textures survive a reset: nothing to give up or rebuild.
    gfx::HRESULT OnDeviceLost() override { return gfx::D3D_OK; }
    void OnDeviceRestored() override {}

    // Alpha in the top byte, the low 24 bits of colour below it.
    gfx::D3DCOLOR DrawColour() const { return (gfx::D3DCOLOR(alpha) << 24) | (colour & 0xFFFFFFu); }
    // Replaces the texture (the surface takes over the caller's reference).
    void SetTexture(gfx::Texture* newTexture);

    gfx::Texture* texture = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t alpha = 255;
    uint32_t colour = 0xFFFFFF;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float centreX = 0.0f;
    float centreY = 0.0f;
    float rotation = 0.0f;

protected:
    // Copies every draw field and shares the texture (one more reference on it).
    void CopyFrom(const BaseSurface& source);
};

class BitmapBaseSurface : public BaseSurface {
public:
    // Loads an image file through the global file manager. 0 on success; -1 when the file is
    // missing and useDefault is false. Throws "Could not create surface\n" when the texture
    // cannot be made. useDefault: a missing file loads "Graphics\default.png" instead.
    int Load(const std::string& fileName, gfx::D3DCOLOR colourKey, bool useDefault);
    // The same from file bytes already in memory; the name is stored as given.
    int LoadFromMemory(const void* data, size_t size, const std::string& name, gfx::D3DCOLOR colourKey);
    const char* GetName() const override { return name.c_str(); }
    ISurface* Duplicate() const override;

    std::string name;
};

class MemBaseSurface : public BaseSurface {
public:
    MemBaseSurface();
    // A managed one-level texture of the size and format. 0, or -1 after logging
    // "Failed to create memory texture\n".
    int Create(int w, int h, gfx::D3DFORMAT format = gfx::D3DFMT_A8R8G8B8);
    // Level 0 of the texture; false without one or when the lock fails.
    bool Lock(gfx::D3DLOCKED_RECT& locked);
    void Unlock();
    const char* GetName() const override { return name.c_str(); }
    ISurface* Duplicate() const override;

    std::string name;
};

// Repeats the image's last column and row into up to two pixels of the texture's unused
// area right of and below a width x height image.
void ClampTextureEdges(gfx::Texture* texture, int width, int height);

// A bitmap surface loaded from the file (the default image when it is missing); null when
// nothing could be loaded.
BitmapBaseSurface* CreateBitmapSurface(const std::string& fileName);
