#include "traps/EditorOnlyDraw.h"

#include "levelmodel/EditorPicking.h"
#include "traps/Trap.h"

void DrawInEditorOnly(Trap& trap)
{
    if (LevelEditorOpen())
        trap.Trap::Draw();
}
