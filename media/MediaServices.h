#pragma once
// What the program shell calls of the media services at start-up, in a frame and at
// shutdown: the font manager, the language texts, the cursors and the image cache. The
// shell alone knows the order.
#include <cstdint>
#include <string>

// Start-up.
void StartFontManager();   // with the device, before "loading fonts.."
void AddDefaultFont();     // right after StartFontManager
void SetUpFonts();         // "loading fonts.."
void LoadCursorSpecs();    // "loading cursors.."
void LoadLanguageTexts();  // "loading language.."
void SelectCursor(const std::string& name); // "loading cursors.." again, with "regular"

// Frame.
void DrawRateLine(const std::string& text, float x, float y, uint32_t argb, float scale); // font 3
void DrawCursor();     // second scene
// Movie recording's capture of the frame just presented.
void CaptureRecordedFrame();

// Shutdown.
void ReleaseLanguageTexts();
void ShutdownFonts();
void ShutdownCursors();
