#pragma once
// What the program shell calls of the GUI at start-up, in the input poll, in a frame and at
// shutdown. The shell alone knows the order.

void ConnectGuiInput();           // once keyboard and mouse exist: their events reach the windows
void ReleaseAllPointerCaptures(); // captures, hover and keyboard focus, in the background
void UpdateGuiFrameInput();       // hover, click repeats, cursor name, focus check
void DrawGuiWindows();            // the window list in order, the modal window last
void ReleaseGuiWindows();         // window list and screens
