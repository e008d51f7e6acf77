#pragma once
// The landscape's tile textures on the graphics device: per tile slot a front and a back
// texture of 128 x 128 in the landscape's texture format, filled from the tile store and
// filled again whenever the tile's revision or drawing alpha moved on. Managed textures:
// they survive a device reset. Main thread only.
#include "platform/gfx/D3DTypes.h"
#include "platform/gfx/Resources.h"

#include <cstdint>
#include <vector>

class TileStore;
namespace gfx {
class Device;
}

class TileTextures {
public:
    explicit TileTextures(gfx::D3DFORMAT format) : format_(format) {}

    // The tile's texture, filled first when it is out of date; null when the tile has no
    // front (back) colours, the slot is out of range or no texture can be made.
    gfx::Texture* Front(gfx::Device* device, const TileStore& store, int slot);
    gfx::Texture* Back(gfx::Device* device, const TileStore& store, int slot);
    // How many times tiles were filled (tests and benchmarks).
    uint64_t Uploads() const { return uploads_; }
    void Clear() { tiles_.clear(); }

private:
    struct Layer {
        gfx::Ref<gfx::Texture> texture;
        uint32_t revision = 0;
        uint8_t alpha = 0;
        bool filled = false;
    };
    struct Tile {
        Layer front, back;
    };
    gfx::Texture* Refresh(gfx::Device* device, Layer& layer, const uint32_t* colours, uint32_t revision,
                          uint8_t alpha);

    gfx::D3DFORMAT format_;
    std::vector<Tile> tiles_;
    uint64_t uploads_ = 0;
};
