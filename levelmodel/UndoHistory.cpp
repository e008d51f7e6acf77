#include "levelmodel/UndoHistory.h"

#include "app/Log.h"
#include "app/XmlUtil.h"
#include "levelmodel/MapEditor.h"
#include "levelmodel/MapFlimb.h"
#include "levelmodel/MapPrimitive.h"
#include "levelmodel/MapTrap.h"
#include "traps/Trap.h"
#include "world/Flimb.h"

#include <algorithm>

namespace {

// The text of a child of the state's root element, "" when there is none.
std::string StateChildText(const std::string& state, const char* name)
{
    XmlDocument doc = XmlParseBuffer(state.data(), state.size(), "object-state");
    return XmlNodeText(XmlGetChild(XmlChildren(XmlRoot(doc.get())), name));
}

// A deleted or created object made anew from its record, holding the text, under the
// record's id (a text cannot carry every id: 0 among them). Null when it cannot be made.
std::unique_ptr<MapObject> RemakeObject(const UndoRecord& record, const std::string& text)
{
    std::unique_ptr<MapObject> made = MakeObjectFromRecord(record);
    if (!made)
        return nullptr;
    made->LoadState(text);
    made->id = record.id;
    if (auto* placed = dynamic_cast<MapTrap*>(made.get()); placed && placed->GetTrap())
        placed->GetTrap()->id = record.id;
    return made;
}

} // namespace

std::unique_ptr<MapObject> MakeObjectFromRecord(const UndoRecord& record)
{
    switch (record.kind) {
    case kMapPrimitive:
        return std::make_unique<MapPrimitive>(StateChildText(record.after, "filename"));
    case kMapTrap: {
        const std::string type = StateChildText(record.after, "type");
        std::unique_ptr<Trap> trap = Trap::Create(Trap::KindFromName(type.c_str()));
        if (!trap) {
            WriteLog("WARNING: undo cannot make a trap of type [%.100s]; object %u left out\n", type.c_str(),
                     record.id);
            return nullptr;
        }
        return std::make_unique<MapTrap>(std::move(trap));
    }
    case kMapFlimb: {
        auto flimb = std::make_unique<Flimb>();
        flimb->Init();
        return std::make_unique<MapFlimb>(std::move(flimb));
    }
    default:
        WriteLog("WARNING: undo record of object %u has kind %d; left out\n", record.id, record.kind);
        return nullptr;
    }
}

void UndoHistory::RecordChange(MapObject* object, int32_t action)
{
    if (!object)
        return;
    if (!records.empty() && !stepOpen)
        std::erase_if(records, [this](const UndoRecord& record) { return record.step >= step; });
    UndoRecord* record = nullptr;
    for (auto it = records.rbegin(); it != records.rend() && it->step == step; ++it)
        if (it->id == object->id && it->kind == object->GetKind()) {
            record = &*it;
            break;
        }
    const bool made = record == nullptr;
    UndoRecord fresh;
    if (made) {
        fresh.id = object->id;
        fresh.step = step;
        fresh.kind = object->GetKind();
        fresh.before = object->savedState;
        record = &fresh;
    }
    record->action = action;
    record->after = object->CaptureState();
    if (action == kUndoCreated || action == kUndoDeleted || record->after != record->before)
        stepChanged = true;
    if (made)
        records.push_back(std::move(fresh));
    stepOpen = true;
}

void UndoHistory::CommitStep()
{
    if (!stepOpen)
        return;
    stepOpen = false;
    if (!stepChanged) {
        // Nothing changed: the step's records go, and the next change takes its number.
        std::erase_if(records, [this](const UndoRecord& record) { return record.step == step; });
        return;
    }
    stepChanged = false;
    for (const UndoRecord* record : RecordsOf(step))
        if (record->action != kUndoDeleted)
            if (MapObject* object = owner.FindObjectOfKind(record->kind, record->id))
                object->savedState = record->after;
    ++step;
    owner.modified = true;
}

std::vector<const UndoRecord*> UndoHistory::RecordsOf(int32_t stepNumber) const
{
    std::vector<const UndoRecord*> found;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (it->step < stepNumber)
            break;
        if (it->step == stepNumber)
            found.push_back(&*it);
    }
    return found;
}

template <class Apply>
bool UndoHistory::WalkStep(Apply apply)
{
    // Copies: applying a record changes the model, never the records.
    const std::vector<const UndoRecord*> found = RecordsOf(step);
    for (const UndoRecord* record : found)
        apply(*record);
    return !found.empty();
}

void UndoHistory::Undo()
{
    if (records.empty() || (step == 0 && !stepOpen))
        return;
    if (step > 0 && !(stepOpen && records.back().step == step))
        --step;
    stepOpen = false;
    stepChanged = false;
    owner.selection.clear();
    WalkStep([this](const UndoRecord& record) {
        switch (record.action) {
        case kUndoModified:
            if (MapObject* object = owner.FindObjectOfKind(record.kind, record.id)) {
                object->LoadState(record.before);
                owner.SetObjectOrder(object, object->GetZOrder());
                owner.selection.push_back(object);
            }
            break;
        case kUndoDeleted:
            if (std::unique_ptr<MapObject> made = RemakeObject(record, record.before)) {
                const int order = made->GetZOrder();
                if (MapObject* object = owner.AddObject(std::move(made), false, false, order, true))
                    owner.selection.push_back(object);
            }
            break;
        case kUndoCreated:
            if (MapObject* object = owner.FindObjectOfKind(record.kind, record.id))
                owner.DeleteObject(object);
            break;
        default:
            break;
        }
    });
    owner.UpdateSelectionBounds();
}

void UndoHistory::Redo()
{
    if (records.empty())
        return;
    owner.selection.clear();
    const bool found = WalkStep([this](const UndoRecord& record) {
        switch (record.action) {
        case kUndoModified:
            if (MapObject* object = owner.FindObjectOfKind(record.kind, record.id)) {
                object->LoadState(record.after);
                owner.SetObjectOrder(object, object->GetZOrder());
                owner.selection.push_back(object);
            }
            break;
        case kUndoCreated:
            if (std::unique_ptr<MapObject> made = RemakeObject(record, record.after)) {
                if (MapObject* object = owner.AddObject(std::move(made), false, false, -1, true))
                    owner.selection.push_back(object);
            }
            break;
        case kUndoDeleted:
            if (MapObject* object = owner.FindObjectOfKind(record.kind, record.id))
                owner.DeleteObject(object);
            break;
        default:
            break;
        }
    });
    if (found)
        ++step;
    owner.UpdateSelectionBounds();
}

void UndoHistory::Clear()
{
    records.clear();
    step = 0;
    stepOpen = false;
    stepChanged = false;
}
