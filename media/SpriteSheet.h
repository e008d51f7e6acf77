#pragma once
// Sprite-sheet descriptions: an XML element naming a folder of images and their frame
// layout, with named animations:
//
//   <sprite-sheet rootPath="Graphics\HUD" frameWidth="32" frameHeight="32"
//                 hotspotX="16" hotspotY="16">
//     <animation name="throbber" file="throbber.png" frameWidth="24" frameHeight="24"/>
//   </sprite-sheet>
//
// An animation's own frame size and hot spot override the sheet's.
#include "media/AnimSurface.h"

#include <string>
#include <vector>

typedef struct _xmlDoc xmlDoc;
typedef struct _xmlNode xmlNode;

struct SpriteAnimation {
    std::string name;
    std::string file; // relative to the sheet's root path
    int frameWidth = 0, frameHeight = 0;
    int hotspotX = 0, hotspotY = 0;
    int frameDelay = 0; // milliseconds, 0 when not given
    int fps = 0;        // the "fps" attribute; 26 marks a sheet whose frames come in pairs
};

struct SpriteSet {
    std::vector<SpriteAnimation> animations;
    const SpriteAnimation* Find(const std::string& name) const;
};

class SpriteSheet {
public:
    // Fills the sheet from the document's root element; defaultRootPath when the element
    // has no "rootPath". False when there is no root element.
    static bool Load(SpriteSheet& sheet, xmlDoc* document, const std::string& defaultRootPath, int flags = 0);
    // Reads the "animation" children of the first element named elementName (searched from
    // the document root) into the set. The number read, -1 when the element is missing.
    static int LoadAnimations(const std::string& elementName, const SpriteSheet& sheet, xmlDoc* document,
                              SpriteSet& set);
    // The same two for a description element inside a larger document (its attributes,
    // and the "animation" children of an element).
    static bool LoadFromElement(SpriteSheet& sheet, const xmlNode* element, const std::string& defaultRootPath);
    static int LoadAnimationsFrom(const xmlNode* element, const SpriteSheet& sheet, SpriteSet& set);
    // The animation's image from the image cache with its frame layout and hot spot applied
    // (one reference for the caller); null when unknown.
    static AnimSurface* GetAnimationImage(const SpriteSheet& sheet, const SpriteAnimation& animation);

    std::string rootPath;
    int frameWidth = 0, frameHeight = 0;
    int hotspotX = 0, hotspotY = 0;
};
