#include "traps/EditorOnlyDraw.h"

#include "editor/EditorServices.h"
#include "traps/Trap.h"

void DrawInEditorOnly(Trap& trap)
{
    if (LevelEditorOpen())
        trap.Trap::Draw();
}
