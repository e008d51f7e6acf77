#pragma once
// What the game's subsystems ask of the in-game HUD.
#include <cstdint>
#include <string>

// Shows a line in the chat in an ARGB colour. Until the HUD's chat exists the line goes to
// the log.
void PostChatLine(const std::string& text, uint32_t argb);
