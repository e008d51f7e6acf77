#pragma once
// The program's fonts by small id: a fixed table of ten rows, each font made on first use
// (once, under a lock), released and rebuilt with the graphics device and the language.
//
//   Font* font = FontManager::GetFont(FontManager::FindFontId("Console"));
//   font->DrawTextTransformed(10, 10, 0xFFFFFFFF, "ready", kTextCentre);
//
// Font 0 ("Default") always exists: an id outside the slots, a disabled row and a slot
// that could not be filled all give font 0, whose face falls back to any installed face.

#include <memory>
#include <string>

class Font;
class TextConversion;

namespace FontManager {

constexpr int kSlotCount = 20;
constexpr int kTableRows = 10;
constexpr int kConsoleFontId = 7;

struct FontRow {
    bool enabled;
    const char* name;
    const char* face;      // the face while the language is "en"
    const char* otherFace; // the face for every other language
    int pointSize;
    int style; // kFontBold, kFontItalic
    float shadeX, shadeY;
};
const FontRow& Row(int id);

// Registers with the device manager (start-up).
void Start();

Font* GetFont(int id);
// The first row whose name equals name exactly; 4 when none does.
int FindFontId(const std::string& name);
// Releases every font, registers again with the device manager and keeps the language
// code and the conversion the atlases are made with.
void SetLanguage(const std::string& language, std::shared_ptr<TextConversion> conversion);
// Unregisters from the device manager and deletes every font.
void ReleaseFonts();
void RecreateConsoleFont();
const std::string& Language();

// On: every font builds its atlas and writes it to the cache. Off (the default): the
// cached atlas of the language is read, and built only when it is missing or broken.
void SetBuildFonts(bool build);
// Host path of a font's cached atlas (without extension) for the current language.
std::string AtlasCachePath(const Font& font);

// Tells every created font of the slots about the device (the manager's device object).
void OnDeviceLost();
void OnDeviceRestored();

} // namespace FontManager
