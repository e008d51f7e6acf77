// The media services' start-up, frame and shutdown calls. Movie capture is not part of the
// game yet; its call stays empty until it is.
#include "media/MediaServices.h"

#include "app/ConsoleParam.h"
#include "app/GameClock.h"
#include "app/LanguageTexts.h"
#include "media/Cursors.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "media/ImageCache.h"
#include "media/MSManager.h"
#include "media/TextConversion.h"
#include "platform/window/MainWindow.h"

#include <memory>

namespace {

// The language of the texts and fonts; the player's profile sets it.
ConsoleParam g_language("lang", ConsoleParamType::Text, "en", "language of the game's texts");

void ApplyLanguage(const std::string& code)
{
    LanguageDatabase::SetLanguage(code);
    const auto info = LanguageDatabase::FindLanguage(code);
    FontManager::SetLanguage(code, std::make_shared<TextConversion>(info ? info->charset : "UTF-8"));
}

} // namespace

void StartFontManager()
{
    FontManager::Start();
}

void AddDefaultFont()
{
    FontManager::GetFont(0);
}

void SetUpFonts()
{
    FontManager::GetFont(3);
}

void LoadCursorSpecs()
{
    if (Cursors::LoadSpecs())
        platform::ShowSystemCursor(false);
}

void LoadLanguageTexts()
{
    LanguageDatabase::LoadSpecification();
    ApplyLanguage(g_language.GetString());
    g_language.SetChangeHandler([](ConsoleParam& self) { ApplyLanguage(self.GetString()); });
}

void SelectCursor(const std::string& name)
{
    Cursors::SetCursor(name);
}

void DrawRateLine(const std::string& text, float x, float y, uint32_t argb, float scale)
{
    if (Font* font = FontManager::GetFont(3))
        font->DrawTextTransformed(x, y, argb, text, 0, scale);
}

void DrawCursor()
{
    Cursors::Draw(msManager.X(), msManager.Y(), gameClock.now);
}

void CaptureRecordedFrame() {}

void ReleaseLanguageTexts()
{
    LanguageDatabase::Reset();
}

void ShutdownFonts()
{
    FontManager::ReleaseFonts();
}

// The cursors are the image cache's last users: the cache is emptied after them.
void ShutdownCursors()
{
    Cursors::Shutdown();
    platform::ShowSystemCursor(true);
    ImageCache::Clear();
}
