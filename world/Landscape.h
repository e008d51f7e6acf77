#pragma once
// The landscape: the destructible terrain of the level being played or edited, and the GUI
// panel the game view draws it in. The terrain itself (tiles, queries, bashing) is the tile
// store; this class adds the panel, the tile quads on the graphics device, the minimap hook
// and the game's clock and run state.
//
// One global instance, named "LandScape", exists between InitLandscape and ReleaseLandscape
// (world/WorldServices.h); tests and tools may make their own.
#include "gui/PrimContainer.h"
#include "platform/gfx/D3DTypes.h"
#include "world/PrimitiveCache.h"
#include "world/TileStore.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class AnimSurface;
class BitmapBaseSurface;
struct Flimb;
class TileTextures;
class ViewPort;
namespace gfx {
class Surface;
class VertexBuffer;
} // namespace gfx

// The landscape's undo role: a marker (undoRecording and the per-tile undo copies do the work).
class IUndo {};

// What the minimap surface needs of terrain changes.
class IMinimapSurface {
public:
    virtual ~IMinimapSurface() = default;
    // The terrain changed inside [left, right) x [top, bottom).
    virtual void TerrainChanged(int left, int top, int right, int bottom) = 0;
};

class Landscape : public PrimContainer, public IUndo, public TileStore {
public:
    // Makes the minimap surface of a landscape (installed by the minimap).
    using MinimapFactory = std::function<std::unique_ptr<IMinimapSurface>(Landscape&)>;

    Landscape();
    ~Landscape() override;

    // SetSize is the terrain's size; the panel's own size stays reachable through Primitive.
    using TileStore::SetSize;

    // Start-up: names the panel "LandScape", makes its own area transparent to clicks,
    // empties the brush masks and sets the edges: top and bottom wrap, left open, right wall.
    void InitGlobal();
    // Shutdown: frees the brush masks, clears, and leaves the window list.
    void ShutdownGlobal();

    // The play and debugging keys (world/LandscapeKeys.h) first, then the children.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;

    // --- The current view (world/LandscapeView.cpp) ---------------------------------------
    // One viewport at a time is current: its rectangle and centre are copied into the
    // landscape, and every conversion between screen and world goes through it. Returns the
    // view that was current; callers restore it (CurrentViewScope keeps the pairs nested).
    ViewPort* MakeCurrent(ViewPort* viewport);
    ViewPort* CurrentView() const { return view; }
    // A screen point (pixels) on the world plane through the current view; the point itself
    // without one.
    FloatPoint UnprojectPoint(float x, float y) const;
    // The same rounded to whole pixels.
    void ScreenToWorld(int32_t x, int32_t y, int32_t& worldX, int32_t& worldY) const;
    // The world bounding box (left, top, right, bottom) of a screen rectangle's four corners,
    // through the game's landscape's current view; unchanged without one.
    static void ScreenRectToWorld(FloatRect& rect);
    // A world point (at height z) on the screen through the current view, rounded; and
    // without rounding. Unchanged without a view.
    void WorldToScreen(int32_t& screenX, int32_t& screenY, float z, int32_t worldX, int32_t worldY) const;
    FloatPoint WorldToScreenF(float z, float worldX, float worldY) const;
    // Keeps viewCentre inside the landscape: the whole visible area (centred when it is
    // larger than the landscape), or only the centre at a sixteenth of the visible extent
    // from each edge.
    void ClampView(bool wholeView);

    // Makes a viewport current for the scope's life, then the one before it again.
    class CurrentViewScope {
    public:
        CurrentViewScope(Landscape* landscape, ViewPort* viewport);
        ~CurrentViewScope();
        CurrentViewScope(const CurrentViewScope&) = delete;
        CurrentViewScope& operator=(const CurrentViewScope&) = delete;

    private:
        Landscape* landscape_;
        ViewPort* previous_ = nullptr;
    };

    // --- Drawing (world/LandscapeDraw.cpp) ------------------------------------------------
    // The frame's draw pass in the current view: sky, back tiles, trap layers, particles,
    // front tiles, flimbs and overlays, status text, children, debug grid. Nothing before
    // the terrain is created or while the level editor is open.
    void Draw() override;
    // The tile textures the draw pass keeps in step with the terrain (null before a draw).
    TileTextures* Textures() const { return textures_.get(); }

    // --- Pointer input (world/LandscapePointer.cpp) ---------------------------------------
    // Picks the flimb nearest the world point and selects it; keep falls back to the
    // followed flimb when none is found. Orders the action of a held key.
    void SelectFlimbAt(bool keep, int32_t x, int32_t y);
    // Left button: selection, and the debugging tools while a debug switch is on.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    // Right button: the dig tool's removing bash.
    Primitive* OnRightButton(int x, int y, int phase) override;
    // Moves the selection to the next flimb left or right; unused while Ctrl is held.
    Primitive* OnWheel(int delta) override;
    // Forgets the selection, releases the quads and the minimap surface, frees every tile.
    void Clear() override;
    // One quad per tile (6 vertices of 24 bytes, tiles in row order); logs on failure.
    void CreateVertexBuffer() override;
    // Copies the front colours of every tile the target covers into it at the tile's place.
    void CopyToSurface(gfx::Surface* target) const;
    // Releases the minimap surface and makes a new one through the installed factory (the
    // game's MinimapSurface without one).
    void RecreateMinimapSurface();
    static void SetMinimapFactory(MinimapFactory factory);
    IMinimapSurface* Minimap() const { return minimapSurface_.get(); }

    // The debugging reports of the console.
    // Compares the terrain with its mirror images ("checksymmetry"); each finding and then
    // "Check complete" goes to the chat in 0xFF0AFF0A.
    void CheckSymmetry() const;
    std::vector<std::string> SymmetryReport() const;
    // Logs every byte of tile (n / k, n mod k), k = width / 128 ("dumpblock").
    void DumpBlock(int n) const;

    gfx::VertexBuffer* GetVertexBuffer() const { return vertexBuffer_; }

    // --- Primitive stamping (world/LandscapeStamping.cpp) ---------------------------------
    // Images, scales and rotations come from level files and network bashes: a non-finite
    // scale, rotation or position, or a mask larger than 16,384 on a side, is refused with a
    // log line and stamps nothing. Rotations are whole degrees (NormaliseMaskAngle).

    // BashPrimitiveFile's cache flags: bit 1 keeps the transformed copy (up to 2,048 x 2,048)
    // for later stamps of the same transform. Bit 0 is accepted and changes nothing.
    static constexpr int kCacheLookup = 1;
    static constexpr int kCacheStore = 2;
    static constexpr int kLargestCachedCopy = 2048;

    // The mask of the source rectangle (right and bottom exclusive, clipped to the image; null
    // = all of it) scaled and turned, the hot spot (relative to the rectangle) carried along.
    // Null when refused or empty. The caller owns the mask.
    static BashMaskPtr GenerateBashMask(const BashMask& source, const BashRect* sourceRect, float scaleX,
                                        float scaleY, float rotation, bool nearest, int hotspotX, int hotspotY);
    // The same kept in the primitive cache under `name` and the transform, rectangle and hot
    // spot: a later request for all of them returns the kept mask. The cache owns it. An
    // empty name is refused (null).
    const BashMask* GenerateBashMask(const BashMask& source, const BashRect* sourceRect, float scaleX, float scaleY,
                                     float rotation, bool nearest, const std::string& name, int hotspotX,
                                     int hotspotY);

    // Stamps the image's current frame (shrunk by the inset: left, top, right and bottom
    // margins) with its hot spot on (x, y): the mask's own colours (tinted), the plain
    // reader. The result of Bash; 0 without an image or mask.
    uint32_t BashPrimitive(const AnimSurface* image, int material, float scaleX, float scaleY, float rotation,
                           uint32_t affectedMaterials, BashOptions options, uint32_t tint, bool nearest,
                           const BashRect* inset, float x, float y);
    uint32_t BashPrimitiveAt(const AnimSurface* image, int material, float scaleX, float scaleY, float rotation,
                             uint32_t affectedMaterials, BashOptions options, uint32_t tint, bool nearest,
                             const BashRect* inset, int x, int y);
    // The same from an image already in memory, its frame and hot spot given.
    uint32_t BashPrimitive(const BashMask& image, const BashRect* frame, int hotspotX, int hotspotY, int material,
                           float scaleX, float scaleY, float rotation, uint32_t affectedMaterials, BashOptions options,
                           uint32_t tint, bool nearest, float x, float y);

    // Stamps an image file (a game path below "Graphics", IsPrimitiveNameAllowed) scaled
    // and turned about its top-left corner, or about its centre with `centred` ((x, y) is
    // then where the centre lands). Laid with the image's own colours (tinted) through Bash;
    // with a destination the transformed image is drawn into it at (x, y) rounded instead
    // (nothing is bashed, the result is 0). A missing or undecodable file logs "Failed to
    // load primitive [%s]\n" and returns 0 without touching the terrain; every error on the
    // way is logged as "Bash Error: %s\n" and returns 0.
    uint32_t BashPrimitiveFile(int material, const std::string& fileName, BashOptions options,
                               uint32_t affectedMaterials, float scaleX, float scaleY, float rotation, bool centred,
                               BashMask* destination, uint32_t tint, int cacheFlags, bool nearest,
                               BashEmitter* emitter, bool multiplyTint, BashMask* copyOut, bool shadow, float x,
                               float y);
    uint32_t BashPrimitiveFileAt(int material, const std::string& fileName, BashOptions options,
                                 uint32_t affectedMaterials, float scaleX, float scaleY, float rotation, bool centred,
                                 uint32_t tint, int cacheFlags, bool multiplyTint, int x, int y);

    // Builds predefined mask `mask` (0-16) at the scale, direction (0-3) and flip (0-1) from
    // its file: see world/PredefinedMasks.h. None when out of range or the file is missing.
    BashMaskPtr LoadPredefinedMask(int mask, float scale, int direction, int flip) override;

    // The editor's fitting: builds the mask of the image (nearest reader) and, for each line
    // i < lineCount inside it (columns for directions 0 and 1, rows for 2 and 3), stores in
    // output[i] how far from its starting end (0 bottom, 1 top, 2 left, 3 right) the first
    // pixel of alpha 150 or more lies; lines without one keep their value. 0, or -1 when no
    // mask could be made.
    static int MeasureImageProfile(const BashMask& image, int direction, float rotation, float scaleX, float scaleY,
                                   int32_t* output, int lineCount);
    // The same for a loaded image (its texture read in place); -1 when it cannot be read.
    static int MeasureImageProfile(const BitmapBaseSurface* image, int direction, float rotation, float scaleX,
                                   float scaleY, int32_t* output, int lineCount);

    // Empties the primitive cache in use (and the landscape's own).
    void ClearPrimitives();
    // The cache stamping uses: the landscape's own, or the one installed (null: own again).
    PrimitiveCache& Primitives() { return *primitives_; }
    void UsePrimitiveCache(PrimitiveCache* cache) { primitives_ = cache ? cache : &ownPrimitives_; }

    // "gen": a fresh 1024 x 768 landscape (Clear, Create) with a Nova mask of material 1
    // stamped on each of its 8 x 6 tiles at (column x 128 + offset, row x 128 - offset);
    // the open loading screen, if any, shows the 48 steps.
    void Generate(int offset);

    // The current view and the part of it the landscape panel covers (pixels), and the
    // world point at its centre.
    ViewPort* view = nullptr;
    FloatRect viewRect;
    FloatPoint viewCentre;
    // The pixel-info text of the debugging tools, printed at the screen centre while shown.
    std::string statusText;
    int32_t statusTextShown = 0;
    // The two switches of the debugging tile grid: both on outlines every tile.
    std::array<uint8_t, 2> gridDebugFlags{};
    // The candidates of the last pick (world flimbs).
    std::vector<Flimb*> pickCandidates;

    // The player's selected flimb and a second selected object (none after Clear).
    Flimb* focusFlimb = nullptr;
    const void* focusExtra = nullptr;
    // The format of the tile textures the drawing makes.
    gfx::D3DFORMAT textureFormat = gfx::D3DFMT_A8R8G8B8;
    // The land timer of "landStart" and "landStop" (game milliseconds; start 0 = stopped).
    struct LandTimer {
        uint32_t start = 0;
        int32_t duration = 0;
    } landTimer;

protected:
    uint32_t UpdateCounter() const override;
    int32_t RunState() const override;
    void OnTerrainChanged(int left, int top, int right, int bottom) override;

private:
    void ReleaseVertexBuffer();

    gfx::VertexBuffer* vertexBuffer_ = nullptr;
    std::unique_ptr<TileTextures> textures_;
    std::unique_ptr<IMinimapSurface> minimapSurface_;
    PrimitiveCache ownPrimitives_;
    PrimitiveCache* primitives_ = &ownPrimitives_;
};

// The game's landscape; null outside InitLandscape .. ReleaseLandscape.
Landscape* GameLandscape();

class IFileManager;
// The CRC-32 of an open file; the handle is closed. 0 without a file manager.
uint32_t GetFileCrcAndClose(IFileManager& files, int handle);
// The same through the game's file manager.
uint32_t GetFileCrcAndClose(int handle);
