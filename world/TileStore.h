#pragma once
// The terrain as simulation state: a pixel world of up to 16,384 x 16,384 pixels cut into
// 128 x 128 tiles. Per tile slot it keeps a material map (one byte a pixel, column by column;
// 0 empty), the front colours (ARGB, row by row; what is drawn), optional back colours (the
// shadow layer) and the undo copies. A tile has a material map exactly when it has front
// colours. The store owns all of it in plain memory; drawing uploads it (see TileRevision).
//
// Queries take inclusive rectangles; bash destinations take exclusive right and bottom.
// Every entry point stays inside the tables for any argument: sizes, rectangles, materials,
// mask numbers and offsets arrive from level files and network bashes.
//
// Main thread only.
#include "world/BashTypes.h"

#include <array>
#include <cstdint>
#include <memory>

// An inclusive rectangle of world pixels.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A bash destination: right and bottom exclusive (mask column c lands on left + c).
struct BashRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// What the undo copy of a tile holds: nothing yet, a note that the tile had no map (or no
// colours), or the saved copy.
enum class UndoState : uint8_t { None = 0, HadNone = 1, Saved = 2 };

class TileStore {
public:
    // Index of edgeModes: the behaviour past each edge.
    enum Edge : int { kEdgeTop = 0, kEdgeBottom = 1, kEdgeLeft = 2, kEdgeRight = 3 };
    // Edge modes: 0 open, 1 wall, anything else wraps for the queries; bashing wraps only at 2.
    static constexpr int32_t kEdgeOpen = 0;
    static constexpr int32_t kEdgeWall = 1;
    static constexpr int32_t kEdgeWrap = 2;
    // The edge modes a landscape starts with (top, bottom, left, right): wrap above and
    // below, open on the left, a wall on the right.
    static constexpr std::array<int32_t, 4> kDefaultEdgeModes{kEdgeWrap, kEdgeWrap, kEdgeOpen, kEdgeWall};

    // Create's results.
    static constexpr int kCreateRefused = 0;
    static constexpr int kCreated = 2;
    static constexpr int kCreateSuppressed = 3;

    TileStore();
    virtual ~TileStore();
    TileStore(const TileStore&) = delete;
    TileStore& operator=(const TileStore&) = delete;

    // --- Size and lifecycle ---------------------------------------------------------------
    // kCreateSuppressed while `suppressed` (nothing done); else SetSize, created, front alpha
    // 255, CreateVertexBuffer and kCreated; kCreateRefused when SetSize refuses the size.
    int Create(int width, int height);
    // Stores the size and the tile counts (ceil(size / 128) in single precision), then
    // CreateVertexBuffer. A side outside 1..16,384 is refused with a log line; the terrain
    // is kept. Existing tiles stay where they are.
    bool SetSize(int width, int height);
    // Frees every tile (material map, front and back colours) and the undo copies; the tile
    // counts become 0 (the size is kept).
    virtual void Clear();
    // Frees the undo copies.
    void FreeTiles();
    // The drawing alpha of every tile that has colours (255 on Create, 96 at game end).
    void SetFrontAlpha(uint8_t alpha);
    // The quads of the tile grid: the landscape makes them on the device.
    virtual void CreateVertexBuffer() {}

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t TileColumns() const { return tileColumns_; }
    int32_t TileRows() const { return tileRows_; }
    bool IsCreated() const { return created_ != 0; }

    // --- Queries (world pixels) -----------------------------------------------------------
    // 2 beyond a wall edge, 0 beyond an open one; else, after one wrap per axis, the material
    // at the point (0 without a map, or when the point is still outside after its wrap).
    uint8_t HitTestPoint(int x, int y) const;
    // Any pixel of the inclusive rectangle that is: empty (findEmpty), not empty (findAny),
    // else not empty and not 7 or 17. Tiles without a map never answer true. Wall edges: true.
    bool HitTestRect(bool findEmpty, bool findAny, int x0, int y0, int x1, int y1) const;
    // The non-empty pixels of the inclusive rectangle, wrapped pieces included; 1 at a wall.
    int32_t CountSolidPixels(int x0, int y0, int x1, int y1) const;
    // False only when the inclusive rectangle lies inside the landscape and every tile it
    // touches has no material map (nothing there can be solid): a cheap test before a
    // pixel walk. True otherwise.
    bool MayHoldTerrain(int x0, int y0, int x1, int y1) const;
    // Walks from (x0, y0) towards (x1, y1) in unit steps (at most 131,072) and counts the steps
    // that reach a new rounded pixel whose HitTestPoint is not 0.
    int32_t ProbeSolid(int x0, int y0, int x1, int y1) const;
    // The front colour at the point; 0 outside 2 < x < width - 2, 0 <= y < height, or
    // without colours there.
    uint32_t GetPixelColour(int x, int y) const;
    // 1 for a colour, 0 for none (also a tile without colours), -1 outside (as GetPixelColour).
    int32_t TestPixelColour(int x, int y) const;
    // Adds every material byte of each tile the rectangle touches (whole tiles, byte i of
    // every group of 16 adds i more), in uint32; logs "CheckSum %d\n" and returns the bits as
    // int32. The rectangle (inclusive; none = everything) is clipped to the landscape first.
    int32_t Checksum(const PixelRect* rect = nullptr) const;
    // The same without the log line.
    int32_t ComputeChecksum(const PixelRect* rect = nullptr) const;
    // "Block %d (%d,%d) " and the tile's Checksum for every tile with a map, in slot order.
    void LogBlockChecksums() const;

    // A 64-bit hash of the terrain for the world state hash. Order: the checksum, width,
    // height, tile columns, tile rows, the four edge modes; then for every tile slot in slot
    // order that holds anything: the slot, a presence mask (1 map, 2 front, 4 back), the
    // 16,384 material bytes, the 16,384 front colours, the 16,384 back colours. Undo copies
    // and drawing alphas are left out.
    uint64_t StateHash() const;

    // --- Changes --------------------------------------------------------------------------
    // Moves loose terrain (kLooseMaterials) inside the inclusive rectangle (with circle: the
    // ellipse inscribed in it). Step mode moves each loose pixel one pixel in direction 0
    // down, 1 up, 2 left, 3 right; instant mode drops every column's loose pixels onto what
    // holds them, out through the rectangle's bottom row when that is where they land.
    void ApplyGravity(int direction, bool stepMode, bool circle, int left, int top, int right, int bottom);

    // Lays the mask onto the rectangle: adds terrain of the material, or removes it where the
    // mask is solid (material 0). Returns the colour of the last pixel a removing bash
    // cleared (0 when none). Arguments as the game's bash: see TileBash.cpp.
    uint32_t Bash(const BashRect& dest, const BashMask* source, int material, bool useSourceColour,
                  uint32_t affectedMaterials, const BashOptions& options, const MaskReader& reader, uint32_t tint,
                  BashEmitter* emitter, bool multiplyTint, bool noWrap, BashMask* copyOut, bool eraseOutside,
                  bool shadow);
    // Bashes predefined mask `mask` (0-16) at size (0-3), direction (0-3) and flip (0-1) with
    // its hot spot at (x, y): the default options, the plain reader, additive tint. 0 when the
    // mask is out of range or cannot be had.
    uint32_t BashBrush(int mask, int size, int direction, int flip, int material, bool useSourceColour,
                       uint32_t affectedMaterials, BashEmitter* emitter, uint32_t tint, int x, int y);
    // Fills the inclusive rectangle (clamped to the landscape): the material of every pixel
    // (creating a map where the material is not 0) and, with writeColour, the colour.
    void SetPixel(uint8_t material, bool writeColour, uint32_t colour, int x0, int y0, int x1, int y1);
    void PlotPixel(uint8_t material, uint32_t colour, int x, int y);
    // Copies the tiles of the source rectangle (pixels, turned into tiles) to the tile at the
    // same offset from (destX, destY): front, back and material map, making what the
    // destination lacks. Tiles outside the grid are skipped; overlapping blocks copy as if
    // through a temporary.
    void CopyTiles(int left, int top, int right, int bottom, int destX, int destY);

    // --- Predefined brush masks (544: mask x 4 sizes x 4 directions x 2 flips) -------------
    static constexpr int kPredefinedMaskCount = 17;
    static int PredefinedSlot(int mask, int size, int direction, int flip);
    // Null when out of range or not made yet.
    const BashMask* PredefinedMask(int mask, int size, int direction, int flip) const;
    // The cached mask, built (and kept) on first use as BashBrush builds it; null when out of
    // range or when it cannot be built.
    const BashMask* BrushMask(int mask, int size, int direction, int flip);
    // Stores a mask in the cache (replacing what was there); false when out of range.
    bool SetPredefinedMask(int mask, int size, int direction, int flip, BashMaskPtr built);
    void FreePredefinedMasks();

    // --- Tiles (drawing, minimap, tests) --------------------------------------------------
    // Null for a slot out of range or a tile without one.
    const uint8_t* MaterialMap(int slot) const;
    const uint32_t* FrontColours(int slot) const;
    const uint32_t* BackColours(int slot) const;
    // Counts the changes of the tile's terrain; drawing re-uploads a tile when it moved on.
    uint32_t TileRevision(int slot) const;
    uint8_t TileAlpha(int slot) const;
    UndoState UndoMaterialState(int slot) const;
    UndoState UndoFrontState(int slot) const;
    const uint8_t* UndoMaterials(int slot) const;
    const uint32_t* UndoFront(int slot) const;

    // The behaviour past top, bottom, left and right (indexed by Edge).
    std::array<int32_t, 4> edgeModes{};
    // While set, the first change of each tile saves its undo copies.
    uint8_t undoRecording = 0;
    // While set (the level hash check runs), Create refuses.
    int32_t suppressed = 0;

protected:
    // The game's update counter and run state (1 running); a bash seeds its emitter's random
    // draws with the first and wraps only while the second is 1.
    virtual uint32_t UpdateCounter() const { return 0; }
    virtual int32_t RunState() const { return 0; }
    // The terrain changed inside [left, right) x [top, bottom) (clipped to the landscape).
    virtual void OnTerrainChanged(int left, int top, int right, int bottom);
    // Builds a predefined brush mask; none here (the stamping code supplies it).
    virtual BashMaskPtr LoadPredefinedMask(int mask, float scale, int direction, int flip);

private:
    template <class T>
    struct UndoCopy {
        UndoState state = UndoState::None;
        std::unique_ptr<T[]> data;
        void Reset()
        {
            state = UndoState::None;
            data.reset();
        }
    };
    struct Tile {
        std::unique_ptr<uint8_t[]> material;
        std::unique_ptr<uint32_t[]> front;
        std::unique_ptr<uint32_t[]> back;
        UndoCopy<uint8_t> undoMaterial;
        UndoCopy<uint32_t> undoFront;
        uint32_t revision = 0;
        uint8_t alpha = 255;
    };
    struct BashJob;

    const Tile* TileAt(int slot) const;
    // Notes that a tile holds data, so that the walks over every tile can stay inside the
    // columns and rows that were ever touched since the last Clear.
    void Touch(const Tile& tile);
    template <class Fn>
    void ForTouchedSlots(Fn fn) const;
    bool InGrid(int column, int row) const;
    // The material at an in-landscape pixel (0 without a map).
    uint8_t MaterialAt(int x, int y) const;
    uint32_t FrontAt(int x, int y) const;
    // Gives the tile a zeroed map and zeroed front colours; false (logged) when out of memory.
    bool MakeTerrain(Tile& tile);
    bool MakeBack(Tile& tile);
    void SaveUndo(Tile& tile);
    int64_t CountRect(int x0, int y0, int x1, int y1) const;
    bool ScanRect(bool findEmpty, bool findAny, int x0, int y0, int x1, int y1) const;
    uint32_t BashWrapped(const BashJob& job, int64_t left, int64_t top, int64_t right, int64_t bottom,
                         bool noWrap);
    uint32_t BashTiles(const BashJob& job, int64_t left, int64_t top, int64_t right, int64_t bottom);
    void FillPiece(int column, int row, uint8_t material, bool writeColour, uint32_t colour, int x0, int y0, int x1,
                   int y1);
    void GravityStep(int direction, const PixelRect& area, bool circle, const PixelRect& ellipse);
    void GravityInstant(const PixelRect& area, bool circle, const PixelRect& ellipse);
    void CopyTile(int from, int to);

    std::unique_ptr<Tile[]> tiles_;
    std::array<BashMaskPtr, kPredefinedMaskCount * 4 * 4 * 2> predefinedMasks_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t tileColumns_ = 0;
    int32_t tileRows_ = 0;
    int32_t created_ = 0;
    int32_t touchedColumns_ = 0;
    int32_t touchedRows_ = 0;
};

template <class Fn>
void TileStore::ForTouchedSlots(Fn fn) const
{
    for (int column = 0; column < touchedColumns_; ++column)
        for (int row = 0; row < touchedRows_; ++row)
            fn(TileSlot(column, row));
}
