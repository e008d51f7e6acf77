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
#include "world/TileStore.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class Flimb;
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
    // Forgets the selection, releases the quads and the minimap surface, frees every tile.
    void Clear() override;
    // One quad per tile (6 vertices of 24 bytes, tiles in row order); logs on failure.
    void CreateVertexBuffer() override;
    // Copies the front colours of every tile the target covers into it at the tile's place.
    void CopyToSurface(gfx::Surface* target) const;
    // Releases the minimap surface and makes a new one through the installed factory.
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
    std::unique_ptr<IMinimapSurface> minimapSurface_;
};

// The game's landscape; null outside InitLandscape .. ReleaseLandscape.
Landscape* GameLandscape();

class IFileManager;
// The CRC-32 of an open file; the handle is closed. 0 without a file manager.
uint32_t GetFileCrcAndClose(IFileManager& files, int handle);
// The same through the game's file manager.
uint32_t GetFileCrcAndClose(int handle);
