#pragma once
// The level manager: a cache of the summaries of the level files in "Level\", keyed by the
// lower-cased file name, so that level lists need not read every file again. It also
// answers the playback and preview questions of the level lists. Main thread only.
#include "levelmodel/LevelChooserEntry.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The editor's test level: never cached, read from its file whenever it is needed.
constexpr const char* kEditorTestLevel = "editor-test-level.flevel";

class LevelManager {
public:
    struct Entry {
        // Its file time: the file's last-write time when it was read; its user-folder flag:
        // the file manager's existence test (mode 2) when the entry was made.
        LevelChooserEntry summary;
        uint32_t generation = 0; // the refresh in which the entry was last seen
        uint32_t reads = 0;      // how often the summary was read from the file
    };

    // Reads every "Level\*.flevel" (LoadLevelInfo with a new generation) and forgets the
    // files no longer there. Logs "LevelManager.. " and " refreshed %d\n" (milliseconds).
    void Refresh();
    // The file's summary: read when new or newer than the stored one; an unopenable file
    // loses its entry. The test level is ignored. A generation of 0 leaves the entry's own.
    const LevelChooserEntry* LoadLevelInfo(const std::string& path, uint32_t generation);
    // Refresh, then every summary whose lower-cased name contains the text, in map order.
    void Search(const std::string& text, std::vector<const LevelChooserEntry*>& found);
    // The summary of the named level ("Level\" and ".flevel" added; the test level straight
    // from its file) copied into `out`; `out` is left alone when there is none.
    void ResolveLevel(const std::string& name, LevelChooserEntry& out);

    // The file names (no folder, name order) of the playback folder's "<title>*.flimbs" for
    // the level path's file title.
    static bool HasPlaybacks(const std::string& levelPath);
    static std::vector<std::string> ListPlaybacks(const std::string& levelPath);
    // "Cache\Previews\<title>.jpg": a playback name (".flimbs") loses the four characters a
    // playback adds to its level's title.
    static std::string GetPreviewPath(const std::string& name);

    const std::map<std::string, std::unique_ptr<Entry>>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }

private:
    std::map<std::string, std::unique_ptr<Entry>> entries_;
    uint32_t lastGeneration_ = 0;
};

// The program's one level manager.
LevelManager& Levels();
