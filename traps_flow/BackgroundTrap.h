#pragma once
// The background trap (kind 34): one image layer of a level's scenery. A picture (or a sprite
// sheet played at its own rate), optionally blurred and repeated in a grid of tiles, drawn
// at a depth behind (or in front of) the landscape plane so that the game view's perspective
// moves it more slowly than the terrain. It takes no part in the game: it is never updated
// and touches no flimb; an event can start or stop its animation. The minimap and the boss
// map draw it through traps_flow/SceneryServices.h.
#include "traps/Trap.h"

#include <string>

// Where a layer is drawn outside the game view (minimap, boss map): the screen point is
// given to DrawLayer; its scale and turn go on top of the layer's own, and an alpha of 0
// or more replaces the layer's.
struct LayerPlacement {
    float scale = 1.0f;
    float turnDegrees = 0.0f;
    int16_t alpha = -1;
};

class BackgroundTrap : public Trap {
public:
    static constexpr int32_t kKind = 34;
    static constexpr int32_t kMostTiles = 20;
    static constexpr int32_t kMostMargin = 256;

    BackgroundTrap();

    // The layer's image: with a name it becomes back_image; the image (blurred as set) is
    // taken from the image cache before the old one is given back. Then the frame size:
    // frame_x by frame_y for an animation with both set, else the whole image.
    void SetImage(const char* name) override;
    // Draws every tile with the layer's centre on the whole-pixel point (x, y). clip: tiles
    // that miss the visible rectangle are skipped; inWorld: the game view (clip margins,
    // tiles on whole pixels, the layer's depth, (x, y) world pixels). Without inWorld (x, y)
    // is a screen point and clip is off.
    void DrawLayer(bool clip, bool inWorld, float x, float y, const LayerPlacement& placement = {});

    void Update() override {}
    // The single-tile rectangle projected onto the landscape plane, widened over the whole
    // grid (square tiling) or scaled by the tile counts (circle tiling).
    gfx::RECT GetBounds() const override;
    // Restarts the animation from start_frame (playing / stopped).
    void Activate(Flimb* by) override;
    void Deactivate() override;
    // One frame on when more than 1000 / fps ms of game time have passed (game clock).
    void StepFrame() override;
    // The layer, when the player's options (backgrounds, hints) or the editor show it.
    void Draw() override;
    bool ShowsOnMinimap() const override { return minimap != 0; }
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    // Stamps each tile of a visible, non-hint layer into a level preview.
    void StampIntoLandscape(Landscape& landscape, float factor) override;
    // The kind's own sprite sheet is never loaded; a layer without its image (a fresh copy)
    // takes its own reference of back_image.
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // Tile points of the two tilings (world pixels, the layer's centre at (x, y)).
    struct TilePoint {
        float x = 0.0f;
        float y = 0.0f;
        gfx::RECT clip{};
    };
    std::vector<TilePoint> TilePoints(float x, float y) const;
    // The layer's rectangle at the given depth: one tile (single) or the whole grid.
    gfx::RECT Bounds(bool single, float depth) const;
    // Whether Draw shows the layer now.
    bool Shown() const;

    int32_t z_dist = 0;
    int32_t tile_x = 1;
    int32_t tile_y = 1;
    std::string back_image;
    int32_t frame_x = 0;
    int32_t frame_y = 0;
    uint8_t fps = 13;
    uint32_t lastFrameTime = 0;
    uint8_t play_on_load = 1;
    float blur_sigma = 0.0f;
    uint8_t blur_bleed = 1;
    uint8_t hint = 0;
    uint8_t always_render = 0;
    uint8_t minimap = 0;
    int32_t start_frame = 0;
    uint8_t playing = 0;
    uint8_t circle_rotate = 0;
    mutable int32_t halfFrameW = 0; // follow the shared image's frame size
    mutable int32_t halfFrameH = 0;
    int32_t margin_left = 0;
    int32_t margin_top = 0;
    int32_t margin_right = 0;
    int32_t margin_bottom = 0;

    // The shared image's frame size for this layer (animation frames or the whole image), and
    // the half frame size.
    void ApplyFrameSize() const;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void DrawTile(const TilePoint& tile, bool clip, bool inWorld, const gfx::RECT& visible, float screenX,
                  float screenY, const LayerPlacement& placement);
};
