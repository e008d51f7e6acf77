#pragma once
// A placed trap: owns a trap the factory made, forwards position, rotation, scale, tint,
// alpha and bounds to it, and adds the level's identity and a drawing order. The trap's id
// equals the object's id while the object is filed in a level model.
#include "levelmodel/MapObject.h"

#include <memory>

class Trap;

class MapTrap : public MapObject {
public:
    // Takes the trap; its id becomes the object's id.
    explicit MapTrap(std::unique_ptr<Trap> trap);
    ~MapTrap() override;

    int GetKind() const override { return kMapTrap; }
    void SetPosition(int x, int y) override;
    void MoveTo(int x, int y) override { SetPosition(x, y); }
    void GetPosition(int& x, int& y) const override;
    std::string GetLabel() const override;
    gfx::RECT GetBounds() const override;
    int GetZOrder() const override { return mapOrder; }
    int GetRotation() const override;
    void SetRotation(int degrees) override;
    void GetScale(float& sx, float& sy) const override;
    void SetScale(float sx, float sy) override;
    std::unique_ptr<MapObject> Duplicate(bool keepId) const override;
    void LoadState(const std::string& xml) override;
    uint32_t GetTint() const override;
    void SetTint(uint32_t rgb) override;
    uint8_t GetAlpha() const override;
    void SetAlpha(uint8_t alpha) override;
    // The trap's property panel, named and titled "Trap ID: <id> [<its name>]" and laid
    // out; the GUI tree takes it. Null without a trap.
    Primitive* BuildPropertiesPanel() override;
    // The trap reads a "Trap ID" panel back; false for any other panel.
    bool ApplyConfigProps(Primitive* panel) override;
    // "objectID", the trap's own children (Trap::Save), "map_order".
    void WriteProps(xmlNode* element) const override;
    // "objectID" (the trap's id is not touched), Trap::Load with the defaults (the level
    // defaults' first trap when none is given) and the mode word 127, then "map_order".
    void ReadProps(xmlNode* element, xmlNode* defaults) override;

    Trap* GetTrap() const { return trap_.get(); }
    // Detaches the trap: the caller owns it, the object holds none.
    std::unique_ptr<Trap> ReleaseTrap();

    int32_t mapOrder = 0;

private:
    std::unique_ptr<Trap> trap_;
};
