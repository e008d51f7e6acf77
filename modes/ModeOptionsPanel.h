#pragma once
// An options panel under construction: the container and the skinned layout engine that
// places its rows. The base mode makes the common rows; modes add theirs and finish it.
#include <memory>

class FlimbsLayoutEngine;
class PrimContainer;

struct ModeOptionsPanel {
    ModeOptionsPanel();
    ~ModeOptionsPanel();
    ModeOptionsPanel(ModeOptionsPanel&&) noexcept;
    ModeOptionsPanel& operator=(ModeOptionsPanel&&) noexcept;

    // A captioned check box under the option's key, wired to the current mode's
    // ApplyOptionChange; caption and tip pass through the language lookup.
    void AddCheckBox(const char* key, const char* caption, const char* tip, bool checked);
    // A captioned group chooser (groups 0 .. 7) wired the same way.
    void AddGroupChoice(const char* key, const char* caption, const char* tip, int group);
    // Lays the rows out, sizes the container to them and hands it over.
    std::unique_ptr<PrimContainer> Finish();

    std::unique_ptr<PrimContainer> panel;
    std::unique_ptr<FlimbsLayoutEngine> engine;
};
