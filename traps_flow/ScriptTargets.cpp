#include "traps_flow/ScriptTargets.h"

#include "app/StringUtil.h"
#include "game/GameController.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"

#include <cstdint>

Trap* FindScriptTarget(uint32_t id)
{
    if (id > static_cast<uint32_t>(INT32_MAX))
        return nullptr;
    return FindTrapById(static_cast<int32_t>(id));
}

uint32_t RemapTrapId(uint32_t id, const std::vector<TrapIdPair>& pairs)
{
    for (const TrapIdPair& pair : pairs)
        if (id == pair.oldId)
            id = pair.newId;
    return id;
}

uint32_t ParseTrapId(const std::string& text)
{
    return ParseLeadingUInt(text);
}

int32_t SpriteFrameCount(const Trap& trap)
{
    return trap.sprite ? trap.sprite->frameCount : 0;
}

int32_t WrapFrame(int64_t frame, int32_t count)
{
    if (count <= 0)
        return 0;
    const int64_t wrapped = frame % count;
    return static_cast<int32_t>(wrapped < 0 ? wrapped + count : wrapped);
}

void DrawIconInEditor(Trap& trap)
{
    if (!LevelEditorOpen())
        return;
    // The icon shows at its own size; the trap's scale is put back at once.
    const float scaleX = trap.scale_x, scaleY = trap.scale_y;
    trap.scale_x = 1.0f;
    trap.scale_y = 1.0f;
    trap.Trap::Draw();
    trap.scale_x = scaleX;
    trap.scale_y = scaleY;
}

int32_t LocalPlayerGroup()
{
    const PlayerRecord* local = Controller().localPlayer;
    return local ? local->team : 255;
}

void HashText(StateHasher& hasher, const std::string& text)
{
    hasher.Add(static_cast<uint32_t>(text.size()));
    hasher.AddBytes(text.data(), text.size());
}
