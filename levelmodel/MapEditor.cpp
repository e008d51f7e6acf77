#include "levelmodel/MapEditor.h"

#include "app/Log.h"
#include "game/EditorViewPort.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapPrimitive.h"
#include "levelmodel/MapTrap.h"
#include "traps/Trap.h"
#include "world/Landscape.h"

#include <algorithm>
#include <unordered_set>

namespace {

MapEditor* g_installedEditor = nullptr;

// Ids that a level file cannot carry: reading them keeps the object's own id.
bool IsUnreadableId(uint32_t id)
{
    return id == 0 || id == 0x7FFFFFFFu || id == 0xFFFFFFFFu;
}

const char* KindName(int kind)
{
    return kind == kMapPrimitive ? "primitive" : kind == kMapTrap ? "trap" : "flimb";
}

// Re-files an object under a new id (its trap follows it).
void Renumber(MapObject& object, uint32_t newId, std::unordered_map<uint32_t, MapObject*>* ids)
{
    if (ids) {
        const auto it = ids->find(object.id);
        if (it != ids->end() && it->second == &object)
            ids->erase(it);
        (*ids)[newId] = &object;
    }
    object.id = newId;
    if (auto* placed = dynamic_cast<MapTrap*>(&object); placed && placed->GetTrap())
        placed->GetTrap()->id = newId;
    object.CommitState();
}

} // namespace

MapEditor::MapEditor()
{
    SetName("MapEditor");
    deleteWhenClosed = 0;
    ResetSettings();
}

MapEditor::~MapEditor()
{
    // The objects go before the container's children: a trap's panel may be one of them.
    selection.clear();
    propsPanel = nullptr;
    traps_.clear();
    primitives_.clear();
    flimbs_.clear();
}

void MapEditor::Open()
{
    if (!undo)
        undo = std::make_unique<UndoHistory>(*this);
}

void MapEditor::ResetSettings()
{
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

void MapEditor::Reset()
{
    // Seam: the editor screen writes its options file here and releases its grid buffer and
    // overlay surfaces; the level settings window's game mode object goes here too.
    CancelPicking();
    ClearChildren(false);
    view = nullptr;
    propsPanel = nullptr;
    Trap::EndEditing();
    ClearObjects();
    undo.reset();
    messages.Clear(false);
    ResetSettings();
}

void MapEditor::ClearObjects()
{
    if (undo)
        undo->Clear();
    selection.clear();
    primitives_.clear();
    primitiveIds_ = {};
    visiblePrimitives.clear();
    flimbs_.clear();
    traps_.clear();
    trapIds_ = {};
    visibleTraps.clear();
    visibleTrapsFront.clear();
    modified = false;
    skyTrapId = -1;
    MapObject::nextId = 0;
}

MapEditor::ObjectList* MapEditor::ListOf(int kind)
{
    switch (kind) {
    case kMapPrimitive:
        return &primitives_;
    case kMapTrap:
        return &traps_;
    case kMapFlimb:
        return &flimbs_;
    default:
        return nullptr;
    }
}

std::unordered_map<uint32_t, MapObject*>* MapEditor::IdMapOf(int kind)
{
    return kind == kMapPrimitive ? &primitiveIds_ : kind == kMapTrap ? &trapIds_ : nullptr;
}

MapObject* MapEditor::AddObject(std::unique_ptr<MapObject> object, bool select, bool recordCreation, int index,
                                bool renumber)
{
    if (!object)
        return nullptr;
    const int kind = object->GetKind();
    ObjectList* list = ListOf(kind);
    if (!list) {
        WriteLog("WARNING: the level editor has no list for objects of kind %d; object %u dropped\n", kind,
                 object->id);
        return nullptr;
    }
    MapObject* raw = object.get();
    if (auto* ids = IdMapOf(kind))
        (*ids)[raw->id] = raw;
    if (kind == kMapFlimb || index < 0 || static_cast<size_t>(index) >= list->size())
        list->push_back(std::move(object));
    else
        list->insert(list->begin() + index, std::move(object));
    if (renumber) {
        RenumberOrder();
        raw->CommitState();
    }
    if (select) {
        selection.push_back(raw);
        if (recordCreation)
            RecordSelection(kUndoCreated);
    }
    return raw;
}

MapObject* MapEditor::FindPrimitive(uint32_t id) const
{
    const auto it = primitiveIds_.find(id);
    return it == primitiveIds_.end() ? nullptr : it->second;
}

MapObject* MapEditor::FindTrap(uint32_t id) const
{
    const auto it = trapIds_.find(id);
    return it == trapIds_.end() ? nullptr : it->second;
}

Trap* MapEditor::FindTrapObject(uint32_t id) const
{
    auto* placed = dynamic_cast<MapTrap*>(FindTrap(id));
    return placed ? placed->GetTrap() : nullptr;
}

MapObject* MapEditor::FindObject(uint32_t id) const
{
    if (MapObject* trap = FindTrap(id))
        return trap;
    if (MapObject* primitive = FindPrimitive(id))
        return primitive;
    return FindObjectOfKind(kMapFlimb, id);
}

MapObject* MapEditor::FindObjectOfKind(int kind, uint32_t id) const
{
    switch (kind) {
    case kMapPrimitive:
        return FindPrimitive(id);
    case kMapTrap:
        return FindTrap(id);
    case kMapFlimb:
        for (const auto& flimb : flimbs_)
            if (flimb->id == id)
                return flimb.get();
        return nullptr;
    default:
        return nullptr;
    }
}

std::unique_ptr<MapObject> MapEditor::TakeOut(MapObject* object)
{
    ObjectList* list = object ? ListOf(object->GetKind()) : nullptr;
    if (!list)
        return nullptr;
    const auto it = std::find_if(list->begin(), list->end(), [object](const auto& each) { return each.get() == object; });
    if (it == list->end())
        return nullptr;
    std::unique_ptr<MapObject> owned = std::move(*it);
    list->erase(it);
    if (auto* ids = IdMapOf(object->GetKind())) {
        const auto entry = ids->find(object->id);
        if (entry != ids->end() && entry->second == object)
            ids->erase(entry);
    }
    return owned;
}

void MapEditor::SetObjectOrder(MapObject* object, int z)
{
    if (!object || (object->GetKind() != kMapPrimitive && object->GetKind() != kMapTrap))
        return;
    const int count = static_cast<int>(ListOf(object->GetKind())->size());
    z = std::clamp(z, 0, std::max(count - 1, 0));
    std::unique_ptr<MapObject> owned = TakeOut(object);
    if (!owned)
        return;
    const std::string saved = owned->savedState;
    AddObject(std::move(owned), false, false, z, true);
    object->savedState = saved; // a move keeps the state last recorded
}

void MapEditor::RenumberOrder()
{
    int32_t order = 0;
    for (const auto& primitive : primitives_)
        static_cast<MapPrimitive&>(*primitive).mapOrder = order++;
    order = 0;
    for (const auto& trap : traps_)
        static_cast<MapTrap&>(*trap).mapOrder = order++;
    orderChanged = true;
}

void MapEditor::DeleteObject(MapObject* object)
{
    if (!object)
        return;
    const int kind = object->GetKind();
    if (kind == kMapTrap) {
        auto* dying = static_cast<MapTrap*>(object)->GetTrap();
        for (const auto& each : traps_)
            if (Trap* trap = static_cast<MapTrap&>(*each).GetTrap())
                trap->ForgetTrap(dying);
    }
    std::unique_ptr<MapObject> owned = TakeOut(object);
    if (!owned)
        return;
    if (kind == kMapPrimitive)
        visiblePrimitives.clear();
    if (kind == kMapTrap) {
        visibleTraps.clear();
        visibleTrapsFront.clear();
    }
    // Callers take it out of the selection first; a pointer left there would dangle.
    std::erase(selection, object);
    owned.reset();
    RenumberOrder();
}

void MapEditor::CollectLinkedTraps(MapObject* object)
{
    if (!object)
        return;
    object->linkedTrapIds.clear();
    object->linkedTrapIds.push_back(0xFFFFFFFFu); // -1
    for (const auto& each : traps_) {
        Trap* trap = static_cast<MapTrap&>(*each).GetTrap();
        if (trap && trap->DrawEditorLinks(object, false))
            object->linkedTrapIds.push_back(each->id);
    }
}

void MapEditor::ToggleSelection(MapObject* object, bool keep)
{
    if (!object)
        return;
    const auto it = std::find(selection.begin(), selection.end(), object);
    if (it == selection.end())
        selection.push_back(object);
    else if (!keep)
        selection.erase(it);
}

bool MapEditor::IsSelected(const MapObject* object) const
{
    return std::find(selection.begin(), selection.end(), object) != selection.end();
}

void MapEditor::ApplyToObjects(Primitive* panel, bool commit)
{
    if (!panel)
        return;
    Landscape* landscape = view ? GameLandscape() : nullptr;
    ViewPort* previous = landscape ? landscape->MakeCurrent(view) : nullptr;
    for (MapObject* object : std::vector<MapObject*>(selection)) {
        object->ApplyConfigProps(panel);
        if (undo)
            undo->RecordChange(object, kUndoModified);
    }
    panel->ClearPressed();
    UpdateSelectionBounds();
    if (commit && undo)
        undo->CommitStep();
    if (landscape)
        landscape->MakeCurrent(previous);
}

void MapEditor::CloseObjectPanel(bool apply)
{
    if (!propsPanel)
        return;
    if (apply)
        ApplyToObjects(propsPanel, true);
    Trap::EndEditing();
    propsPanel->Deactivate();
    propsPanel = nullptr;
}

void MapEditor::CommitObjectStates()
{
    for (const ObjectList* list : {&primitives_, &traps_, &flimbs_})
        for (const auto& object : *list)
            object->CommitState();
}

void MapEditor::UpdateSelectionBounds()
{
    selectionBounds = gfx::RECT{};
    bool first = true;
    for (const MapObject* object : selection) {
        const gfx::RECT bounds = object->GetBounds();
        if (first) {
            selectionBounds = bounds;
            first = false;
            continue;
        }
        selectionBounds.left = std::min(selectionBounds.left, bounds.left);
        selectionBounds.top = std::min(selectionBounds.top, bounds.top);
        selectionBounds.right = std::max(selectionBounds.right, bounds.right);
        selectionBounds.bottom = std::max(selectionBounds.bottom, bounds.bottom);
    }
}

void MapEditor::RecordSelection(int32_t action)
{
    UpdateSelectionBounds();
    if (!undo)
        return;
    for (MapObject* object : selection)
        undo->RecordChange(object, action);
    undo->CommitStep();
}

void MapEditor::SetImageOfSelection(const std::string& imageName)
{
    for (MapObject* object : selection)
        if (object->GetKind() == kMapPrimitive)
            static_cast<MapPrimitive*>(object)->SetImage(imageName);
    RecordSelection(kUndoModified);
}

uint32_t MapEditor::TakeFreshId(int /*kind*/)
{
    for (;;) {
        const uint32_t id = MapObject::nextId++;
        if (!IsUnreadableId(id) && !FindObject(id))
            return id;
    }
}

void MapEditor::FixObjectIds()
{
    uint32_t largest = 0;
    bool any = false;
    // Ids that are about to be replaced do not count: 0xFFFFFFFF would wrap the counter.
    for (const ObjectList* list : {&primitives_, &traps_, &flimbs_})
        for (const auto& object : *list) {
            if (IsUnreadableId(object->id))
                continue;
            largest = any ? std::max(largest, object->id) : object->id;
            any = true;
        }
    if (any)
        MapObject::nextId = largest + 1;

    for (const auto& trap : traps_)
        if (IsUnreadableId(trap->id))
            Renumber(*trap, TakeFreshId(kMapTrap), &trapIds_);

    // An id used twice in a kind stays with the later object, as the id maps file them.
    for (const int kind : {kMapTrap, kMapPrimitive}) {
        auto* ids = IdMapOf(kind);
        for (const auto& object : *ListOf(kind)) {
            const auto entry = ids->find(object->id);
            if (entry != ids->end() && entry->second == object.get())
                continue;
            const uint32_t old = object->id;
            const uint32_t fresh = TakeFreshId(kind);
            WriteLog("WARNING: %s id %u is used twice; the earlier one takes id %u\n", KindName(kind), old, fresh);
            Renumber(*object, fresh, nullptr);
            (*ids)[fresh] = object.get();
        }
    }
    std::unordered_map<uint32_t, size_t> lastFlimb;
    for (size_t i = 0; i < flimbs_.size(); ++i)
        lastFlimb[flimbs_[i]->id] = i;
    for (size_t i = 0; i < flimbs_.size(); ++i) {
        MapObject& flimb = *flimbs_[i];
        if (lastFlimb[flimb.id] == i)
            continue;
        const uint32_t old = flimb.id;
        const uint32_t fresh = TakeFreshId(kMapFlimb);
        WriteLog("WARNING: %s id %u is used twice; the earlier one takes id %u\n", KindName(kMapFlimb), old, fresh);
        Renumber(flimb, fresh, nullptr);
    }
}

void MapEditor::SetFieldText(const std::string& field, const std::string& text)
{
    fields_[field] = text;
}

void MapEditor::SetFieldValue(const std::string& field, int32_t value)
{
    fields_[field] = std::to_string(value);
}

std::string MapEditor::FieldText(const std::string& field) const
{
    const auto it = fields_.find(field);
    return it == fields_.end() ? std::string() : it->second;
}

void MapEditor::AddFieldEntry(const std::string& field, const std::string& entry)
{
    lists_[field].push_back(entry);
}

const std::vector<std::string>& MapEditor::FieldEntries(const std::string& field) const
{
    static const std::vector<std::string> none;
    const auto it = lists_.find(field);
    return it == lists_.end() ? none : it->second;
}

void MapEditor::SetLevelSize(int32_t w, int32_t h)
{
    width = w;
    height = h;
}

void MapEditor::CentreView(int32_t x, int32_t y, float zoom)
{
    viewX = x;
    viewY = y;
    viewZoom = zoom;
}

MapEditor& Editor()
{
    if (g_installedEditor)
        return *g_installedEditor;
    // Made on first use and never destroyed: ShutdownEditor empties it while the GUI and the
    // image cache still exist, and nothing of it is left for the exit to tear down.
    static MapEditor* const runEditor = new MapEditor();
    return *runEditor;
}

void SetCurrentEditor(MapEditor* editor)
{
    CancelPicking();
    g_installedEditor = editor;
}

void ShutdownEditor()
{
    g_installedEditor = nullptr;
    Editor().Reset();
}

void EditorNotice(const std::string& text, int32_t sender)
{
    MapEditor& editor = Editor();
    if (editor.IsOpen())
        editor.messages.Add(text, sender);
    else
        Controller().messages.Add(text, sender);
}

void ApplyPanelChange(Primitive* /*parent*/, Primitive* control)
{
    if (!control)
        return;
    Primitive* window = LayoutPanel::Of(control);
    if (!window)
        window = control->FindOwningWindow();
    Editor().ApplyToObjects(window, false);
}

void EditorToggleSelection(MapObject* object, bool keep)
{
    Editor().ToggleSelection(object, keep);
}

void EditorCollectLinkedTraps(MapObject* object)
{
    Editor().CollectLinkedTraps(object);
}

void EditorApplyToObjects(Primitive* panel, bool commit)
{
    Editor().ApplyToObjects(panel, commit);
}

void EditorRecordChange(MapObject* object, int32_t action)
{
    if (UndoHistory* undo = Editor().undo.get())
        undo->RecordChange(object, action);
}

void EditorCommitStep()
{
    if (UndoHistory* undo = Editor().undo.get())
        undo->CommitStep();
}

void EditorFixObjectIds()
{
    Editor().FixObjectIds();
}

void EditorRenumberOrder()
{
    Editor().RenumberOrder();
}

std::array<GroupSetup, kLevelGroupCount>& EditorGroups()
{
    return Editor().groups;
}

bool EditorReadOnly()
{
    return Editor().readOnly;
}
