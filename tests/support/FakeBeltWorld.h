#pragma once
// A belt world for tests: counts, selection, mode answer, permission rows and display rows
// are plain fields the test sets; installs itself while it lives.
#include "hud/BeltWorld.h"

#include <array>
#include <map>
#include <string>

class FakeBeltWorld : public IBeltWorld {
public:
    static constexpr const char* kNames[12] = {"Clob", "Mold", "Nova",    "Drill", "Gulp", "Doppel",
                                               "Puff", "Spin", "Atomize", "Lop",   "Walk", "Squish"};

    FakeBeltWorld()
    {
        for (auto& row : permissions) {
            row.fill(1); // every morph allowed
            row[2] = 0;  // not locked
        }
        SetBeltWorld(this);
    }
    ~FakeBeltWorld() override { SetBeltWorld(nullptr); }

    int MorphCount(int group, int type) const override
    {
        const auto it = counts.find({group, type});
        return it == counts.end() ? kMorphCountNone : it->second;
    }
    std::optional<SelectedFlimb> Selected() const override { return selected; }
    bool ModeLetsSelectedAct() const override { return modeLetsAct; }
    const uint8_t* MorphPermissionRow(int flimbType) const override
    {
        return flimbType >= 0 && flimbType < int(permissions.size()) ? permissions[size_t(flimbType)].data() : nullptr;
    }
    FlimbDisplayRow DisplayRow(int type, bool) const override
    {
        const auto it = rows.find(type);
        return it == rows.end() ? FlimbDisplayRow{} : it->second;
    }
    std::string TypeName(int type) const override { return type >= 0 && type < 12 ? kNames[type] : ""; }
    AnimSurface* FlimbSprite(int type, int, bool) override
    {
        const auto it = sprites.find(type);
        return it == sprites.end() ? nullptr : it->second;
    }

    std::map<std::pair<int, int>, int> counts; // (group, type) -> count
    std::optional<SelectedFlimb> selected;
    bool modeLetsAct = true;
    std::array<std::array<uint8_t, kMorphPermissionRowBytes>, 22> permissions{};
    std::map<int, FlimbDisplayRow> rows;
    std::map<int, AnimSurface*> sprites;
};
