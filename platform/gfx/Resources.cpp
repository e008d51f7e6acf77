#include "platform/gfx/Resources.h"

#include <algorithm>
#include <cstring>

namespace gfx {

bool IntersectRect(RECT* out, const RECT* a, const RECT* b)
{
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (r.left >= r.right || r.top >= r.bottom) {
        *out = RECT{};
        return false;
    }
    *out = r;
    return true;
}

int BytesPerPixel(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_D24S8:
        return 4;
    case D3DFMT_R8G8B8:
        return 3;
    case D3DFMT_R5G6B5:
    case D3DFMT_A4R4G4B4:
        return 2;
    default:
        return 0;
    }
}

uint32_t FvfVertexSize(DWORD fvf)
{
    uint32_t size = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ: size = 12; break;
    case D3DFVF_XYZRHW: size = 16; break;
    default: return 0;
    }
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    size += 8 * ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    return size;
}

static uint32_t Expand4(uint32_t v) { return v * 17; }
static uint32_t Expand5(uint32_t v) { return (v << 3) | (v >> 2); }
static uint32_t Expand6(uint32_t v) { return (v << 2) | (v >> 4); }

D3DCOLOR DecodePixel(D3DFORMAT format, const uint8_t* p)
{
    switch (format) {
    case D3DFMT_A8R8G8B8: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    case D3DFMT_X8R8G8B8: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v | 0xFF000000u;
    }
    case D3DFMT_R8G8B8:
        return 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    case D3DFMT_R5G6B5: {
        const uint32_t v = p[0] | (uint32_t(p[1]) << 8);
        return 0xFF000000u | (Expand5(v >> 11) << 16) | (Expand6((v >> 5) & 63) << 8) | Expand5(v & 31);
    }
    case D3DFMT_A4R4G4B4: {
        const uint32_t v = p[0] | (uint32_t(p[1]) << 8);
        return (Expand4(v >> 12) << 24) | (Expand4((v >> 8) & 15) << 16) | (Expand4((v >> 4) & 15) << 8)
               | Expand4(v & 15);
    }
    default:
        return 0;
    }
}

void EncodePixel(D3DFORMAT format, D3DCOLOR c, uint8_t* p)
{
    const uint32_t a = c >> 24, r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
    switch (format) {
    case D3DFMT_A8R8G8B8:
        std::memcpy(p, &c, 4);
        break;
    case D3DFMT_X8R8G8B8: {
        const uint32_t v = c | 0xFF000000u;
        std::memcpy(p, &v, 4);
        break;
    }
    case D3DFMT_R8G8B8:
        p[0] = uint8_t(b);
        p[1] = uint8_t(g);
        p[2] = uint8_t(r);
        break;
    case D3DFMT_R5G6B5: {
        const uint32_t v = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        break;
    }
    case D3DFMT_A4R4G4B4: {
        const uint32_t v = ((a >> 4) << 12) | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4);
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        break;
    }
    default:
        break;
    }
}

// --- Resource ---------------------------------------------------------------------------

uint32_t Resource::AddRef() { return ++refs_; }

uint32_t Resource::Release()
{
    const uint32_t left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

void Resource::TrackIn(std::shared_ptr<std::atomic<int>> tally)
{
    if (tally_)
        --*tally_;
    tally_ = std::move(tally);
    if (tally_)
        ++*tally_;
}

Resource::~Resource()
{
    if (tally_)
        --*tally_;
}

// --- Surface ----------------------------------------------------------------------------

Surface::Surface(uint32_t width, uint32_t height, D3DFORMAT format, D3DPOOL pool, DWORD usage, Texture* container)
    : width_(width), height_(height), format_(format), pool_(pool), usage_(usage),
      pitch_(static_cast<int>(((width * std::max(1, BytesPerPixel(format))) + 3u) & ~3u)),
      bits_(size_t(pitch_) * height, 0), container_(container)
{
}

uint32_t Surface::AddRef() { return container_ ? container_->AddRef() : Resource::AddRef(); }
uint32_t Surface::Release() { return container_ ? container_->Release() : Resource::Release(); }

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) const
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Format = format_;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = usage_;
    desc->Pool = pool_;
    desc->Width = width_;
    desc->Height = height_;
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    if (!locked || locked_)
        return D3DERR_INVALIDCALL;
    RECT r{0, 0, int32_t(width_), int32_t(height_)};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > int32_t(width_) || rect->bottom > int32_t(height_)
            || rect->left > rect->right || rect->top > rect->bottom)
            return D3DERR_INVALIDCALL;
        r = *rect;
    }
    locked_ = true;
    lockedForWrite_ = (flags & D3DLOCK_READONLY) == 0;
    locked->Pitch = pitch_;
    locked->pBits = bits_.data() + size_t(r.top) * pitch_ + size_t(r.left) * BytesPerPixel(format_);
    return D3D_OK;
}

HRESULT Surface::UnlockRect()
{
    if (!locked_)
        return D3DERR_INVALIDCALL;
    locked_ = false;
    if (lockedForWrite_)
        ++generation_;
    return D3D_OK;
}

D3DCOLOR Surface::ReadPixel(uint32_t x, uint32_t y) const
{
    if (x >= width_ || y >= height_)
        return 0;
    return DecodePixel(format_, bits_.data() + size_t(y) * pitch_ + size_t(x) * BytesPerPixel(format_));
}

void Surface::WritePixel(uint32_t x, uint32_t y, D3DCOLOR argb)
{
    if (x >= width_ || y >= height_)
        return;
    EncodePixel(format_, argb, bits_.data() + size_t(y) * pitch_ + size_t(x) * BytesPerPixel(format_));
    ++generation_;
}

void Surface::MarkModified() { ++generation_; }

// --- Texture ----------------------------------------------------------------------------

Texture::Texture(uint32_t width, uint32_t height, uint32_t levels, D3DFORMAT format, D3DPOOL pool, DWORD usage)
    : format_(format), pool_(pool), usage_(usage)
{
    uint32_t w = width, h = height;
    for (uint32_t i = 0; i < std::max(1u, levels); ++i) {
        levels_.push_back(std::make_unique<Surface>(w, h, format, pool, usage, this));
        if (w == 1 && h == 1)
            break;
        w = std::max(1u, w / 2);
        h = std::max(1u, h / 2);
    }
}

Texture::~Texture() = default;

HRESULT Texture::GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) const
{
    if (level >= levels_.size())
        return D3DERR_INVALIDCALL;
    HRESULT hr = levels_[level]->GetDesc(desc);
    if (SUCCEEDED(hr))
        desc->Type = D3DRTYPE_TEXTURE;
    return hr;
}

HRESULT Texture::LockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    if (level >= levels_.size())
        return D3DERR_INVALIDCALL;
    return levels_[level]->LockRect(locked, rect, flags);
}

HRESULT Texture::UnlockRect(uint32_t level)
{
    if (level >= levels_.size())
        return D3DERR_INVALIDCALL;
    return levels_[level]->UnlockRect();
}

HRESULT Texture::GetSurfaceLevel(uint32_t level, Surface** surface)
{
    if (!surface || level >= levels_.size())
        return D3DERR_INVALIDCALL;
    AddRef();
    *surface = levels_[level].get();
    return D3D_OK;
}

TexelView Texture::View()
{
    Surface& top = *levels_[0];
    TexelView view;
    view.width = int(top.Width());
    view.height = int(top.Height());
    if (format_ == D3DFMT_A8R8G8B8) {
        view.texels = top.Row<uint32_t>(0);
        view.pitch = top.Pitch() / 4;
        return view;
    }
    if (convertedGeneration_ != top.Generation()) {
        converted_.resize(size_t(view.width) * view.height);
        const int bpp = BytesPerPixel(format_);
        for (int y = 0; y < view.height; ++y) {
            const uint8_t* row = top.Row<uint8_t>(uint32_t(y));
            for (int x = 0; x < view.width; ++x)
                converted_[size_t(y) * view.width + x] = DecodePixel(format_, row + size_t(x) * bpp);
        }
        convertedGeneration_ = top.Generation();
    }
    view.texels = converted_.data();
    view.pitch = view.width;
    return view;
}

// --- Buffers and query ------------------------------------------------------------------

VertexBuffer::VertexBuffer(uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : data_(length, 0), usage_(usage), fvf_(fvf), pool_(pool)
{
}

HRESULT VertexBuffer::Lock(uint32_t offset, uint32_t size, void** data, DWORD)
{
    if (!data || locked_ || offset > data_.size() || (size && offset + size > data_.size()))
        return D3DERR_INVALIDCALL;
    locked_ = true;
    *data = data_.data() + offset;
    return D3D_OK;
}

HRESULT VertexBuffer::Unlock()
{
    if (!locked_)
        return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

IndexBuffer::IndexBuffer(uint32_t length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : data_(length, 0), usage_(usage), format_(format), pool_(pool)
{
}

HRESULT IndexBuffer::Lock(uint32_t offset, uint32_t size, void** data, DWORD)
{
    if (!data || locked_ || offset > data_.size() || (size && offset + size > data_.size()))
        return D3DERR_INVALIDCALL;
    locked_ = true;
    *data = data_.data() + offset;
    return D3D_OK;
}

HRESULT IndexBuffer::Unlock()
{
    if (!locked_)
        return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

HRESULT Query::Issue(DWORD flags)
{
    if (flags & D3DISSUE_END)
        issued_ = true;
    return D3D_OK;
}

HRESULT Query::GetData(void* data, uint32_t size, DWORD)
{
    if (!issued_)
        return S_FALSE;
    if (data && size >= 4) {
        const uint32_t signalled = 1;
        std::memcpy(data, &signalled, 4);
    }
    return D3D_OK;
}

} // namespace gfx
