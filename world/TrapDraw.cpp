#include "world/TrapDraw.h"

#include "game/GameController.h"
#include "media/AnimSurface.h"
#include "media/DXManager.h"
#include "platform/gfx/Device.h"
#include "traps/Trap.h"
#include "world/ConsoleValues.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

TrapRegistries& Registries()
{
    return World().traps;
}

bool Drawable(const Trap& trap)
{
    return KindTraits(trap.kind).layered || GodModeOn();
}

bool Meets(const gfx::RECT& a, const gfx::RECT& b)
{
    gfx::RECT ignored;
    return gfx::IntersectRect(&ignored, &a, &b);
}

void DrawHighlightMarker()
{
    TrapRegistries& registries = Registries();
    if (registries.highlightedTrapId < 0)
        return;
    Trap* trap = FindTrapById(registries.highlightedTrapId);
    AnimSurface* marker = GroupSelectImage();
    if (!trap || !marker || !marker->bitmap)
        return;
    const gfx::RECT bounds = trap->GetBounds();
    const float seconds = static_cast<float>(CurrentGameTime() / 1000);
    const float scale = 2.5f + 0.5f * std::sin(3.0f * seconds); // drawing only: not simulation
    BaseSurface& image = *marker->bitmap;
    const float oldX = image.scaleX, oldY = image.scaleY, oldRotation = image.rotation;
    // The marker stands in the world: its point, size and turn go through the current view.
    float x = static_cast<float>(bounds.left + bounds.right) / 2.0f;
    float y = static_cast<float>(bounds.top + bounds.bottom) / 2.0f;
    WorldToScreen(x, y);
    image.scaleX = image.scaleY = std::fabs(scale) * CurrentViewScale();
    image.rotation = trap->rotation * 3.14159265f / 180.0f + 3.0f * 3.14159265f / 2.0f - GameViewRotation();
    marker->Draw(x, y);
    image.scaleX = oldX, image.scaleY = oldY, image.rotation = oldRotation;
}

int g_backgroundTilesDrawn = 0;

} // namespace

int& BackgroundTilesDrawn()
{
    return g_backgroundTilesDrawn;
}

void AddTrapToDrawList(Trap* trap)
{
    TrapRegistries& registries = Registries();
    if (!trap || !Drawable(*trap) || registries.drawMap.count(trap->id))
        return;
    if (!Meets(trap->GetBounds(), registries.visibleRect))
        return;
    auto after = std::find_if(registries.drawList.begin(), registries.drawList.end(),
                              [trap](const Trap* t) { return t->registration > trap->registration; });
    registries.drawList.insert(after, trap);
    registries.drawMap[trap->id] = trap;
}

void ResetTrapDrawState()
{
    TrapRegistries& registries = Registries();
    registries.drawList.clear();
    registries.drawMap.clear();
    registries.visibleRect = {-1, -1, -1, -1};
    registries.drawListDirty = false;
    registries.registrationCounter = 0;
    registries.highlightedTrapId = -1;
}

void RebuildTrapDrawList()
{
    TrapRegistries& registries = Registries();
    g_backgroundTilesDrawn = 0;
    const gfx::RECT visible = VisibleWorldRect();
    if (registries.drawListDirty || !(visible == registries.visibleRect)) {
        registries.drawList.clear();
        registries.drawMap.clear();
        registries.visibleRect = visible;
        registries.drawListDirty = false;
        for (const auto& trap : registries.all) {
            if (!Drawable(*trap) || !Meets(trap->GetBounds(), visible))
                continue;
            registries.drawList.push_back(trap.get());
            registries.drawMap[trap->id] = trap.get();
        }
    }
    if (Controller().runState != kRunPaused)
        for (const auto& trap : registries.all)
            trap->StepFrame();
    for (Trap* trap : registries.drawList) {
        if (!trap->visible)
            continue;
        trap->DrawBack();
        if (trap->zorder && trap->flimborder && trap->renderUnderShadow)
            trap->Draw();
    }
}

void DrawTrapsBackLayer()
{
    for (Trap* trap : Registries().drawList)
        if (trap->visible && trap->zorder && trap->flimborder && !trap->renderUnderShadow)
            trap->Draw();
}

void DrawTrapsMiddleLayer()
{
    for (Trap* trap : Registries().drawList)
        if (trap->visible && trap->flimborder && !trap->zorder)
            trap->Draw();
}

void DrawTrapsFrontLayer()
{
    gfx::Device* device = DXManager::GetDevice();
    gfx::DWORD zEnable = 0, zFunc = 0;
    if (device) {
        device->GetRenderState(gfx::D3DRS_ZENABLE, &zEnable);
        device->GetRenderState(gfx::D3DRS_ZFUNC, &zFunc);
    }
    for (int32_t kind = 0; kind < kTrapKindCount; ++kind) {
        if (!KindTraits(kind).extra_pass)
            continue;
        for (Trap* trap : GetTrapsOfKind(static_cast<uint32_t>(kind)))
            if (trap->visible)
                trap->ExtraPass();
    }
    for (Trap* trap : Registries().drawList) {
        if (!trap->visible)
            continue;
        trap->DrawExtra();
        if (trap->flimborder)
            continue;
        if (!trap->zorder || !device) {
            trap->Draw();
            continue;
        }
        device->SetRenderState(gfx::D3DRS_ZENABLE, 1);
        device->SetRenderState(gfx::D3DRS_ZFUNC, gfx::D3DCMP_LESS);
        trap->Draw();
        device->SetRenderState(gfx::D3DRS_ZENABLE, zEnable);
        device->SetRenderState(gfx::D3DRS_ZFUNC, zFunc);
    }
    DrawHighlightMarker();
}
