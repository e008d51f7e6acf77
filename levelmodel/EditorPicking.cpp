#include "levelmodel/EditorPicking.h"

#include "gui/Primitive.h"
#include "levelmodel/LevelEditorModel.h"
#include "levelmodel/MapObject.h"
#include "levelmodel/MapTrap.h"

#include <utility>

namespace {

struct PickState {
    LevelEditorModel* model = nullptr;
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

LevelEditorModel* OpenEditorModel()
{
    return State().model;
}

void SetOpenEditorModel(LevelEditorModel* model)
{
    State().model = model;
    if (!model)
        CancelPicking();
}

bool LevelEditorOpen()
{
    return State().model != nullptr;
}

std::vector<MapObject*> GetSelectedObjects()
{
    LevelEditorModel* model = State().model;
    return model ? model->selection : std::vector<MapObject*>{};
}

MapObject* FindMapTrap(uint32_t id)
{
    LevelEditorModel* model = State().model;
    return model ? model->FindObject(kMapTrap, id) : nullptr;
}

Trap* FindEditorTrap(uint32_t id)
{
    auto* placed = dynamic_cast<MapTrap*>(FindMapTrap(id));
    return placed ? placed->GetTrap() : nullptr;
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
    ClearHeldObject(true);
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

void ClearHeldObject(bool apply)
{
    LevelEditorModel* model = State().model;
    if (!model || !model->propsPanel)
        return;
    Primitive* panel = model->propsPanel;
    if (apply) {
        for (MapObject* object : std::vector<MapObject*>(model->selection))
            if (object)
                object->ApplyConfigProps(panel);
        panel->ClearPressed();
    }
    panel->Deactivate();
    model->propsPanel = nullptr;
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
