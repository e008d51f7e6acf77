#include "hud/ChatText.h"

#include "app/StringUtil.h"

#include <algorithm>
#include <cmath>

uint8_t ChatLineAlpha(uint32_t stamp, uint32_t now)
{
    const double a = (double(stamp) + kChatLineLife - double(now)) / kChatFadeTime;
    if (a >= 1.0)
        return 255;
    if (a < 0.0)
        return 0;
    return uint8_t(std::lround(a * 255.0));
}

bool ChatLineVisible(uint32_t stamp, uint32_t now)
{
    return now < stamp || now - stamp <= kChatLineLife;
}

int ChatShownLines(const std::vector<uint32_t>& stamps, uint32_t now)
{
    int shown = 0;
    for (auto it = stamps.rbegin(); it != stamps.rend() && ChatLineVisible(*it, now); ++it)
        ++shown;
    return shown;
}

int ChatHistoryRows(int lines)
{
    return std::clamp(lines, kChatHistoryMinRows, kChatHistoryMaxRows);
}

ChatRowRange ChatVisibleRows(int lines, float rowHeight, float scroll, float viewHeight)
{
    ChatRowRange range;
    if (lines <= 0 || !(rowHeight > 0.0f))
        return range;
    // A row whose top lies above the view is skipped, however little of it is hidden.
    int first = 0;
    while (first < lines && float(first) * rowHeight - scroll < -0.001f)
        ++first;
    int last = first;
    while (last < lines && float(last) * rowHeight - scroll < viewHeight)
        ++last;
    range.first = first;
    range.last = last;
    return range;
}

std::string ChatDisplayText(const std::string& text)
{
    std::string shown;
    shown.reserve(std::min(text.size(), kChatShownBytes));
    size_t i = 0;
    while (i < text.size() && shown.size() < kChatShownBytes) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        uint32_t low = 0;
        if (c < 0x80)
            length = 1;
        else if (c >= 0xC2 && c <= 0xDF)
            length = 2, low = 0x80;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3, low = 0x800;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4, low = 0x10000;
        bool valid = length > 0 && i + length <= text.size();
        uint32_t code = length == 1 ? c : (c & (0xFF >> (length + 1)));
        for (size_t k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (valid && length > 1 && (code < low || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)))
            valid = false;
        if (!valid) {
            shown += '?';
            ++i;
            continue;
        }
        if (length == 1)
            shown += (c < 0x20 || c == 0x7F) ? ' ' : char(c);
        else
            shown.append(text, i, length);
        i += length;
    }
    return CutUtf8(shown, kChatShownBytes);
}

std::string FitChatLine(const std::string& text, float width, const std::function<float(const std::string&)>& measure)
{
    if (!measure || measure(text) <= width)
        return text;
    // Binary search over the character boundaries.
    std::vector<size_t> ends;
    for (size_t i = 1; i <= text.size(); ++i)
        if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            ends.push_back(i);
    size_t low = 0, high = ends.size();
    while (low < high) {
        const size_t mid = (low + high) / 2;
        if (measure(text.substr(0, ends[mid])) <= width)
            low = mid + 1;
        else
            high = mid;
    }
    return low == 0 ? std::string() : text.substr(0, ends[low - 1]);
}
