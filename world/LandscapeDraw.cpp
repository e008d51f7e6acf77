// The landscape's frame draw: the tiles of the current view in three dimensions, with the
// traps, particles, flimbs and overlays in between.
#include "game/FlimbOverlay.h"
#include "gui/GuiDevice.h"
#include "levelmodel/EditorPicking.h"
#include "media/DXManager.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "platform/gfx/Device.h"
#include "traps/Trap.h"
#include "world/ConsoleValues.h"
#include "world/Landscape.h"
#include "world/TileQuads.h"
#include "world/TileTextures.h"
#include "world/TrapDraw.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <algorithm>

namespace {

constexpr int kSkyTrapKind = 35;
constexpr gfx::DWORD kTileFvf = gfx::D3DFVF_XYZ | gfx::D3DFVF_DIFFUSE | gfx::D3DFVF_TEX1;
constexpr uint32_t kStatusColour = 0xFFFFFF80u;
constexpr uint32_t kGridColour = 0xFF40FF40u;

struct TileRange {
    int firstColumn = 0, lastColumn = -1;
    int firstRow = 0, lastRow = -1;
};

void SetTileStream(gfx::Device& device, gfx::VertexBuffer* buffer)
{
    device.SetStreamSource(0, buffer, 0, sizeof(TileVertex));
    device.SetFVF(kTileFvf);
}

void SetClampedSampler(gfx::Device& device)
{
    device.SetSamplerState(0, gfx::D3DSAMP_ADDRESSU, gfx::D3DTADDRESS_CLAMP);
    device.SetSamplerState(0, gfx::D3DSAMP_ADDRESSV, gfx::D3DTADDRESS_CLAMP);
}

} // namespace

void Landscape::Draw()
{
    if (!IsCreated() || LevelEditorOpen())
        return;
    gfx::Device* device = DXManager::GetDevice();
    if (device && vertexBuffer_) {
        if (!textures_)
            textures_ = std::make_unique<TileTextures>(textureFormat);

        // 1. The tiles under the back buffer's corners.
        const int screenW = GetScreenWidth(), screenH = GetScreenHeight();
        const int corners[4][2] = {{0, 0}, {screenW, screenH}, {0, screenH}, {screenW, 0}};
        TileRange range{TileColumns(), -1, TileRows(), -1};
        for (const auto& corner : corners) {
            int32_t wx = 0, wy = 0;
            ScreenToWorld(corner[0], corner[1], wx, wy);
            range.firstColumn = std::min(range.firstColumn, wx >> kTileShift);
            range.lastColumn = std::max(range.lastColumn, wx >> kTileShift);
            range.firstRow = std::min(range.firstRow, wy >> kTileShift);
            range.lastRow = std::max(range.lastRow, wy >> kTileShift);
        }
        range.firstColumn = std::clamp(range.firstColumn, 0, std::max(0, TileColumns() - 1));
        range.lastColumn = std::clamp(range.lastColumn, 0, std::max(0, TileColumns() - 1));
        range.firstRow = std::clamp(range.firstRow, 0, std::max(0, TileRows() - 1));
        range.lastRow = std::clamp(range.lastRow, 0, std::max(0, TileRows() - 1));

        const auto drawTiles = [&](bool back) {
            for (int row = range.firstRow; row <= range.lastRow; ++row) {
                for (int column = range.firstColumn; column <= range.lastColumn; ++column) {
                    const int slot = TileSlot(column, row);
                    gfx::Texture* texture = back ? textures_->Back(device, *this, slot)
                                                 : textures_->Front(device, *this, slot);
                    if (!texture)
                        continue;
                    device->SetTexture(0, texture);
                    device->DrawPrimitive(gfx::D3DPT_TRIANGLELIST,
                                          static_cast<uint32_t>((TileColumns() * row + column) * kVerticesPerTile),
                                          2);
                }
            }
        };

        // 2. Device state.
        gfx::D3DXMATRIX identity;
        gfx::D3DXMatrixIdentity(&identity);
        device->SetTransform(gfx::D3DTS_WORLD, &identity);
        device->SetTexture(0, nullptr);
        device->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, 0);
        device->SetRenderState(gfx::D3DRS_ALPHATESTENABLE, 1);
        device->SetRenderState(gfx::D3DRS_ALPHAREF, 1);
        device->SetRenderState(gfx::D3DRS_ALPHAFUNC, gfx::D3DCMP_GREATER);
        device->SetRenderState(gfx::D3DRS_CULLMODE, gfx::D3DCULL_NONE);
        device->SetRenderState(gfx::D3DRS_ZENABLE, 1);
        device->SetRenderState(gfx::D3DRS_ZFUNC, gfx::D3DCMP_LESS);
        device->SetRenderState(gfx::D3DRS_ZWRITEENABLE, 0);
        device->SetRenderState(gfx::D3DRS_STENCILENABLE, 0);
        device->SetRenderState(gfx::D3DRS_LIGHTING, 0);
        device->SetTextureStageState(0, gfx::D3DTSS_COLOROP, gfx::D3DTOP_MODULATE);
        device->SetTextureStageState(0, gfx::D3DTSS_ALPHAOP, gfx::D3DTOP_SELECTARG1);
        device->SetTextureStageState(1, gfx::D3DTSS_COLOROP, gfx::D3DTOP_DISABLE);
        SetClampedSampler(*device);
        device->SetSamplerState(0, gfx::D3DSAMP_MINFILTER, gfx::D3DTEXF_LINEAR);
        device->SetSamplerState(0, gfx::D3DSAMP_MAGFILTER, gfx::D3DTEXF_LINEAR);
        SetTileStream(*device, vertexBuffer_);

        // 3. The sky layer's world matrix.
        const bool showSky = ConsoleIntOr("showsky", 1) != 0;
        if (showSky) {
            const std::vector<Trap*> skies = GetTrapsOfKind(kSkyTrapKind);
            if (!skies.empty())
                skies.front()->SetupWorldMatrix();
        }

        // 4. Blending and the traps' draw list.
        device->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(gfx::D3DRS_SRCBLEND, gfx::D3DBLEND_SRCALPHA);
        device->SetRenderState(gfx::D3DRS_DESTBLEND, gfx::D3DBLEND_INVSRCALPHA);
        device->SetTextureStageState(0, gfx::D3DTSS_ALPHAOP, gfx::D3DTOP_MODULATE);
        SetClampedSampler(*device);
        RebuildTrapDrawList();

        // 5. The back tiles.
        SetTileStream(*device, vertexBuffer_);
        if (showSky)
            drawTiles(true);
        device->SetTransform(gfx::D3DTS_WORLD, &identity);

        // 6. Behind the front terrain.
        DrawTrapsBackLayer();
        DrawParticlesBehindTerrain();

        // 7. The front tiles write depth for what sinks behind them.
        device->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(gfx::D3DRS_ALPHATESTENABLE, 1);
        device->SetRenderState(gfx::D3DRS_ZENABLE, 1);
        device->SetRenderState(gfx::D3DRS_ZFUNC, gfx::D3DCMP_ALWAYS);
        device->SetRenderState(gfx::D3DRS_ZWRITEENABLE, 1);
        device->SetTextureStageState(0, gfx::D3DTSS_COLOROP, gfx::D3DTOP_MODULATE);
        device->SetTextureStageState(0, gfx::D3DTSS_ALPHAOP, gfx::D3DTOP_MODULATE);
        SetClampedSampler(*device);
        SetTileStream(*device, vertexBuffer_);
        drawTiles(false);
        device->SetSamplerState(0, gfx::D3DSAMP_MINFILTER, gfx::D3DTEXF_LINEAR);
        device->SetSamplerState(0, gfx::D3DSAMP_MAGFILTER, gfx::D3DTEXF_LINEAR);
        device->SetRenderState(gfx::D3DRS_ZWRITEENABLE, 0);
        device->SetRenderState(gfx::D3DRS_ZENABLE, 0);
    }

    // 8. Traps, flimbs with their overlays, particles, traps in front.
    DrawTrapsMiddleLayer();
    DrawFlimbOverlay(World());
    DrawParticlesInFront();
    DrawTrapsFrontLayer();

    // 9. Plain state again.
    if (device) {
        device->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, 0);
        device->SetRenderState(gfx::D3DRS_ALPHATESTENABLE, 0);
        device->SetRenderState(gfx::D3DRS_ZFUNC, gfx::D3DCMP_LESSEQUAL);
        device->SetStreamSource(0, nullptr, 0, 0);
        device->SetTexture(0, nullptr);
    }

    // 10. The pixel-info text.
    if (statusTextShown) {
        if (Font* font = FontManager::GetFont(0)) {
            font->DrawTextLines(static_cast<float>(GetScreenWidth()) / 2.0f,
                                static_cast<float>(GetScreenHeight()) / 2.0f, 1.0f, 1.0f, kStatusColour, statusText,
                                kTextCentre | kTextVCentre);
        }
    }

    // 11. Children and the input delegate.
    PrimContainer::Draw();

    // 12. The tile grid.
    if (gridDebugFlags[0] && gridDebugFlags[1]) {
        const float right = static_cast<float>(TileColumns() * kTileSize);
        const float bottom = static_cast<float>(TileRows() * kTileSize);
        for (int column = 0; column <= TileColumns(); ++column) {
            const float x = static_cast<float>(column * kTileSize);
            const FloatPoint a = WorldToScreenF(0.0f, x, 0.0f), b = WorldToScreenF(0.0f, x, bottom);
            Draw2D::DrawLine(a.x, a.y, b.x, b.y, kGridColour);
        }
        for (int row = 0; row <= TileRows(); ++row) {
            const float y = static_cast<float>(row * kTileSize);
            const FloatPoint a = WorldToScreenF(0.0f, 0.0f, y), b = WorldToScreenF(0.0f, right, y);
            Draw2D::DrawLine(a.x, a.y, b.x, b.y, kGridColour);
        }
    }
}
