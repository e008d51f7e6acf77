#pragma once
// The mouse cursors: named images from "Graphics\Cursors\cursor-spec.xml", drawn by the
// frame at the pointer in a scene of their own, over everything else. The system cursor is
// hidden while these exist. An animated cursor steps through its frames by its delay; a
// cursor without an image ("none") draws nothing. Main thread only.
#include <cstdint>
#include <string>
#include <vector>

namespace Cursors {

// Reads the cursor file and takes each cursor's image from the image cache. Logs and keeps going
// without the cursors that fail; false when the file itself cannot be read.
bool LoadSpecs(const std::string& specFile = "Graphics\\Cursors\\cursor-spec.xml");
// Selects the cursor to draw. An unknown name is logged once and falls back to "regular".
void SetCursor(const std::string& name);
const std::string& CurrentName();
bool HasCursor(const std::string& name);
std::vector<std::string> CursorNames();
// Draws the current cursor with its hot spot on the pointer (client pixels); `now` in
// milliseconds picks an animated cursor's frame.
void Draw(int x, int y, uint32_t now);
// Releases the images.
void Shutdown();

// Set when the program moves the pointer itself; positive scrolling clears it.
bool CursorMoved();
void SetCursorMoved(bool moved);

} // namespace Cursors
