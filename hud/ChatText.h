#pragma once
// The chat's rules that need no screen: how long a line lives and how it fades, which
// lines the small chat window shows, how many rows the history shows and which of them a
// scroll position draws, and the cleaning and cutting of untrusted line text (peers' lines
// are shown as they are, but never as half characters or control codes).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr uint32_t kChatLineLife = 9500;
constexpr uint32_t kChatFadeTime = 400;
constexpr int kChatHistoryMinRows = 3;
constexpr int kChatHistoryMaxRows = 10;
// Bytes of a line the chat shows; longer lines are cut (on a character boundary).
constexpr size_t kChatShownBytes = 512;

// A line stamped at `stamp` (game clock, ms): opaque until its last 400 ms, then fading;
// 0 once it is more than 9500 ms old.
uint8_t ChatLineAlpha(uint32_t stamp, uint32_t now);
// Younger than the life (now - stamp <= 9500; a stamp in the future counts as new).
bool ChatLineVisible(uint32_t stamp, uint32_t now);
// How many of the newest lines are shown: counting back from the newest until the first
// one that is too old.
int ChatShownLines(const std::vector<uint32_t>& stamps, uint32_t now);
// The history's rows for a log of that many lines: 3 .. 10.
int ChatHistoryRows(int lines);
// The rows [first, last) of a log drawn in a view of viewHeight at scroll offset `scroll`
// (pixels), rows of rowHeight: those whose top lies inside the view.
struct ChatRowRange {
    int first = 0;
    int last = 0;
};
ChatRowRange ChatVisibleRows(int lines, float rowHeight, float scroll, float viewHeight);
// The line as the chat shows it: invalid UTF-8 bytes as '?', control characters as blanks,
// cut to kChatShownBytes on a character boundary.
std::string ChatDisplayText(const std::string& text);
// The longest start of a shown line that measures at most `width`, whole characters.
std::string FitChatLine(const std::string& text, float width, const std::function<float(const std::string&)>& measure);
