#pragma once
// The sky trap (kind 35): the level's sky, an image laid as a grid of textured quads far
// behind the landscape plane (depth -256), blended once over a base colour, tinted, and
// scrolled or turned a little every drawn frame. The landscape draws the first sky trap's
// sky at the start of its frame (SetupWorldMatrix); the trap itself shows only its icon in
// the level editor. An image exactly the landscape's size is cut into 128 x 128 textures and
// does not move.
#include "traps/Trap.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class BaseSurface;
class MemBaseSurface;
struct FloatRect;
namespace gfx {
class VertexBuffer;
}

class SkyTrap : public Trap {
public:
    static constexpr int32_t kKind = 35;
    static constexpr int kTileSize = 128;
    static constexpr int kLargestImage = 512;
    // The smallest texture the sky is laid with, so that a tiny image cannot ask for a grid
    // of millions of cells.
    static constexpr int kSmallestTexture = 64;
    static constexpr float kMotionFactor = 0.03f;
    enum Result : int { kFailed = 0, kDone = 2, kTooBig = 5 };

    SkyTrap();
    ~SkyTrap() override;

    // Prepares the image (blended over the base colour) and the quad grid; 0 when the file
    // cannot be read or a texture made (the sky keeps what it had), 5 for a PNG of more than
    // 512 pixels that is not the landscape's size, 2 when done.
    int SetSkyImage(const std::string& path);
    // Draws the sky with the device's view; moves it on by one drawn frame.
    void DrawSky();
    // The landscape's call before its back tiles: the sky is drawn, the world matrix left
    // as the identity.
    void SetupWorldMatrix() override;

    // While the level editor is open a sky is never copied.
    std::unique_ptr<Trap> Duplicate() const override;
    void ResetRuntime() override;
    void Update() override {}
    // Mode 2 (the editor's map) keeps the icon; any other mode drops it and hides the trap.
    void ResetToStart(int32_t loadMode) override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    // The image tiled behind a level preview.
    AnimSurface* SkyImage() const override;
    void HashState(StateHasher& hasher) const override;

    // The sky's grid projected onto the landscape plane.
    FloatRect PlaneRect() const;
    // "Set rotation center": the clicked world point in tile units of the grid.
    void SetRotationCentre(float px, float py);
    // The grid's cell size and origin in the sky plane (after SetSkyImage).
    float CellWidth() const;
    float CellHeight() const;
    float OriginX() const;
    float OriginY() const;
    bool HasTexture() const { return skyTexture != nullptr; }
    int TileTextureCount() const;
    // The texture's size (0 without one).
    int TextureWidth() const;
    int TextureHeight() const;
    // A texel of the sky texture or of a tile texture (tests).
    uint32_t TexturePixel(int x, int y) const;
    uint32_t TilePixel(int column, int row, int x, int y) const;

    float vx = 0.0f;
    float vy = 0.0f;
    float rot = 0.0f;
    float scrollU = 0.0f;
    float scrollV = 0.0f;
    float angle = 0.0f;
    int32_t tileColumns = 0;
    int32_t tileRows = 0;
    float rx = 1.0f;
    float ry = 1.0f;
    uint32_t lastUpdate = 0;
    std::string sky_image;
    uint32_t sky_base_color = 0xFF000000u;
    float skyDepth = -256.0f;
    float skyScale = 2.0f;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    int LoadTiles(const std::vector<uint32_t>& argb, int width, int height);
    int LoadTexture(const std::vector<uint32_t>& argb, int width, int height);
    void RebuildVertexBuffer();
    void ReleaseTiles();
    void ReleaseVertexBuffer();

    std::unique_ptr<MemBaseSurface> skyTexture;
    std::vector<std::unique_ptr<MemBaseSurface>> skyTiles; // [row * tileColumns + column]
    gfx::VertexBuffer* skyVertexBuffer = nullptr;
    mutable AnimSurface* previewImage = nullptr; // image-cache reference, made on first use
};
