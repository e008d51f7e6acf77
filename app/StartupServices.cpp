// Until the fonts, language texts, cursors, image cache, HUD and window list are linked in,
// these calls do nothing (held buttons still repeat through the input update).
#include "app/StartupServices.h"

#include "media/ButtonPresses.h"

void StartFontManager() {}
void AddDefaultFont() {}
void SetUpFonts() {}
void LoadCursorSpecs() {}
void LoadLanguageTexts() {}
void LoadStartupImages() {}
void SelectCursor(const std::string&) {}

void ReleaseAllPointerCaptures() {}

void UpdateGuiInput()
{
    RepeatHeldButtons();
}

void DrawGuiWindows() {}
void DrawRateLine(const std::string&, float, float, uint32_t, float) {}
void DrawCursor() {}
void CaptureRecordedFrame() {}

void UpdateGlobalPopup() {}

void ReleaseGuiWindows() {}
void ReleaseLanguageTexts() {}
void ShutdownHud() {}
void ShutdownFonts() {}
void ShutdownCursors() {}
