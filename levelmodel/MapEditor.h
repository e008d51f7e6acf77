#pragma once
// The level editor's model: the placed primitives, traps and flimbs of the level being
// edited, their id maps, the selection, the order numbers, the open property panel, the
// undo history, the message log, the eight group records and the level's named settings.
// One MapEditor serves the whole run (Editor()); its model is empty while levels are
// played, the level reader fills it for editing, and Reset empties it again. It is open
// while its undo history exists (Open creates it, Reset destroys it).
//
// The editor's screens (the view, drawing, input, saving) build on it; the trap kinds reach
// it from their property panels, link drawing and undo recording.
#include "game/MessageLog.h"
#include "gui/PrimContainer.h"
#include "levelmodel/EditorServices.h"
#include "levelmodel/LevelChooserEntry.h"
#include "levelmodel/MapObject.h"
#include "levelmodel/UndoHistory.h"
#include "platform/gfx/D3DTypes.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class EditorViewPort;
class Trap;

class MapEditor : public PrimContainer {
public:
    using ObjectList = std::vector<std::unique_ptr<MapObject>>;

    MapEditor();
    ~MapEditor() override;

    // ---- Opening and closing -------------------------------------------------------------
    // Creates the undo history: from here on the editor is open.
    void Open();
    bool IsOpen() const { return undo != nullptr; }
    // Closes the editor: its windows go, the objects are destroyed, the undo history, the
    // messages and the level's settings are emptied.
    void Reset();
    // Destroys every object, empties the selection and the undo history and numbers new
    // objects from 0 again.
    void ClearObjects();

    // ---- Objects -------------------------------------------------------------------------
    // Files the object by its kind (primitives and traps also under their id, a later
    // object taking an id over from an earlier one) and inserts it at `index` of its list
    // (-1 or past the end: last). Then renumbers the order numbers when asked, and selects
    // it when asked (recording the selection as created for undo with recordCreation).
    // With renumber the object keeps its current state as its saved state (without, the
    // caller renumbers and commits the states once it has filed everything). Returns it;
    // null (the object destroyed, with a log line) for a kind that has no list.
    MapObject* AddObject(std::unique_ptr<MapObject> object, bool select = false, bool recordCreation = false,
                         int index = -1, bool renumber = true);
    MapObject* FindPrimitive(uint32_t id) const;
    MapObject* FindTrap(uint32_t id) const;
    // The trap of the placed trap of that id, or null.
    Trap* FindTrapObject(uint32_t id) const;
    // A trap, else a primitive, else the first flimb of that id; null when none.
    MapObject* FindObject(uint32_t id) const;
    // The object of that kind and id (flimbs: the first in list order); null when none.
    MapObject* FindObjectOfKind(int kind, uint32_t id) const;
    // Moves a primitive or trap to position z of its list (kept within the list).
    void SetObjectOrder(MapObject* object, int z);
    // Order numbers from the list positions.
    void RenumberOrder();
    // Destroys the object (traps first tell every trap that it goes). It also leaves the
    // selection.
    void DeleteObject(MapObject* object);
    // The ids of the traps whose links name the object: -1 first, then in trap order.
    void CollectLinkedTraps(MapObject* object);

    const ObjectList& Primitives() const { return primitives_; }
    const ObjectList& Traps() const { return traps_; }
    const ObjectList& Flimbs() const { return flimbs_; }
    size_t ObjectCount() const { return primitives_.size() + traps_.size() + flimbs_.size(); }

    // ---- Selection and panels --------------------------------------------------------------
    // Adds the object at the end of the selection; a selected one leaves it unless keep.
    void ToggleSelection(MapObject* object, bool keep);
    bool IsSelected(const MapObject* object) const;
    // Applies the panel to every selected object and records each as modified; commits the
    // step when asked.
    void ApplyToObjects(Primitive* panel, bool commit);
    // Closes the open property panel, applying it first when asked.
    void CloseObjectPanel(bool apply);
    void UpdateSelectionBounds();
    // Every object keeps its current state as its saved state (after a load).
    void CommitObjectStates();
    // Records every selected object with the action and commits the step.
    void RecordSelection(int32_t action);
    // Gives every selected primitive the image and records the selection as one step.
    void SetImageOfSelection(const std::string& imageName);

    // ---- After a load for editing ----------------------------------------------------------
    // The id counter goes past the largest id; placed traps with id 0, 0x7FFFFFFF or
    // 0xFFFFFFFF, and the earlier objects of an id used twice in a kind, take fresh ids
    // (re-filed, with a log line for the doubles).
    void FixObjectIds();

    // ---- The level's named settings ----------------------------------------------------------
    // The fields of the level settings ("LevelName", "LevelTitle", "width" ...).
    void SetFieldText(const std::string& field, const std::string& text);
    void SetFieldValue(const std::string& field, int32_t value);
    // "" for a field never set.
    std::string FieldText(const std::string& field) const;
    // The entries of a list field ("tags").
    void AddFieldEntry(const std::string& field, const std::string& entry);
    const std::vector<std::string>& FieldEntries(const std::string& field) const;
    void SetLevelSize(int32_t w, int32_t h);
    void CentreView(int32_t x, int32_t y, float zoom);

    // ---- The model, in its order -------------------------------------------------------------
    std::vector<MapObject*> selection; // in selection order; not owned
    std::vector<MapObject*> visiblePrimitives;
    std::vector<MapObject*> visibleTraps;
    std::vector<MapObject*> visibleTrapsFront;
    bool orderChanged = false;
    gfx::RECT selectionBounds{};
    std::unique_ptr<UndoHistory> undo;
    bool modified = false;
    EditorViewPort* view = nullptr; // "MOUSEPORT", set by the editor screen
    MessageLog messages{100};
    Primitive* propsPanel = nullptr; // the open property panel of the selection
    std::array<GroupSetup, kLevelGroupCount> groups{};
    bool readOnly = false;
    int32_t skyTrapId = -1;

    // The level's size, the view centre, the "touchscreen" value restored when the editor
    // closes and the level file being edited.
    int32_t width = 0;
    int32_t height = 0;
    int32_t viewX = 0;
    int32_t viewY = 0;
    float viewZoom = 1.0f;
    int32_t rememberedTouchscreen = 0;
    std::string path;

private:
    ObjectList* ListOf(int kind);
    std::unordered_map<uint32_t, MapObject*>* IdMapOf(int kind);
    // Takes the object out of its list and map; the caller owns it then.
    std::unique_ptr<MapObject> TakeOut(MapObject* object);
    // The next counter value that no object of the kind uses and that reads back as an id.
    uint32_t TakeFreshId(int kind);
    void ResetSettings();

    ObjectList primitives_;
    std::unordered_map<uint32_t, MapObject*> primitiveIds_;
    ObjectList traps_;
    std::unordered_map<uint32_t, MapObject*> trapIds_;
    ObjectList flimbs_;
    std::map<std::string, std::string> fields_;
    std::map<std::string, std::vector<std::string>> lists_;
};
