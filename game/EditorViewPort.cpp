#include "game/EditorViewPort.h"

#include <algorithm>

EditorViewPort::EditorViewPort() = default;
EditorViewPort::~EditorViewPort() = default;

Primitive* EditorViewPort::OnWheel(int delta)
{
    const float zoom = GetZoom();
    SetZoom(delta > 0 ? zoom - 300.0f : zoom + 300.0f, 200);
    return this;
}

void EditorViewPort::SetZoom(float zoom, int duration)
{
    zoom = std::min(zoom, 1.25f * GetFitZoom(false));
    zoom = std::max(zoom, kClosestZoom);
    InteractiveVP::SetZoom(zoom, duration);
}
