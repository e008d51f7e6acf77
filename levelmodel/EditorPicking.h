#pragma once
// What the editor's panels and overlays ask of the level editor (levelmodel/MapEditor.h):
// whether it is open, the selection, finding placed traps by id, closing the open panel,
// and the two picking modes in which the next click in the map goes to a handler (a clicked
// object, or a world point) instead of selecting. The editor screen hands its map clicks to
// DeliverPickedObject / DeliverPickedPoint while a mode is on.
#include "levelmodel/EditorServices.h"

#include <cstdint>
#include <functional>
#include <vector>

class MapObject;
class Trap;

// True while the level editor is open: while its undo history exists.
bool LevelEditorOpen();

// A copy of the editor's selection, in selection order.
std::vector<MapObject*> GetSelectedObjects();
// The placed trap of that id in the editor's model, or null.
MapObject* FindMapTrap(uint32_t id);
// Its trap, or null.
Trap* FindEditorTrap(uint32_t id);

// Target picking: the handler gets the object whose panel is open and the clicked object.
using TargetPickHandler = std::function<void(MapObject* source, MapObject* clicked)>;
void BeginTargetPick(TargetPickHandler handler);
bool TargetPickActive();
// The editor's map click while target picking: runs the handler once and ends the mode.
// False (nothing run) when the mode is off.
bool DeliverPickedObject(MapObject* clicked);

// Point picking: the handler gets the clicked world point. Starting it drops the object
// the editor holds, applying its panel first.
using PointPickHandler = std::function<void(int32_t x, int32_t y)>;
void BeginPointPick(PointPickHandler handler);
bool PointPickActive();
bool DeliverPickedPoint(int32_t x, int32_t y);
// Ends both modes without calling anything (the editor closes, Escape).
void CancelPicking();

// Closes the editor's open property panel, applying it to the selected objects first (and
// recording that for undo) when asked.
void CloseObjectPanel(bool apply);
// Shows the object's panel again after its values changed under it. The editor screen
// installs how; until then nothing is shown.
using PanelRefresher = std::function<void(MapObject* object)>;
void SetPanelRefresher(PanelRefresher refresher);
void RefreshObjectPanel(MapObject* object);
