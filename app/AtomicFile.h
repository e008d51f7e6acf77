#pragma once
// Saves that never leave a half-written file. The new content goes to a temporary file in the
// target's own folder, is flushed to the disk and renamed over the target, so a reader sees
// either the old file or the new one. On any failure the old file stays as it was, the
// temporary is removed, and the failure is logged and reported.
//
// Every writer of a player or level file saves through this (profiles, the global
// configuration, key bindings, level configurations, completion records, levels, playbacks).

#include <cstddef>
#include <functional>
#include <string>

class AtomicFileSave {
public:
    // Makes the temporary beside `hostPath` (creating the folder when missing).
    explicit AtomicFileSave(std::string hostPath);
    // Abandons the save unless it was committed.
    ~AtomicFileSave();
    AtomicFileSave(const AtomicFileSave&) = delete;
    AtomicFileSave& operator=(const AtomicFileSave&) = delete;

    // False when no temporary could be made; TemporaryPath is then empty.
    bool IsOpen() const { return !temporary_.empty(); }
    // Where the writer puts the new content (by path: the writer opens and closes it).
    const std::string& TemporaryPath() const { return temporary_; }
    const std::string& TargetPath() const { return target_; }

    // Flushes the temporary to the disk and renames it over the target. False (logged, the
    // temporary removed, the target untouched) on any failure.
    bool Commit();
    // Removes the temporary; the target stays as it was.
    void Abort();

private:
    std::string target_;
    std::string temporary_;
};

// Saves `hostPath` through `write`, which fills the temporary path it is given and returns
// false when it failed. True once the target holds the new content.
bool SaveFileAtomically(const std::string& hostPath, const std::function<bool(const std::string& temporaryPath)>& write);

// Saves a whole buffer.
bool SaveBytesAtomically(const std::string& hostPath, const void* data, std::size_t size);

// Tests: the next `count` commits fail as a write error half-way through would: the temporary
// is cut to half its length and the save is reported as failed.
void InjectAtomicSaveFailures(int count);
