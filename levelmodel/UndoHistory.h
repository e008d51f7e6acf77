#pragma once
// The level editor's undo history: numbered steps of records, one record per object and
// step, each holding the object's state text before and after the step. Recording opens a
// step; committing closes it; undo and redo walk the records of one step and load the texts
// back into the objects (making deleted ones anew, deleting created ones).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MapEditor;
class MapObject;

enum UndoAction : int32_t { kUndoCreated = 0, kUndoDeleted = 1, kUndoModified = 2 };

struct UndoRecord {
    uint32_t id = 0;
    int32_t step = 0;
    int32_t action = kUndoModified;
    int32_t kind = 0;
    std::string before;
    std::string after;
};

class UndoHistory {
public:
    explicit UndoHistory(MapEditor& owner) : owner(owner) {}
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // Records the object's change in the open step (a new change first drops every step that
    // could be redone). The record keeps the object's saved state as its "before" text.
    void RecordChange(MapObject* object, int32_t action);
    // Closes the open step. A step that changed nothing is dropped and the history stays
    // where it was; otherwise the step counts and the level is marked modified. Each object
    // of the step keeps its "after" text as its saved state.
    void CommitStep();
    void Undo();
    void Redo();
    void Clear();

    // The records of one step, newest first.
    std::vector<const UndoRecord*> RecordsOf(int32_t stepNumber) const;

    int32_t step = 0;
    std::vector<UndoRecord> records; // oldest first
    MapEditor& owner;
    bool stepOpen = false;
    bool stepChanged = false;

private:
    // Runs `apply` on each record of `step`, newest first; false when there is none.
    template <class Apply>
    bool WalkStep(Apply apply);
};

// A new object of the record's kind made from its "after" text: a primitive of the named
// image, a trap of the named type, or a flimb. Null (with a log line) when the text names
// no kind that can be made.
std::unique_ptr<MapObject> MakeObjectFromRecord(const UndoRecord& record);
