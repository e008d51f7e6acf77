#include "levelmodel/LevelEditorModel.h"

LevelEditorModel::LevelEditorModel()
{
    Reset();
}

LevelEditorModel::~LevelEditorModel() = default;

void LevelEditorModel::Reset()
{
    ClearObjects();
    fields_.clear();
    lists_.clear();
    groups = {};
    for (size_t slot = 0; slot < groups.size(); ++slot)
        groups[slot].slot = static_cast<uint8_t>(slot);
    width = height = 0;
    viewX = viewY = 0;
    viewZoom = 1.0f;
    readOnly = false;
}

void LevelEditorModel::ClearObjects()
{
    selection.clear();
    objects_.clear();
    MapObject::nextId = 0;
}

void LevelEditorModel::AddObject(std::unique_ptr<MapObject> object, uint32_t objectFlags)
{
    if (!object)
        return;
    object->flags = objectFlags;
    objects_.push_back(std::move(object));
}

void LevelEditorModel::SetFieldText(const std::string& field, const std::string& text)
{
    fields_[field] = text;
}

void LevelEditorModel::SetFieldValue(const std::string& field, int32_t value)
{
    fields_[field] = std::to_string(value);
}

std::string LevelEditorModel::FieldText(const std::string& field) const
{
    const auto it = fields_.find(field);
    return it == fields_.end() ? std::string() : it->second;
}

void LevelEditorModel::AddFieldEntry(const std::string& field, const std::string& entry)
{
    lists_[field].push_back(entry);
}

const std::vector<std::string>& LevelEditorModel::FieldEntries(const std::string& field) const
{
    static const std::vector<std::string> none;
    const auto it = lists_.find(field);
    return it == lists_.end() ? none : it->second;
}

void LevelEditorModel::SetLevelSize(int32_t w, int32_t h)
{
    width = w;
    height = h;
}

void LevelEditorModel::CentreView(int32_t x, int32_t y, float zoom)
{
    viewX = x;
    viewY = y;
    viewZoom = zoom;
}


MapObject* LevelEditorModel::FindObject(int kind, uint32_t id) const
{
    for (const auto& object : objects_)
        if (object->GetKind() == kind && object->id == id)
            return object.get();
    return nullptr;
}
