#pragma once
// A placed flimb (a "flimb" element of a level's "preflimbs"): owns a flimb record and
// edits it directly.
#include "levelmodel/MapObject.h"
#include "world/Flimb.h"

#include <memory>

class MapFlimb : public MapObject {
public:
    explicit MapFlimb(std::unique_ptr<Flimb> flimb);
    ~MapFlimb() override;

    int GetKind() const override { return kMapFlimb; }
    // x and y take the low 16 bits.
    void SetPosition(int x, int y) override;
    void MoveTo(int x, int y) override { SetPosition(x, y); }
    void GetPosition(int& x, int& y) const override;
    std::string GetLabel() const override;
    gfx::RECT GetBounds() const override;
    void GetScale(float& sx, float& sy) const override;
    // A negative sx turns the flimb round; |sx| picks the size 0.5, 1, 2 or 3.
    void SetScale(float sx, float sy) override;
    std::unique_ptr<MapObject> Duplicate(bool keepId) const override;
    void WriteProps(xmlNode* element) const override;
    // Reads the flimb's children (older names accepted); "auto_explode" only with defaults.
    void ReadProps(xmlNode* element, xmlNode* defaults) override;

    Flimb* GetFlimb() const { return flimb_.get(); }
    std::unique_ptr<Flimb> ReleaseFlimb();

    // The "group" and "gravity" values as the last ReadProps found them, before they were
    // narrowed into the record (the level loader refuses a group outside 0..7 and a
    // gravity outside 0..3).
    int32_t readGroup = 0;
    uint32_t readGravity = 0;
    uint32_t words[2]{};

private:
    std::unique_ptr<Flimb> flimb_;
};
