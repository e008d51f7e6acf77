#include "world/Landscape.h"

#include "app/FileManager.h"
#include "app/Log.h"
#include "game/GameController.h"
#include "world/LandscapeKeys.h"
#include "game/GameServices.h"
#include "gui/WindowList.h"
#include "media/DXManager.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Resources.h"
#include "world/MinimapSurface.h"
#include "world/TileQuads.h"
#include "world/TileTextures.h"

#include <algorithm>

namespace {

Landscape::MinimapFactory& Factory()
{
    static Landscape::MinimapFactory factory;
    return factory;
}

constexpr gfx::DWORD kTileFvf = gfx::D3DFVF_XYZ | gfx::D3DFVF_DIFFUSE | gfx::D3DFVF_TEX1;

} // namespace

Landscape::Landscape() = default;

Landscape::~Landscape()
{
    Clear();
    UsePrimitiveCache(nullptr); // a borrowed cache belongs to its owner
    ClearPrimitives();
}

void Landscape::InitGlobal()
{
    SetName("LandScape");
    containerFlags = kContainerTransparent;
    deleteWhenClosed = 0; // the viewports hold it as a child; it outlives them
    FreePredefinedMasks();
    ClearPrimitives();
    edgeModes = kDefaultEdgeModes;
}

void Landscape::ShutdownGlobal()
{
    FreePredefinedMasks();
    Clear();
    ClearPrimitives();
    CloseWindow(this);
}

void Landscape::Clear()
{
    focusFlimb = nullptr;
    focusExtra = nullptr;
    pickCandidates.clear();
    ReleaseVertexBuffer();
    textures_.reset();
    TileStore::Clear();
    minimapSurface_.reset();
}

void Landscape::ReleaseVertexBuffer()
{
    if (vertexBuffer_) {
        vertexBuffer_->Release();
        vertexBuffer_ = nullptr;
    }
}

void Landscape::CreateVertexBuffer()
{
    ReleaseVertexBuffer();
    const int columns = TileColumns(), rows = TileRows();
    const uint32_t length = static_cast<uint32_t>(columns * rows) * kVerticesPerTile * sizeof(TileVertex);
    gfx::HRESULT hr = gfx::D3DERR_INVALIDCALL;
    if (gfx::Device* device = DXManager::GetDevice()) {
        hr = device->CreateVertexBuffer(length, gfx::D3DUSAGE_WRITEONLY, kTileFvf, gfx::D3DPOOL_MANAGED,
                                        &vertexBuffer_, nullptr);
    } else if (length > 0) {
        // A managed buffer needs no device in the software layer: tools and tests run without one.
        vertexBuffer_ = new gfx::VertexBuffer(length, gfx::D3DUSAGE_WRITEONLY, kTileFvf, gfx::D3DPOOL_MANAGED);
        hr = gfx::D3D_OK;
    }
    if (gfx::FAILED(hr) || !vertexBuffer_) {
        vertexBuffer_ = nullptr;
        WriteLogChannel(6, "Couldn't create landscape vertex buffer\n");
        return;
    }
    void* data = nullptr;
    if (gfx::FAILED(vertexBuffer_->Lock(0, 0, &data, 0)) || !data) {
        WriteLog("Couldn't lock fore vertex buffer for landscape\n");
        return;
    }
    BuildTileQuads(static_cast<TileVertex*>(data), columns, rows, float(kTileSize), float(kTileSize), 0.0f, 0.0f,
                   1.0f, 1.0f);
    vertexBuffer_->Unlock();
}

void Landscape::CopyToSurface(gfx::Surface* target) const
{
    if (!target)
        return;
    const int width = static_cast<int>(target->Width()), height = static_cast<int>(target->Height());
    const int columns = std::min((width + kTileMask) >> kTileShift, kMaxTilesPerAxis);
    const int rows = std::min((height + kTileMask) >> kTileShift, kMaxTilesPerAxis);
    for (int tx = 0; tx < columns; ++tx) {
        for (int ty = 0; ty < rows; ++ty) {
            const uint32_t* front = FrontColours(TileSlot(tx, ty));
            if (!front)
                continue;
            const int x0 = tx << kTileShift, y0 = ty << kTileShift;
            const int x1 = std::min(x0 + kTileSize, width), y1 = std::min(y0 + kTileSize, height);
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    target->WritePixel(uint32_t(x), uint32_t(y), front[ColourIndex(x, y)]);
        }
    }
}

void Landscape::SetMinimapFactory(MinimapFactory factory)
{
    Factory() = std::move(factory);
}

void Landscape::RecreateMinimapSurface()
{
    minimapSurface_.reset();
    if (Factory())
        minimapSurface_ = Factory()(*this);
    else if (IsCreated())
        minimapSurface_ = std::make_unique<MinimapSurface>(*this);
}

uint32_t Landscape::UpdateCounter() const
{
    return gameUpdateCounter;
}

int Landscape::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    // The children first (a manned device's panel takes its arrow keys before the mode's
    // key bindings scroll the camera with them); then the debugging and mode keys.
    if (const int taken = PrimContainer::OnKey(value, code, shift, device))
        return taken;
    return LandscapeOnKey(code, value, &device) ? 1 : 0;
}

int32_t Landscape::RunState() const
{
    return Controller().runState;
}

void Landscape::OnTerrainChanged(int left, int top, int right, int bottom)
{
    if (minimapSurface_)
        minimapSurface_->TerrainChanged(left, top, right, bottom);
}

uint32_t GetFileCrcAndClose(IFileManager& files, int handle)
{
    const uint32_t crc = files.GetCrc(handle);
    files.Close(handle);
    return crc;
}

uint32_t GetFileCrcAndClose(int handle)
{
    return fileManager ? GetFileCrcAndClose(*fileManager, handle) : 0u;
}
