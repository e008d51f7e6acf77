#include "traps_flow/SkyTrap.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"
#include "gui/Primitive.h"
#include "levelmodel/EditorPicking.h"
#include "media/DXManager.h"
#include "media/ImageCache.h"
#include "media/Surface.h"
#include "platform/gfx/D3DMath.h"
#include "platform/gfx/Device.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindXml.h"
#include "world/StateHash.h"
#include "world/TileQuads.h"
#include "world/ViewServices.h"
#include "world/WorldClock.h"

#include <cmath>

namespace {

const TrapKindRegistration kRegistration(SkyTrap::kKind, [] { return std::unique_ptr<Trap>(new SkyTrap); });

constexpr gfx::DWORD kSkyFvf = gfx::D3DFVF_XYZ | gfx::D3DFVF_DIFFUSE | gfx::D3DFVF_TEX1;
constexpr uint32_t kNeutralTint = 0x808080u;

// A texture-coordinate transform of the (u, v, 1, 0) form: the 2-D affine map in the upper
// three rows.
gfx::D3DXMATRIX Translation2D(float u, float v)
{
    gfx::D3DXMATRIX m;
    gfx::D3DXMatrixIdentity(&m);
    m.m[2][0] = u;
    m.m[2][1] = v;
    return m;
}

// The offset reduced into one turn of the wrapping texture (the same picture, and no texel
// coordinate that grows without bound).
float Wrapped(float offset)
{
    return offset - std::floor(offset);
}

} // namespace

SkyTrap::SkyTrap() : Trap(kKind)
{
    x = 200.0f;
    y = -200.0f;
    rotation = 0.0f;
    zorder = 0;
}

SkyTrap::~SkyTrap()
{
    ReleaseVertexBuffer();
    if (previewImage)
        ImageCache::ReleaseImage(previewImage);
}

void SkyTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const SkyTrap&>(source);
    vx = other.vx;
    vy = other.vy;
    rot = other.rot;
    rx = other.rx;
    ry = other.ry;
    sky_image = other.sky_image;
    sky_base_color = other.sky_base_color;
    skyDepth = other.skyDepth;
    skyScale = other.skyScale;
}

std::unique_ptr<Trap> SkyTrap::Duplicate() const
{
    if (LevelEditorOpen())
        return nullptr;
    return Trap::Duplicate();
}

void SkyTrap::ResetRuntime()
{
    // The copy's textures and grid are its own.
    if (!sky_image.empty())
        SetSkyImage(sky_image);
}

void SkyTrap::ResetToStart(int32_t loadMode)
{
    if (loadMode == kLoadModeEditor) {
        LoadGraphics();
        return;
    }
    ReleaseGraphics();
    visible = 0;
}

void SkyTrap::SetupWorldMatrix()
{
    DrawSky();
    if (gfx::Device* device = DXManager::GetDevice()) {
        gfx::D3DXMATRIX identity;
        gfx::D3DXMatrixIdentity(&identity);
        device->SetTransform(gfx::D3DTS_WORLD, &identity);
    }
}

void SkyTrap::DrawSky()
{
    gfx::Device* device = DXManager::GetDevice();
    if (!device || !skyVertexBuffer)
        return;
    // 1. Device state.
    gfx::D3DXMATRIX identity;
    gfx::D3DXMatrixIdentity(&identity);
    device->SetTransform(gfx::D3DTS_WORLD, &identity);
    device->SetStreamSource(0, skyVertexBuffer, 0, sizeof(TileVertex));
    device->SetFVF(kSkyFvf);
    device->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, 0);
    device->SetRenderState(gfx::D3DRS_ALPHATESTENABLE, 0);
    // The sky is the first thing of the frame and lies behind everything: no depth test.
    gfx::DWORD savedZ = 0;
    device->GetRenderState(gfx::D3DRS_ZENABLE, &savedZ);
    device->SetRenderState(gfx::D3DRS_ZENABLE, 0);
    device->SetSamplerState(0, gfx::D3DSAMP_ADDRESSU, gfx::D3DTADDRESS_WRAP);
    device->SetSamplerState(0, gfx::D3DSAMP_ADDRESSV, gfx::D3DTADDRESS_WRAP);
    // 2. Motion: per drawn frame (drawing only, never saved).
    scrollU += vx * kMotionFactor;
    scrollV += vy * kMotionFactor;
    angle += rot * kMotionFactor;
    lastUpdate = CurrentUpdateCounter();
    // 3. Tint: texture + tint - 0.5.
    gfx::DWORD savedOp = 0, savedArg1 = 0, savedArg2 = 0;
    device->GetTextureStageState(0, gfx::D3DTSS_COLOROP, &savedOp);
    device->GetTextureStageState(0, gfx::D3DTSS_COLORARG1, &savedArg1);
    device->GetTextureStageState(0, gfx::D3DTSS_COLORARG2, &savedArg2);
    const bool tinted = (tint & 0xFFFFFFu) != kNeutralTint;
    device->SetTextureStageState(0, gfx::D3DTSS_COLORARG1, gfx::D3DTA_TEXTURE);
    if (tinted) {
        device->SetRenderState(gfx::D3DRS_TEXTUREFACTOR, 0xFF000000u | (tint & 0xFFFFFFu));
        device->SetTextureStageState(0, gfx::D3DTSS_COLORARG2, gfx::D3DTA_TFACTOR);
        device->SetTextureStageState(0, gfx::D3DTSS_COLOROP, gfx::D3DTOP_ADDSIGNED);
    } else {
        device->SetTextureStageState(0, gfx::D3DTSS_COLOROP, gfx::D3DTOP_SELECTARG1);
    }
    const uint32_t cells = static_cast<uint32_t>(tileColumns * tileRows);
    if (skyTexture) {
        // 4. One texture over the grid, moved (and turned about the rotation centre).
        device->SetTexture(0, skyTexture->texture);
        device->SetTextureStageState(0, gfx::D3DTSS_TEXTURETRANSFORMFLAGS,
                                     gfx::D3DTTFF_COUNT3 | gfx::D3DTTFF_PROJECTED);
        const gfx::D3DXMATRIX scroll = Translation2D(Wrapped(scrollU), Wrapped(scrollV));
        if (rot == 0.0f) {
            device->SetTransform(gfx::D3DTS_TEXTURE0, &scroll);
            device->DrawPrimitive(gfx::D3DPT_TRIANGLELIST, 0, 2 * cells);
        } else {
            gfx::D3DXMATRIX turn;
            gfx::D3DXMatrixRotationZ(&turn, angle);
            for (int32_t r = 0; r < tileRows; ++r)
                for (int32_t c = 0; c < tileColumns; ++c) {
                    const gfx::D3DXMATRIX place = Translation2D(static_cast<float>(c) - rx, static_cast<float>(r) - ry);
                    gfx::D3DXMATRIX m;
                    gfx::D3DXMatrixMultiply(&m, &place, &turn);
                    gfx::D3DXMatrixMultiply(&m, &m, &scroll);
                    device->SetTransform(gfx::D3DTS_TEXTURE0, &m);
                    device->DrawPrimitive(gfx::D3DPT_TRIANGLELIST,
                                          static_cast<uint32_t>((r * tileColumns + c) * kVerticesPerTile), 2);
                }
        }
        device->SetTextureStageState(0, gfx::D3DTSS_TEXTURETRANSFORMFLAGS, gfx::D3DTTFF_DISABLE);
    } else {
        // 5. The tiles of a landscape-sized image, each with its texture, without motion.
        for (int32_t r = 0; r < tileRows; ++r)
            for (int32_t c = 0; c < tileColumns; ++c) {
                const size_t index = size_t(r) * size_t(tileColumns) + size_t(c);
                if (index >= skyTiles.size() || !skyTiles[index] || !skyTiles[index]->texture)
                    continue;
                device->SetTexture(0, skyTiles[index]->texture);
                device->DrawPrimitive(gfx::D3DPT_TRIANGLELIST, static_cast<uint32_t>(index * kVerticesPerTile), 2);
            }
    }
    // 6. Restore.
    device->SetRenderState(gfx::D3DRS_ZENABLE, savedZ);
    if (tinted)
        device->SetRenderState(gfx::D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu);
    device->SetTextureStageState(0, gfx::D3DTSS_COLOROP, savedOp);
    device->SetTextureStageState(0, gfx::D3DTSS_COLORARG1, savedArg1);
    device->SetTextureStageState(0, gfx::D3DTSS_COLORARG2, savedArg2);
    device->SetSamplerState(0, gfx::D3DSAMP_ADDRESSU, gfx::D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, gfx::D3DSAMP_ADDRESSV, gfx::D3DTADDRESS_CLAMP);
    device->SetTexture(0, nullptr);
}

FloatRect SkyTrap::PlaneRect() const
{
    const float width = static_cast<float>(tileColumns) * CellWidth();
    const float height = static_cast<float>(tileRows) * CellHeight();
    return ProjectRectOntoLandscape(OriginX() + width / 2.0f, OriginY() + height / 2.0f, skyDepth, width / 2.0f,
                                    height / 2.0f, 0.0f);
}

void SkyTrap::SetRotationCentre(float px, float py)
{
    const FloatRect r = PlaneRect();
    if (tileColumns <= 0 || tileRows <= 0 || r.right <= r.left || r.bottom <= r.top)
        return;
    rx = (px - r.left) / ((r.right - r.left) / static_cast<float>(tileColumns));
    ry = (py - r.top) / ((r.bottom - r.top) / static_cast<float>(tileRows));
}

AnimSurface* SkyTrap::SkyImage() const
{
    if (!previewImage && !sky_image.empty() && IsConfinedRelativePath(sky_image))
        previewImage = ImageCache::GetImage(sky_image);
    return previewImage;
}

void SkyTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    XmlAddChildFloat(node, "vx", vx);
    XmlAddChildFloat(node, "vy", vy);
    XmlAddChildFloat(node, "rot", rot);
    XmlAddChildFloat(node, "rx", rx);
    XmlAddChildFloat(node, "ry", ry);
    xmlNewTextChild(node, nullptr, BAD_CAST "sky_image", BAD_CAST sky_image.c_str());
    xmlNewTextChild(node, nullptr, BAD_CAST "sky_base_color", BAD_CAST std::to_string(sky_base_color).c_str());
}

void SkyTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    vx = XmlGetTagFloat(node, "vx", defaults, vx);
    vy = XmlGetTagFloat(node, "vy", defaults, vy);
    rot = XmlGetTagFloat(node, "rot", defaults, rot);
    rx = XmlGetTagFloat(node, "rx", defaults, rx);
    ry = XmlGetTagFloat(node, "ry", defaults, ry);
    sky_base_color = XmlGetTagUInt(node, "sky_base_color", defaults);
    const std::string image = ReplaceAll(XmlGetTagText(node, "sky_image", defaults), "\\\\", "\\");
    if (!image.empty()) {
        // A sky that cannot be read keeps its name, so that saving loses nothing.
        if (SetSkyImage(image) != kDone)
            sky_image = image;
    }
    zorder = 0;
}

void SkyTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(vx);
    hasher.Add(vy);
    hasher.Add(rot);
    hasher.Add(rx);
    hasher.Add(ry);
    hasher.Add(sky_base_color);
}
