#pragma once
// The pop-ups that follow a single-player match when something was unlocked: a new
// FlimbMaster or a bonus item (decoration, stamp or level), each with an Okay button that
// closes it; the pop-up after the final boss level that plays the outro video; and
// DecorationPreview, a flimb wearing a decoration.
#include "gui/Primitive.h"
#include "gui/VoiceBubble.h"

#include <memory>
#include <string>

class AnimSurface;

class FlimbMasterUnlockedVoice : public VoiceBubble {
public:
    static std::unique_ptr<FlimbMasterUnlockedVoice> Create(const std::string& name, const std::string& image);
    FlimbMasterUnlockedVoice(const std::string& name, const std::string& image);
};

class BonusItemUnlockVoice : public VoiceBubble {
public:
    // type: "Decoration", "Stamp" or "Level"; path: the item's file; message: its award text.
    static std::unique_ptr<BonusItemUnlockVoice> Create(const std::string& type, const std::string& path,
                                                       const std::string& message);
    BonusItemUnlockVoice(const std::string& type, const std::string& path, const std::string& message);
    // The picture row (null when the item has none).
    Primitive* Picture() const { return picture_; }

private:
    Primitive* picture_ = nullptr;
};

// The last pop-up after the final boss level: its button plays the outro video.
class FinalVideoVoicePopup : public VoiceBubble {
public:
    FinalVideoVoicePopup();
};

class DecorationPreview : public Primitive {
public:
    explicit DecorationPreview(const std::string& decoration);
    ~DecorationPreview() override;

    void Draw() override;
    // The flimb surface's drawn size.
    bool GetSize(float* width, float* height) override;

    bool HasDecoration() const { return decoration_ != nullptr; }

private:
    void DrawFirstFrame(AnimSurface* surface) const;

    AnimSurface* decoration_ = nullptr; // image cache
    AnimSurface* flimb_ = nullptr;      // the animation spec's cache
};
