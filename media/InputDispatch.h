#pragma once
// The dispatch of the frame's merged keyboard and mouse events.

#include "media/InputDevice.h"

#include <vector>

class KBManager;
class MSManager;

// Orders the list by time stamp, then sequence number (stable), then hands each keyboard
// event to the keyboard's translation and each mouse event to the mouse's handler table.
void DispatchInputEvents(std::vector<InputEvent>& list, KBManager& keyboard, MSManager& mouse);
