#pragma once
// The player's camera in a recording: CAMERA_VIEW's centre, zoom and rotation (degrees) read
// from the game view ("MOUSEPORT") and put back on it.
#include "session/NetCommand.h"

// A CAMERA_VIEW of the game view as it stands (centre, zoom, rotation in whole degrees), its
// stamp byte the client's update counter; the centre alone (zoom and rotation 0) without a
// game view.
NetRecord CurrentCameraView();
// CAMERA_VIEW: the game view is centred on the point, zoomed and turned to the rotation at
// once, ending a move or turn under way. A zoom of 0 or less or far beyond the whole landscape's
// is refused with a log line; nothing happens without a game view. False when refused.
bool ApplyCameraView(const uint8_t* record);
