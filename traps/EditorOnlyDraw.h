#pragma once
// The drawing of the scripting traps that show only in the level editor (ModifyFlimb,
// WinLose, Chat, Unlock, CameraWatch): the common sprite drawing while the editor is open,
// nothing in play.
class Trap;

void DrawInEditorOnly(Trap& trap);
