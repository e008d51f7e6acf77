#include "media/Cursors.h"

#include "app/Log.h"
#include "app/XmlUtil.h"
#include "media/ImageCache.h"
#include "media/SpriteSheet.h"

#include <set>

namespace Cursors {
namespace {

struct Cursor {
    std::string name;
    AnimSurface* image = nullptr; // one image-cache reference; null draws nothing
    int frameDelay = 0;
};

struct CursorState {
    std::vector<Cursor> cursors;
    std::string current = "regular";
    std::set<std::string> reportedUnknown;
    bool moved = false;
};

CursorState& State()
{
    static CursorState state;
    return state;
}

const Cursor* Find(const std::string& name)
{
    for (const Cursor& cursor : State().cursors)
        if (cursor.name == name)
            return &cursor;
    return nullptr;
}

} // namespace

bool LoadSpecs(const std::string& specFile)
{
    Shutdown();
    XmlDocument document = XmlLoadFile(specFile);
    SpriteSheet sheet;
    SpriteSet set;
    if (!document || !SpriteSheet::Load(sheet, document.get(), "Graphics\\Cursors") ||
        SpriteSheet::LoadAnimations("cursors", sheet, document.get(), set) < 0) {
        WriteLog("Cannot load the cursors from %s\n", specFile.c_str());
        return false;
    }
    CursorState& state = State();
    for (const SpriteAnimation& animation : set.animations) {
        if (animation.name.empty() || Find(animation.name)) {
            WriteLog("Cursor spec: skipped an unnamed or repeated cursor \"%s\"\n", animation.name.c_str());
            continue;
        }
        Cursor cursor;
        cursor.name = animation.name;
        cursor.frameDelay = animation.frameDelay;
        if (!animation.file.empty()) {
            cursor.image = SpriteSheet::GetAnimationImage(sheet, animation);
            if (!cursor.image)
                WriteLog("Cursor \"%s\": no image %s\n", animation.name.c_str(), animation.file.c_str());
        }
        state.cursors.push_back(cursor);
    }
    if (!Find("regular"))
        WriteLog("Cursor spec %s has no \"regular\" cursor\n", specFile.c_str());
    return true;
}

void SetCursor(const std::string& name)
{
    CursorState& state = State();
    if (Find(name) || state.cursors.empty()) {
        state.current = name;
        return;
    }
    if (state.reportedUnknown.insert(name).second)
        WriteLog("Unknown cursor \"%s\"\n", name.c_str());
    state.current = "regular";
}

const std::string& CurrentName()
{
    return State().current;
}

bool HasCursor(const std::string& name)
{
    return Find(name) != nullptr;
}

std::vector<std::string> CursorNames()
{
    std::vector<std::string> names;
    for (const Cursor& cursor : State().cursors)
        names.push_back(cursor.name);
    return names;
}

void Draw(int x, int y, uint32_t now)
{
    const Cursor* cursor = Find(State().current);
    if (!cursor || !cursor->image)
        return;
    AnimSurface* image = cursor->image;
    if (image->frameCount > 1 && cursor->frameDelay > 0)
        image->SetFrame(int((now / uint32_t(cursor->frameDelay)) % uint32_t(image->frameCount)));
    image->Draw(float(x), float(y));
}

void Shutdown()
{
    CursorState& state = State();
    for (Cursor& cursor : state.cursors)
        ImageCache::ReleaseImage(cursor.image);
    state.cursors.clear();
    state.reportedUnknown.clear();
    state.current = "regular";
}

bool CursorMoved()
{
    return State().moved;
}

void SetCursorMoved(bool moved)
{
    State().moved = moved;
}

} // namespace Cursors
