#include "levelmodel/EditorPicking.h"

#include "levelmodel/MapEditor.h"
#include "levelmodel/MapObject.h"

#include <utility>

namespace {

struct PickState {
    TargetPickHandler targetHandler;
    PointPickHandler pointHandler;
    PanelRefresher refresher;
};

PickState& State()
{
    static PickState state;
    return state;
}

} // namespace

bool LevelEditorOpen()
{
    return Editor().IsOpen();
}

std::vector<MapObject*> GetSelectedObjects()
{
    return Editor().selection;
}

MapObject* FindMapTrap(uint32_t id)
{
    return Editor().FindTrap(id);
}

Trap* FindEditorTrap(uint32_t id)
{
    return Editor().FindTrapObject(id);
}

void BeginTargetPick(TargetPickHandler handler)
{
    State().pointHandler = nullptr;
    State().targetHandler = std::move(handler);
}

bool TargetPickActive()
{
    return static_cast<bool>(State().targetHandler);
}

bool DeliverPickedObject(MapObject* clicked)
{
    TargetPickHandler handler = std::move(State().targetHandler);
    State().targetHandler = nullptr;
    if (!handler)
        return false;
    handler(MapObject::panelObject, clicked);
    return true;
}

void BeginPointPick(PointPickHandler handler)
{
    CloseObjectPanel(true);
    State().targetHandler = nullptr;
    State().pointHandler = std::move(handler);
}

bool PointPickActive()
{
    return static_cast<bool>(State().pointHandler);
}

bool DeliverPickedPoint(int32_t x, int32_t y)
{
    PointPickHandler handler = std::move(State().pointHandler);
    State().pointHandler = nullptr;
    if (!handler)
        return false;
    handler(x, y);
    return true;
}

void CancelPicking()
{
    State().targetHandler = nullptr;
    State().pointHandler = nullptr;
}

void CloseObjectPanel(bool apply)
{
    Editor().CloseObjectPanel(apply);
}

void SetPanelRefresher(PanelRefresher refresher)
{
    State().refresher = std::move(refresher);
}

void RefreshObjectPanel(MapObject* object)
{
    if (object && State().refresher)
        State().refresher(object);
}
