#include "world/TileStore.h"

#include "app/Log.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

TileStore::TileStore() : tiles_(std::make_unique<Tile[]>(kTileSlots)) {}

TileStore::~TileStore() = default;

int TileStore::Create(int width, int height)
{
    if (suppressed)
        return kCreateSuppressed;
    if (!SetSize(width, height))
        return kCreateRefused;
    created_ = 1;
    SetFrontAlpha(255);
    CreateVertexBuffer();
    return kCreated;
}

bool TileStore::SetSize(int width, int height)
{
    if (width < 1 || height < 1 || width > kMaxLandscapeSize || height > kMaxLandscapeSize) {
        WriteLog("Landscape size %d x %d refused: each side must be 1 to %d pixels\n", width, height,
                 kMaxLandscapeSize);
        return false;
    }
    width_ = width;
    height_ = height;
    // Single precision, as the tile counts always were.
    const float step = 0.0078125f;
    tileColumns_ = static_cast<int32_t>(std::ceil(static_cast<float>(width) * step));
    tileRows_ = static_cast<int32_t>(std::ceil(static_cast<float>(height) * step));
    CreateVertexBuffer();
    return true;
}

void TileStore::Clear()
{
    FreeTiles();
    ForTouchedSlots([this](int slot) {
        Tile& tile = tiles_[slot];
        tile.back.reset();
        tile.material.reset();
        tile.front.reset();
        ++tile.revision;
    });
    touchedColumns_ = 0;
    touchedRows_ = 0;
    tileColumns_ = 0;
    tileRows_ = 0;
}

void TileStore::FreeTiles()
{
    ForTouchedSlots([this](int slot) {
        tiles_[slot].undoMaterial.Reset();
        tiles_[slot].undoFront.Reset();
    });
}

void TileStore::SetFrontAlpha(uint8_t alpha)
{
    ForTouchedSlots([this, alpha](int slot) {
        if (tiles_[slot].front)
            tiles_[slot].alpha = alpha;
    });
}

void TileStore::Touch(const Tile& tile)
{
    const int slot = static_cast<int>(&tile - tiles_.get());
    touchedColumns_ = std::max(touchedColumns_, slot / kMaxTilesPerAxis + 1);
    touchedRows_ = std::max(touchedRows_, slot % kMaxTilesPerAxis + 1);
}

void TileStore::OnTerrainChanged(int, int, int, int) {}

BashMaskPtr TileStore::LoadPredefinedMask(int, float, int, int)
{
    return nullptr;
}

// --- Tiles --------------------------------------------------------------------------------

const TileStore::Tile* TileStore::TileAt(int slot) const
{
    return slot >= 0 && slot < kTileSlots ? &tiles_[slot] : nullptr;
}

bool TileStore::InGrid(int column, int row) const
{
    return column >= 0 && row >= 0 && column < tileColumns_ && row < tileRows_ && column < kMaxTilesPerAxis &&
           row < kMaxTilesPerAxis;
}

uint8_t TileStore::MaterialAt(int x, int y) const
{
    const uint8_t* map = tiles_[TileSlot(x >> kTileShift, y >> kTileShift)].material.get();
    return map ? map[MaterialIndex(x, y)] : 0;
}

uint32_t TileStore::FrontAt(int x, int y) const
{
    const uint32_t* front = tiles_[TileSlot(x >> kTileShift, y >> kTileShift)].front.get();
    return front ? front[ColourIndex(x, y)] : 0;
}

bool TileStore::MakeTerrain(Tile& tile)
{
    Touch(tile);
    if (!tile.material) {
        tile.material.reset(new (std::nothrow) uint8_t[kTilePixels]);
        if (!tile.material) {
            WriteLog("Failed to create memory texture\n");
            return false;
        }
        std::memset(tile.material.get(), 0, kTilePixels);
    }
    if (!tile.front) {
        tile.front.reset(new (std::nothrow) uint32_t[kTilePixels]);
        if (!tile.front) {
            WriteLogChannel(1, "Failed to create memory texture\n");
            WriteLog("FRONT TEX NOT LOADED!!!!\n");
            tile.material.reset();
            return false;
        }
        std::fill_n(tile.front.get(), kTilePixels, 0u);
        tile.alpha = 255;
    }
    return true;
}

bool TileStore::MakeBack(Tile& tile)
{
    if (tile.back)
        return true;
    Touch(tile);
    tile.back.reset(new (std::nothrow) uint32_t[kTilePixels]);
    if (!tile.back) {
        WriteLogChannel(1, "Failed to create memory texture\n");
        WriteLog("BACK TEX NOT LOADED!!!!\n");
        return false;
    }
    std::fill_n(tile.back.get(), kTilePixels, 0u);
    return true;
}

void TileStore::SaveUndo(Tile& tile)
{
    Touch(tile);
    if (tile.undoMaterial.state == UndoState::None) {
        if (tile.material) {
            tile.undoMaterial.data.reset(new (std::nothrow) uint8_t[kTilePixels]);
            if (tile.undoMaterial.data) {
                std::memcpy(tile.undoMaterial.data.get(), tile.material.get(), kTilePixels);
                tile.undoMaterial.state = UndoState::Saved;
            }
        } else {
            tile.undoMaterial.state = UndoState::HadNone;
        }
    }
    if (tile.undoFront.state == UndoState::None) {
        if (tile.front) {
            tile.undoFront.data.reset(new (std::nothrow) uint32_t[kTilePixels]);
            if (tile.undoFront.data) {
                std::copy_n(tile.front.get(), kTilePixels, tile.undoFront.data.get());
                tile.undoFront.state = UndoState::Saved;
            }
        } else {
            tile.undoFront.state = UndoState::HadNone;
        }
    }
}

const uint8_t* TileStore::MaterialMap(int slot) const
{
    const Tile* tile = TileAt(slot);
    return tile ? tile->material.get() : nullptr;
}

const uint32_t* TileStore::FrontColours(int slot) const
{
    const Tile* tile = TileAt(slot);
    return tile ? tile->front.get() : nullptr;
}

const uint32_t* TileStore::BackColours(int slot) const
{
    const Tile* tile = TileAt(slot);
    return tile ? tile->back.get() : nullptr;
}

uint32_t TileStore::TileRevision(int slot) const
{
    const Tile* tile = TileAt(slot);
    return tile ? tile->revision : 0;
}

uint8_t TileStore::TileAlpha(int slot) const
{
    const Tile* tile = TileAt(slot);
    return tile ? tile->alpha : 0;
}

UndoState TileStore::UndoMaterialState(int slot) const
{
    const Tile* tile = TileAt(slot);
    return tile ? tile->undoMaterial.state : UndoState::None;
}

UndoState TileStore::UndoFrontState(int slot) const
{
    const Tile* tile = TileAt(slot);
    return tile ? tile->undoFront.state : UndoState::None;
}

const uint8_t* TileStore::UndoMaterials(int slot) const
{
    const Tile* tile = TileAt(slot);
    return tile ? tile->undoMaterial.data.get() : nullptr;
}

const uint32_t* TileStore::UndoFront(int slot) const
{
    const Tile* tile = TileAt(slot);
    return tile ? tile->undoFront.data.get() : nullptr;
}

// --- Predefined masks ---------------------------------------------------------------------

int TileStore::PredefinedSlot(int mask, int size, int direction, int flip)
{
    if (mask < 0 || mask >= kPredefinedMaskCount || size < 0 || size > 3 || direction < 0 || direction > 3 ||
        flip < 0 || flip > 1)
        return -1;
    return ((mask * 4 + size) * 4 + direction) * 2 + flip;
}

const BashMask* TileStore::PredefinedMask(int mask, int size, int direction, int flip) const
{
    const int slot = PredefinedSlot(mask, size, direction, flip);
    return slot < 0 ? nullptr : predefinedMasks_[size_t(slot)].get();
}

bool TileStore::SetPredefinedMask(int mask, int size, int direction, int flip, BashMaskPtr built)
{
    const int slot = PredefinedSlot(mask, size, direction, flip);
    if (slot < 0)
        return false;
    predefinedMasks_[size_t(slot)] = std::move(built);
    return true;
}

void TileStore::FreePredefinedMasks()
{
    for (BashMaskPtr& mask : predefinedMasks_)
        mask.reset();
}

// --- State hash ---------------------------------------------------------------------------

namespace {

class Hasher {
public:
    void Add(uint64_t value)
    {
        h_ ^= value;
        h_ *= 0xFF51AFD7ED558CCDull;
        h_ ^= h_ >> 32;
    }
    void AddBytes(const void* data, size_t size)
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            uint64_t word = 0;
            std::memcpy(&word, bytes + i, 8);
            Add(word);
        }
        uint64_t tail = 0;
        std::memcpy(&tail, bytes + i, size - i);
        Add(tail ^ (uint64_t(size - i) << 56));
    }
    uint64_t Value() const { return h_; }

private:
    uint64_t h_ = 0x9E3779B97F4A7C15ull;
};

} // namespace

uint64_t TileStore::StateHash() const
{
    Hasher hash;
    hash.Add(static_cast<uint32_t>(ComputeChecksum()));
    hash.Add(static_cast<uint32_t>(width_));
    hash.Add(static_cast<uint32_t>(height_));
    hash.Add(static_cast<uint32_t>(tileColumns_));
    hash.Add(static_cast<uint32_t>(tileRows_));
    for (int32_t mode : edgeModes)
        hash.Add(static_cast<uint32_t>(mode));
    ForTouchedSlots([&](int slot) {
        const Tile& tile = tiles_[slot];
        const uint32_t present = (tile.material ? 1u : 0u) | (tile.front ? 2u : 0u) | (tile.back ? 4u : 0u);
        if (!present)
            return;
        hash.Add((uint64_t(slot) << 8) | present);
        if (tile.material)
            hash.AddBytes(tile.material.get(), kTilePixels);
        if (tile.front)
            hash.AddBytes(tile.front.get(), kTilePixels * sizeof(uint32_t));
        if (tile.back)
            hash.AddBytes(tile.back.get(), kTilePixels * sizeof(uint32_t));
    });
    return hash.Value();
}
