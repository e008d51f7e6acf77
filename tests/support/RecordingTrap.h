#pragma once
// A trap of any kind that writes each call the world makes on it into a shared journal,
// as "<id> <operation>" lines, and can be told to act from inside its update.
#include "traps/Trap.h"

#include <functional>
#include <string>
#include <vector>

class RecordingTrap : public Trap {
public:
    RecordingTrap(int32_t kind, std::vector<std::string>& journal) : Trap(kind), journal_(journal) {}
    ~RecordingTrap() override { Note("destroyed"); }

    void Update() override
    {
        Note("update");
        if (onUpdate)
            onUpdate(*this);
    }
    void Activate(Flimb* by) override
    {
        Trap::Activate(by);
        lastBy = by;
        Note("activate");
        if (onActivate)
            onActivate(*this);
    }
    std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t, bool, int32_t, int32_t, const gfx::RECT*) override
    {
        Note("contact");
        if (touches && flimb)
            return FlimbList{flimb};
        return std::nullopt;
    }
    void OnFlimbContact(Flimb*) override { Note("touched"); }
    void ForgetTrap(Trap* dying) override { Note("forget " + std::to_string(dying->id)); }
    void ForgetObject(Flimb*) override { Note("forget-flimb"); }
    void OnFlimbExploded(Flimb*) override { Note("exploded"); }
    void OnLevelLoaded() override { Note("loaded"); }
    void StampLand() override { Note("stamp"); }
    void StepFrame() override { Note("step-frame"); }
    void Draw() override { Note("draw"); }
    void DrawBack() override { Note("draw-back"); }
    void DrawExtra() override { Note("draw-extra"); }
    void ExtraPass() override { Note("extra-pass"); }
    gfx::RECT GetBounds() const override { return bounds ? *bounds : Trap::GetBounds(); }
    std::unique_ptr<Trap> Duplicate() const override
    {
        auto copy = std::make_unique<RecordingTrap>(kind, journal_);
        copy->x = x, copy->y = y, copy->alive = alive;
        return copy;
    }
    bool CarriesFlimb(const Flimb* flimb) const override { return flimb && flimb == carried; }
    uint8_t Group() const override { return group; }

    std::function<void(RecordingTrap&)> onUpdate;
    std::function<void(RecordingTrap&)> onActivate;
    Flimb* lastBy = nullptr; // the flimb of the last activation
    bool touches = false;
    std::optional<gfx::RECT> bounds;
    const Flimb* carried = nullptr;
    uint8_t group = 255;

private:
    void Note(const std::string& what) { journal_.push_back(std::to_string(id) + " " + what); }
    std::vector<std::string>& journal_;
};
