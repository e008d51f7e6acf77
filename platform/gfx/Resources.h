#pragma once
// Reference-counted device resources: surfaces, textures, vertex and index buffers and
// the end-of-frame query.
//
// Every resource starts with one reference, held by whoever created it. AddRef/Release
// count references; the last Release deletes the object. `Ref<T>` holds one reference
// RAII-style. The device holds its own references to what is bound to it, so a texture
// released by its owner while still set on the device stays valid until unbound.
//
// Resources of D3DPOOL_DEFAULT (and the back buffer while someone holds it) must all be
// released before Device::Reset, as on the hardware device; managed and system-memory
// resources survive a reset.

#include "platform/gfx/D3DTypes.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace gfx {

class Device;

class Resource {
public:
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    virtual uint32_t AddRef();
    virtual uint32_t Release();
    uint32_t RefCount() const { return refs_.load(); }

    // Counts this resource in a device's tally of objects that block a reset.
    void TrackIn(std::shared_ptr<std::atomic<int>> tally);

protected:
    Resource() = default;
    virtual ~Resource();

private:
    std::atomic<uint32_t> refs_{1};
    std::shared_ptr<std::atomic<int>> tally_;
};

// Holds one reference. Adopt() takes over a reference (as returned by Create calls).
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    explicit Ref(T* adopt) : p_(adopt) {}
    Ref(const Ref& other) : p_(other.p_) { if (p_) p_->AddRef(); }
    Ref(Ref&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ~Ref() { reset(); }
    Ref& operator=(const Ref& other) { Ref(other).swap(*this); return *this; }
    Ref& operator=(Ref&& other) noexcept { Ref(std::move(other)).swap(*this); return *this; }

    static Ref Share(T* p) { if (p) p->AddRef(); return Ref(p); }
    void reset() { if (p_) { T* p = p_; p_ = nullptr; p->Release(); } }
    // Releases what is held and returns the slot for a Create call's out parameter.
    T** out() { reset(); return &p_; }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void swap(Ref& other) noexcept { std::swap(p_, other.p_); }

private:
    T* p_ = nullptr;
};

class Texture;

// A 2-D image: a texture level, a render target, an off-screen plain surface or the
// depth-stencil buffer (D24S8: depth in the low 24 bits, stencil in the top byte).
// A texture level counts its references on its texture.
class Surface : public Resource {
public:
    Surface(uint32_t width, uint32_t height, D3DFORMAT format, D3DPOOL pool, DWORD usage,
            Texture* container = nullptr);

    uint32_t AddRef() override;
    uint32_t Release() override;

    HRESULT GetDesc(D3DSURFACE_DESC* desc) const;
    // Locks a rectangle (whole surface when null). Fails when already locked or when the
    // rectangle lies outside the surface.
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT UnlockRect();
    bool IsLocked() const { return locked_; }

    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    D3DFORMAT Format() const { return format_; }
    D3DPOOL Pool() const { return pool_; }
    DWORD Usage() const { return usage_; }
    int Pitch() const { return pitch_; }
    uint8_t* Bits() { return bits_.data(); }
    const uint8_t* Bits() const { return bits_.data(); }
    template <class P> P* Row(uint32_t y) { return reinterpret_cast<P*>(bits_.data() + size_t(y) * pitch_); }
    template <class P> const P* Row(uint32_t y) const { return reinterpret_cast<const P*>(bits_.data() + size_t(y) * pitch_); }
    Texture* Container() const { return container_; }

    // Pixel (x, y) as ARGB whatever the format (X8 reads alpha 255).
    D3DCOLOR ReadPixel(uint32_t x, uint32_t y) const;
    void WritePixel(uint32_t x, uint32_t y, D3DCOLOR argb);
    // Notes a change of the pixels made without a lock (drawing into a render target).
    void MarkModified();
    uint64_t Generation() const { return generation_; }

private:
    uint32_t width_, height_;
    D3DFORMAT format_;
    D3DPOOL pool_;
    DWORD usage_;
    int pitch_;
    std::vector<uint8_t> bits_;
    Texture* container_;
    bool locked_ = false;
    bool lockedForWrite_ = false;
    uint64_t generation_ = 0;
};

// What the rasteriser samples: ARGB texels of one level.
struct TexelView {
    const uint32_t* texels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0; // in texels
};

class Texture : public Resource {
public:
    Texture(uint32_t width, uint32_t height, uint32_t levels, D3DFORMAT format, D3DPOOL pool, DWORD usage);
    ~Texture() override;

    uint32_t GetLevelCount() const { return static_cast<uint32_t>(levels_.size()); }
    HRESULT GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) const;
    HRESULT LockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT UnlockRect(uint32_t level);
    // Hands out one reference to the level's surface.
    HRESULT GetSurfaceLevel(uint32_t level, Surface** surface);
    Surface* Level(uint32_t level) const { return level < levels_.size() ? levels_[level].get() : nullptr; }

    D3DFORMAT Format() const { return format_; }
    D3DPOOL Pool() const { return pool_; }
    DWORD Usage() const { return usage_; }
    // Level 0 as ARGB texels (converted on demand for the formats other than A8R8G8B8).
    TexelView View();

private:
    D3DFORMAT format_;
    D3DPOOL pool_;
    DWORD usage_;
    std::vector<std::unique_ptr<Surface>> levels_;
    std::vector<uint32_t> converted_;
    uint64_t convertedGeneration_ = ~uint64_t(0);
};

class VertexBuffer : public Resource {
public:
    VertexBuffer(uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool);
    // Locks a byte range (size 0 = to the end).
    HRESULT Lock(uint32_t offset, uint32_t size, void** data, DWORD flags);
    HRESULT Unlock();
    uint32_t Length() const { return static_cast<uint32_t>(data_.size()); }
    DWORD Fvf() const { return fvf_; }
    D3DPOOL Pool() const { return pool_; }
    const uint8_t* Data() const { return data_.data(); }

private:
    std::vector<uint8_t> data_;
    DWORD usage_;
    DWORD fvf_;
    D3DPOOL pool_;
    bool locked_ = false;
};

class IndexBuffer : public Resource {
public:
    IndexBuffer(uint32_t length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    HRESULT Lock(uint32_t offset, uint32_t size, void** data, DWORD flags);
    HRESULT Unlock();
    uint32_t Length() const { return static_cast<uint32_t>(data_.size()); }
    D3DFORMAT Format() const { return format_; }
    D3DPOOL Pool() const { return pool_; }
    const uint8_t* Data() const { return data_.data(); }

private:
    std::vector<uint8_t> data_;
    DWORD usage_;
    D3DFORMAT format_;
    D3DPOOL pool_;
    bool locked_ = false;
};

// The end-of-frame query. The software device finishes each draw before returning, so an
// issued query is always signalled.
class Query : public Resource {
public:
    HRESULT Issue(DWORD flags);
    // Writes TRUE (a 32-bit 1) when data is given; S_FALSE before the first Issue.
    HRESULT GetData(void* data, uint32_t size, DWORD flags);

private:
    bool issued_ = false;
};

// Pixel format conversions shared by the device, the D3DX helpers and screenshots.
D3DCOLOR DecodePixel(D3DFORMAT format, const uint8_t* pixel);
void EncodePixel(D3DFORMAT format, D3DCOLOR argb, uint8_t* pixel);

} // namespace gfx
