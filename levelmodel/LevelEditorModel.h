#pragma once
// The level editor's model as the level loader fills it: the placed objects, the named
// fields of the level settings, the eight group records, the level size, the view centre
// and the read-only switch. The editor's screens, panels, undo history and grid build on
// it when the editor comes.
#include "levelmodel/LevelChooserEntry.h"
#include "levelmodel/MapObject.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Primitive;

class LevelEditorModel {
public:
    LevelEditorModel();
    ~LevelEditorModel();
    LevelEditorModel(const LevelEditorModel&) = delete;
    LevelEditorModel& operator=(const LevelEditorModel&) = delete;

    // Empties the model: objects, fields, groups, size, view, read-only.
    void Reset();
    // Deletes every object; new objects are numbered from 0 again.
    void ClearObjects();
    void AddObject(std::unique_ptr<MapObject> object, uint32_t objectFlags = 0);

    // The settings fields ("LevelName", "LevelTitle", "width" ...).
    void SetFieldText(const std::string& field, const std::string& text);
    void SetFieldValue(const std::string& field, int32_t value);
    // "" for a field never set.
    std::string FieldText(const std::string& field) const;
    // The entries of a list field ("tags").
    void AddFieldEntry(const std::string& field, const std::string& entry);
    const std::vector<std::string>& FieldEntries(const std::string& field) const;

    void SetLevelSize(int32_t w, int32_t h);
    void CentreView(int32_t x, int32_t y, float zoom);
    // The editor's upkeep after a load: images no placed primitive uses any more, the
    // objects' editor flags. The model holds neither yet.
    void ReleaseUnusedPrimitives() {}
    void RefreshObjectFlags() {}

    const std::vector<std::unique_ptr<MapObject>>& Objects() const { return objects_; }
    // The first object of the kind with that id, or null.
    MapObject* FindObject(int kind, uint32_t id) const;

    std::array<GroupSetup, kLevelGroupCount> groups{};
    int32_t width = 0;
    int32_t height = 0;
    int32_t viewX = 0;
    int32_t viewY = 0;
    float viewZoom = 1.0f;
    bool readOnly = false;
    // The "touchscreen" console value the editor restores when it closes.
    int32_t rememberedTouchscreen = 0;
    std::string path; // the level file being edited
    // The selected objects in selection order (not owned; ClearObjects empties it).
    std::vector<MapObject*> selection;
    // The open property panel of the selection, or null (owned by the GUI tree).
    Primitive* propsPanel = nullptr;

private:
    std::vector<std::unique_ptr<MapObject>> objects_;
    std::map<std::string, std::string> fields_;
    std::map<std::string, std::vector<std::string>> lists_;
};
