// Peers' chat lines from untrusted bytes: each line goes into a message log and through
// the chat's cleaning, cutting, measuring and row layout; the results must be well-formed
// UTF-8 within their limits, and the row ranges inside the log.
#include "FuzzHome.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "game/MessageLog.h"
#include "hud/ChatText.h"
#include "session/SessionServices.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// True for text that is whole UTF-8 characters (no cut sequence at the end).
bool EndsOnBoundary(const std::string& text)
{
    size_t i = text.size();
    size_t continuation = 0;
    while (i > 0 && (static_cast<unsigned char>(text[i - 1]) & 0xC0) == 0x80) {
        --i;
        ++continuation;
    }
    if (i == 0)
        return continuation == 0;
    const unsigned char lead = static_cast<unsigned char>(text[i - 1]);
    const size_t expected = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    return lead < 0xC0 ? continuation == 0 : continuation == expected;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    DiscardLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const float rowHeight = float(data[0] % 40);
    const float scroll = float(data[1]) * 3.0f;
    const float viewHeight = float(data[2]) * 2.0f;
    const float width = float(data[3]) * 4.0f;
    const std::string bytes(reinterpret_cast<const char*>(data + 4), size - 4);

    MessageLog log(20);
    size_t start = 0;
    int speaker = -2;
    while (start <= bytes.size()) {
        const size_t end = std::min(bytes.find('\n', start), bytes.size());
        log.Add(bytes.substr(start, end - start), speaker++);
        start = end + 1;
    }
    const auto measure = [](const std::string& text) {
        float w = 0.0f;
        for (const char c : text)
            w += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0.0f : 7.0f;
        return w;
    };
    for (const MessageLog::Entry& entry : log.Entries()) {
        const std::string shown = ChatDisplayText(entry.text);
        Check(shown.size() <= kChatShownBytes);
        Check(EndsOnBoundary(shown));
        for (const char c : shown)
            Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
        Check(ChatDisplayText(shown) == shown);
        const std::string cut = CutChatText(entry.text);
        Check(cut.size() <= kChatTextBytes && entry.text.compare(0, cut.size(), cut) == 0);
        const std::string fitted = FitChatLine(shown, width, measure);
        Check(shown.compare(0, fitted.size(), fitted) == 0 && measure(fitted) <= std::max(width, measure(shown)));
        Check(EndsOnBoundary(fitted));
        Check(ChatLineAlpha(entry.time, entry.time + data[0] * 100u) <= 255);
    }
    const int lines = int(log.Entries().size());
    const ChatRowRange rows = ChatVisibleRows(lines, rowHeight, scroll, viewHeight);
    Check(rows.first >= 0 && rows.first <= rows.last && rows.last <= lines);
    Check(ChatHistoryRows(lines) >= 3 && ChatHistoryRows(lines) <= 10);
    return 0;
}
