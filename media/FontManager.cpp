#include "media/FontManager.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/UserFolders.h"
#include "media/DXManager.h"
#include "media/Font.h"
#include "media/TextConversion.h"

#include <array>
#include <cctype>
#include <mutex>

namespace FontManager {

namespace {

constexpr FontRow kTable[kTableRows] = {
    {true, "Default", "Arial", "Arial", 12, 0, 0, 0},
    {false, "Menu Title", "Arial", "Arial", 12, 0, 0, 0},
    {false, "Menu Body", "Arial", "Arial", 12, 0, 0, 0},
    {true, "General", "Arial", "Arial", 12, kFontBold, 0, 0},
    {true, "Flimbs", "Blessed", "Arial", 12, 0, 0, 0},
    {true, "Flimbs Large", "Blessed", "Arial", 20, kFontBold, 0, 0},
    {true, "Game", "Arial", "Arial", 22, kFontBold, 0, 0},
    {true, "Console", "Lucida Console", "Lucida Console", 8, 0, 0, 0},
    {true, "End of Match", "Comic Sans MS", "Comic Sans MS", 36, kFontBold, 0, 0},
    {true, "Flimbs Large Shaded", "Blessed", "Arial", 36, kFontBold, 5.0f, 5.0f},
};

class Manager : public IDeviceObject {
public:
    gfx::HRESULT OnDeviceLost() override
    {
        std::lock_guard<std::mutex> guard(lock);
        for (auto& font : slots)
            if (font)
                font->OnDeviceLost();
        return gfx::D3D_OK;
    }
    void OnDeviceRestored() override
    {
        std::lock_guard<std::mutex> guard(lock);
        for (auto& font : slots)
            if (font) {
                font->Bind(DXManager::GetDevice());
                font->OnDeviceRestored();
            }
    }

    // The fonts are bound to the device: they go with it, and the next GetFont after a new
    // device builds them again (from the atlas cache) bound to that one.
    void OnDeviceShutdown() override
    {
        std::lock_guard<std::mutex> guard(lock);
        for (auto& font : slots)
            font.reset();
        registered = false;
    }

    std::mutex lock;
    std::array<std::unique_ptr<Font>, kSlotCount> slots;
    std::string language = "en";
    std::shared_ptr<TextConversion> conversion;
    bool buildFonts = false;
    bool registered = false;
};

Manager& TheManager()
{
    static Manager manager;
    return manager;
}

std::u32string AtlasCodePoints(TextConversion& conversion)
{
    std::u32string points;
    for (char32_t c = 0xA0; c <= 0xFF; ++c)
        points.push_back(c);
    points += conversion.ToCodePoints(LanguageDatabase::AllTexts());
    return points;
}

std::unique_ptr<Font> MakeFont(Manager& m, const std::string& face, int pointSize, int style, float shadeX,
                               float shadeY)
{
    if (!m.conversion)
        m.conversion = std::make_shared<TextConversion>();
    auto font = std::make_unique<Font>(face, pointSize, style, shadeX, shadeY);
    font->SetConversion(m.conversion);
    font->Bind(DXManager::GetDevice());
    const std::string cache = AtlasCachePath(*font);
    if (!m.buildFonts && font->LoadAtlas(cache))
        return font;
    if (font->BuildAtlas(AtlasCodePoints(*m.conversion), true)) {
        if (!font->SaveAtlas(cache))
            WriteLog("FontManager: could not cache the atlas [%s]\n", cache.c_str());
    }
    return font;
}

void CreateSlot(Manager& m, int id)
{
    if (id < 0 || id >= kTableRows || !kTable[id].enabled || m.slots[id])
        return;
    const FontRow& row = kTable[id];
    const char* face = m.language == "en" ? row.face : row.otherFace;
    m.slots[id] = MakeFont(m, face, row.pointSize, row.style, row.shadeX, row.shadeY);
}

// Language codes name a cache folder: letters, digits, '-' and '_' only.
bool IsSafeLanguageCode(const std::string& code)
{
    if (code.empty() || code.size() > 16)
        return false;
    for (unsigned char c : code)
        if (!std::isalnum(c) && c != '-' && c != '_')
            return false;
    return true;
}

void RegisterOnce(Manager& m)
{
    if (!m.registered) {
        DXManager::RegisterDeviceObject(&m);
        m.registered = true;
    }
}

} // namespace

const FontRow& Row(int id)
{
    return kTable[(id >= 0 && id < kTableRows) ? id : 0];
}

void Start()
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> guard(m.lock);
    RegisterOnce(m);
}

Font* GetFont(int id)
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> guard(m.lock);
    RegisterOnce(m);
    if (id >= 0 && id < kSlotCount) {
        CreateSlot(m, id);
        if (m.slots[id])
            return m.slots[id].get();
    }
    CreateSlot(m, 0);
    return m.slots[0].get();
}

int FindFontId(const std::string& name)
{
    for (int id = 0; id < kTableRows; ++id)
        if (name == kTable[id].name)
            return id;
    return 4;
}

void SetLanguage(const std::string& language, std::shared_ptr<TextConversion> conversion)
{
    ReleaseFonts();
    Manager& m = TheManager();
    std::lock_guard<std::mutex> guard(m.lock);
    RegisterOnce(m);
    if (IsSafeLanguageCode(language)) {
        m.language = language;
    } else {
        WriteLog("FontManager: language code [%s] refused, using \"en\"\n", language.c_str());
        m.language = "en";
    }
    m.conversion = std::move(conversion);
}

void ReleaseFonts()
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> guard(m.lock);
    if (m.registered) {
        DXManager::UnregisterDeviceObject(&m);
        m.registered = false;
    }
    for (auto& font : m.slots)
        font.reset();
    m.conversion.reset();
}

void RecreateConsoleFont()
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> guard(m.lock);
    m.slots[kConsoleFontId].reset();
    m.slots[kConsoleFontId] = MakeFont(m, "Lucida Console", 8, 0, 0, 0);
}

const std::string& Language()
{
    return TheManager().language;
}

void SetBuildFonts(bool build)
{
    TheManager().buildFonts = build;
}

std::string AtlasCachePath(const Font& font)
{
    return GetUserPath("Cache\\Fonts\\" + TheManager().language + "\\" + font.AtlasName());
}

void OnDeviceLost()
{
    TheManager().OnDeviceLost();
}

void OnDeviceRestored()
{
    TheManager().OnDeviceRestored();
}

} // namespace FontManager
