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
    // The panel "flimb ID: <id>" (levelmodel/MapFlimbPanel.cpp); the caller owns it.
    Primitive* BuildPropertiesPanel() override;
    // Takes the controls of a "flimb ID" panel that the user changed; false for any other.
    bool ApplyConfigProps(Primitive* panel) override;
    void WriteProps(xmlNode* element) const override;
    // Reads the flimb's children (older names accepted); "auto_explode" only with defaults.
    void ReadProps(xmlNode* element, xmlNode* defaults) override;

    Flimb* GetFlimb() const { return flimb_.get(); }
    std::unique_ptr<Flimb> ReleaseFlimb();

    // The panel's A.I. buttons: every selected flimb takes the A.I. bits of the mask (0
    // clears them), recorded as one undo step; the panel's object shows its list again.
    static void SetSelectionAi(uint8_t mask, Primitive* panel);
    // The panel's "ai" list: the names of the object's A.I. bits, in bit order.
    static void FillAiList(Primitive* panel, const MapObject* object);

    // The "group" and "gravity" values as the last ReadProps found them, before they were
    // narrowed into the record (the level loader refuses a group outside 0..7 and a
    // gravity outside 0..3).
    int32_t readGroup = 0;
    uint32_t readGravity = 0;
    uint32_t words[2]{};

protected:
    // A state text sets every style bit it holds: the light, dark and captureable bits are
    // cleared before it is read, so that undo can clear them.
    void BeforeStateRead() override;

private:
    std::unique_ptr<Flimb> flimb_;
};
