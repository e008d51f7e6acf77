#pragma once
// A placed primitive: one image with a position, scale, rotation, tint and alpha, and the
// settings that decide how it is stamped into the landscape when the level loads.
#include "levelmodel/MapObject.h"

#include <string>

class AnimSurface;

class MapPrimitive : public MapObject {
public:
    MapPrimitive();
    // Also takes the named image from the image cache.
    explicit MapPrimitive(const std::string& imageName);
    ~MapPrimitive() override;

    int GetKind() const override { return kMapPrimitive; }
    void SetPosition(int x, int y) override;
    void MoveTo(int x, int y) override { SetPosition(x, y); }
    // The position rounded to the nearest whole numbers (halves to even).
    void GetPosition(int& x, int& y) const override;
    void SetPositionF(float x, float y) override;
    void GetPositionF(float& x, float& y) const override;
    // "File: " and the file name after its last backslash.
    std::string GetLabel() const override;
    gfx::RECT GetBounds() const override;
    int GetZOrder() const override { return mapOrder; }
    int GetRotation() const override { return NearestInt(rotation); }
    void SetRotation(int degrees) override { rotation = static_cast<float>(NormaliseRotation(degrees)); }
    void GetScale(float& sx, float& sy) const override;
    void SetScale(float sx, float sy) override;
    std::unique_ptr<MapObject> Duplicate(bool keepId) const override;
    // The base, then the image again from the file name.
    void LoadState(const std::string& xml) override;
    uint32_t GetTint() const override { return tint; }
    void SetTint(uint32_t rgb) override { tint = rgb; }
    uint8_t GetAlpha() const override { return static_cast<uint8_t>(alpha); }
    void SetAlpha(uint8_t value) override { alpha = value; }
    // The panel "Terrain ID: <id>" (levelmodel/MapPrimitivePanel.cpp); the caller owns it.
    Primitive* BuildPropertiesPanel() override;
    // Takes the controls of a "Terrain ID" panel that the user changed; false for any other.
    bool ApplyConfigProps(Primitive* panel) override;
    void WriteProps(xmlNode* element) const override;
    // The level defaults' first primitive stands in for missing defaults.
    void ReadProps(xmlNode* element, xmlNode* defaults) override;

    // Takes the image of the name from the image cache (the name becomes fileName when
    // given); its hot spot at its centre. A name outside the game's graphics gives no image
    // (with a log line); the name is kept.
    void SetImage(const std::string& name);
    // The "sizeup" buttons: the panel's two scale boxes times the factor, applied at once.
    static void ScalePanelFields(Primitive* control, float factor);
    AnimSurface* Image() const { return image_; }
    // The image's size times |scale|, truncated.
    void GetScaledSize(int& w, int& h) const;

    float posX = 0.0f;
    float posY = 0.0f;
    uint32_t tint = 0x808080;
    int32_t alpha = 255;
    uint32_t bashType = 1;
    uint32_t crc = 0;
    uint32_t landToBash = 0xFFFFFFFFu;
    float rotation = 0.0f;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    int32_t mapOrder = 0;
    uint8_t bashOnLoad = 1;
    int32_t alphaThreshold = 0;
    uint8_t alphaOpaque = 0;
    uint8_t shadowMode = 0;
    int32_t shadowVal = 112;
    uint8_t noCache = 0;
    uint8_t highQuality = 0;
    // A ModifyLand trap refers to this primitive.
    uint8_t modifyLandRef = 0;
    int32_t blendMode = 0;
    std::string fileName;

private:
    AnimSurface* image_ = nullptr; // one image-cache reference
};
