// Level files as packages and the network bring them: the bytes go through the summary
// reader of level lists, a preview load, and, with their hash set as the editor would, a
// game load into the world and a load for editing: every object's state text is read into
// a fresh object, and deleting everything is undone and redone.
#include "FuzzHome.h"
#include "FuzzStart.h"
#include "app/GameException.h"
#include "app/MemoryFileManager.h"
#include "app/Random.h"
#include "app/XmlUtil.h"
#include "game/GameServices.h"
#include "levelmodel/LevelChooserEntry.h"
#include "game/LevelFile.h"
#include "game/LevelLoader.h"
#include "levelmodel/MapEditor.h"
#include "media/DXManager.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

// Game loads of larger levels are left to the summary and the preview: their terrain alone
// could take more memory than the fuzzer allows.
constexpr int64_t kLargestGameArea = 4096 * 4096;
const char* const kPath = "Level\\m_dm_fuzz.flevel";

struct Harness {
    Harness()
    {
        UseTemporaryHome();
        DiscardLog();
        // The media's device state is made before the landscape, so that it outlives the
        // landscape's surfaces, which the start-up's undoing releases.
        DXManager::GetDevice();
        StartOnSourceData(startup);
    }
    // The level is one of the memory files: no folder holds its name.
    void Put(const void* data, size_t size) { startup.MemoryFiles()->AddFile(kPath, data, size); }

    GameStartup startup;
};

// Loads the level for editing into a fresh editor, copies every object through its state
// text, deletes everything as one undo step and undoes and redoes it.
void EditLevel()
{
    MapEditor editor;
    SetCurrentEditor(&editor);
    editor.Open();
    if (LoadLevelIntoMap(editor, kPath)) {
        std::vector<MapObject*> all;
        for (const auto* list : {&editor.Primitives(), &editor.Traps(), &editor.Flimbs()})
            for (const auto& object : *list)
                all.push_back(object.get());
        for (MapObject* object : all) {
            UndoRecord record;
            record.kind = object->GetKind();
            record.after = object->CaptureState();
            if (std::unique_ptr<MapObject> copy = MakeObjectFromRecord(record))
                copy->LoadState(record.after);
        }
        for (MapObject* object : all)
            editor.undo->RecordChange(object, kUndoDeleted);
        for (MapObject* object : all)
            editor.DeleteObject(object);
        editor.undo->CommitStep();
        editor.undo->Undo();
        editor.undo->Redo();
        editor.undo->Undo();
    }
    editor.Reset();
    SetCurrentEditor(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Harness harness;
    harness.Put(data, size);

    LevelChooserEntry entry;
    bool summarised = false;
    try {
        summarised = ReadLevelSummary(kPath, entry);
    } catch (const GameException&) {
    }

    std::unique_ptr<LevelLoader> preview = LoadFlimbsLevel(kPath, kLevelLoadPreview, nullptr, 64);
    LoadLevel(*preview);
    CloseLevelDocument(*preview);

    XmlDocument doc = XmlParseBuffer(data, size, "fuzz");
    if (!doc || !XmlRoot(doc.get()) || !summarised ||
        static_cast<int64_t>(entry.width) * std::max(entry.height, 1) > kLargestGameArea)
        return 0;
    XmlSetHash(XmlRoot(doc.get()));
    const std::string hashed = XmlDocumentText(doc.get());
    harness.Put(hashed.data(), hashed.size());
    std::unique_ptr<LevelLoader> game = LoadFlimbsLevel(kPath, kLevelLoadGame);
    LoadLevel(*game);
    CloseLevelDocument(*game);
    EditLevel();
    return 0;
}
