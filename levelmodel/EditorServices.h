#pragma once
// What the trap kinds and the level reader ask of the run's level editor without including
// its whole class (levelmodel/MapEditor.h): the one editor, its selection, the linked-trap
// lists, applying a property panel, undo recording, the ids and order numbers after a load,
// the group records, the read-only switch and the message log.
#include "levelmodel/LevelChooserEntry.h"

#include <array>
#include <cstdint>
#include <string>

class MapEditor;
class MapObject;
class Primitive;

// The run's level editor, or the one a test installed.
MapEditor& Editor();
// Installs an editor in place of the run's one (tests); null gives the run's one back.
void SetCurrentEditor(MapEditor* editor);
// Empties the run's editor at shutdown, before the GUI windows go.
void ShutdownEditor();

// Adds the object at the end of the selection; a selected one leaves it unless keep.
void EditorToggleSelection(MapObject* object, bool keep);
// Rebuilds the object's list of the ids of the traps that link to it (-1 first, then in
// trap order).
void EditorCollectLinkedTraps(MapObject* object);
// Applies the panel to every selected object and records each as modified; commits the
// step when asked.
void EditorApplyToObjects(Primitive* panel, bool commit);
// Records the object's change (0 created, 1 deleted, 2 modified) in the open undo step;
// nothing while the editor is closed.
void EditorRecordChange(MapObject* object, int32_t action);
// Closes the open undo step.
void EditorCommitStep();
// The reader's upkeep after a load for editing: fresh ids for unusable and doubled ones,
// then the order numbers from the list positions.
void EditorFixObjectIds();
void EditorRenumberOrder();
// The level's eight group records.
std::array<GroupSetup, kLevelGroupCount>& EditorGroups();
bool EditorReadOnly();
// A notice in the editor's message log while it is open, else in the game's.
void EditorNotice(const std::string& text, int32_t sender);
// The change handler of the property panels' controls that apply at once: the panel the
// control lies in is applied to the editor's selection.
void ApplyPanelChange(Primitive* parent, Primitive* control);
