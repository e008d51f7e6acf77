#include "traps_flow/SceneryServices.h"

void DrawBackgroundLayerAt(Trap& layer, float screenX, float screenY, const LayerPlacement& placement)
{
    if (auto* background = dynamic_cast<BackgroundTrap*>(&layer))
        background->DrawLayer(false, false, screenX, screenY, placement);
}

void StepBackgroundLayer(Trap& layer)
{
    if (auto* background = dynamic_cast<BackgroundTrap*>(&layer))
        background->StepFrame();
}
