#pragma once
// Calls of the program shell into the font manager, the language texts, the cursors, the
// image cache, the HUD (its console) and the GUI's window list. Each sits at its place in the start-up,
// frame and shutdown order.
#include <cstdint>
#include <string>

// Start-up.
void StartFontManager();   // with the device, before "loading fonts.."
void AddDefaultFont();     // right after StartFontManager
void SetUpFonts();         // "loading fonts.."
void LoadCursorSpecs();    // "loading cursors.."
void LoadLanguageTexts();  // "loading language.."
void SelectCursor(const std::string& name); // "loading cursors.." again, with "regular"
void ConnectGuiInput();    // once keyboard and mouse exist: their events reach the windows
void StartConsole();       // "loading console..": lines are stored from now on

// Input poll.
void ReleaseAllPointerCaptures(); // captures, hover and keyboard focus, in the background
void UpdateGuiInput();            // hover, click repeats, focus check

// Frame.
void DrawGuiWindows(); // the window list in order, the modal window last
void DrawRateLine(const std::string& text, float x, float y, uint32_t argb, float scale); // font 3
void DrawCursor();     // second scene
// Movie recording's capture of the frame just presented.
void CaptureRecordedFrame();

// World step.
void UpdateGlobalPopup(); // the open global popup, when there is one

// Shutdown.
void ReleaseGuiWindows(); // window list and screens
void ReleaseLanguageTexts();
void ShutdownHud();
void ShutdownFonts();
void ShutdownCursors();
