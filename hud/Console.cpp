#include "hud/Console.h"

#include "app/ConsoleParam.h"
#include "app/GameClock.h"
#include "app/Log.h"
#include "gui/WindowList.h"
#include "hud/ConsoleView.h"
#include "platform/window/MainWindow.h"

#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>

namespace {

struct ConsoleStore {
    std::mutex lock;
    bool enabled = false;
    int32_t startTime = 0;
    std::deque<std::unique_ptr<ConsoleLine>> lines;
    uint64_t added = 0;
    ConsoleView* view = nullptr; // main thread only
};

// Lives for the whole process: threads and static destructors may still log after the
// console's own destructor has run, and then find it disabled.
ConsoleStore& Store()
{
    static ConsoleStore* store = new ConsoleStore;
    return *store;
}

// The console's static destructor.
struct ConsoleAtExit {
    ConsoleAtExit() { Store().startTime = static_cast<int32_t>(SteadyMilliseconds()); }
    ~ConsoleAtExit() { Console::AtExit(); }
} g_consoleAtExit;

ConsoleParam g_helpCommand("help", ConsoleParamType::Command, "", "displays available commands and parameters",
                           [](ConsoleParam&) { Console::Help(); });
ConsoleParam g_quitCommand("quit", ConsoleParamType::Command, "", "quits the game", [](ConsoleParam&) { RequestQuit(); });
ConsoleParam g_closeCommand("close", ConsoleParamType::Command, "", "command description",
                            [](ConsoleParam&) { Console::Close(); });

} // namespace

ConsoleLine::ConsoleLine(std::string_view line) : time(static_cast<int32_t>(SteadyMilliseconds())), text(line)
{
    for (char& c : text)
        if (c == '\n')
            c = ' ';
}

void Console::Enable()
{
    {
        std::lock_guard guard(Store().lock);
        Store().enabled = true;
    }
    SetLogEcho([](const std::string& line, uint32_t argb) { Console::AddLine(line, argb); });
}

bool Console::IsEnabled()
{
    std::lock_guard guard(Store().lock);
    return Store().enabled;
}

void Console::AddLine(std::string_view text, uint32_t colour)
{
    ConsoleStore& store = Store();
    std::lock_guard guard(store.lock);
    if (!store.enabled)
        return;
    auto line = std::make_unique<ConsoleLine>(text.substr(0, kMaxLineLength));
    line->colour = colour;
    line->time = static_cast<int32_t>(SteadyMilliseconds()) - store.startTime;
    store.lines.push_back(std::move(line));
    if (store.lines.size() > kMaxLines)
        store.lines.pop_front();
    ++store.added;
}

void Console::Shutdown()
{
    ConsoleStore& store = Store();
    ConsoleView* view = nullptr;
    {
        std::lock_guard guard(store.lock);
        if (!store.enabled)
            return;
        store.enabled = false;
        store.lines.clear();
        view = store.view;
        store.view = nullptr;
    }
    if (view) {
        CloseWindow(view);
        delete view;
    }
}

void Console::AtExit()
{
    Shutdown();
    std::lock_guard guard(Store().lock);
    std::deque<std::unique_ptr<ConsoleLine>>().swap(Store().lines);
}

void Console::Help()
{
    AddLine(kHelpFrame, kHelpFrameColour);
    char row[256];
    for (std::string name = ConsoleParam::FirstName(); !name.empty(); name = ConsoleParam::NextName(name)) {
        std::snprintf(row, sizeof row, "%-10s - %s", name.c_str(), ConsoleParam::HelpTextOf(name).c_str());
        AddLine(row, kHelpRowColour);
    }
    AddLine(kHelpFrame, kHelpFrameColour);
}

void Console::Close()
{
    if (Primitive* view = FindOpenWindow(ConsoleView::kWindowName))
        view->Deactivate();
}

std::vector<ConsoleLine> Console::Lines()
{
    std::lock_guard guard(Store().lock);
    std::vector<ConsoleLine> copy;
    copy.reserve(Store().lines.size());
    for (const auto& line : Store().lines)
        copy.push_back(*line);
    return copy;
}

size_t Console::LineCount()
{
    std::lock_guard guard(Store().lock);
    return Store().lines.size();
}

uint64_t Console::LinesAdded()
{
    std::lock_guard guard(Store().lock);
    return Store().added;
}

void Console::SetView(ConsoleView* view)
{
    std::lock_guard guard(Store().lock);
    Store().view = view;
}

ConsoleView* Console::View()
{
    std::lock_guard guard(Store().lock);
    return Store().view;
}

void RequestQuit()
{
    platform::RequestQuit();
}

void ToggleConsoleView()
{
    if (FindOpenWindow(ConsoleView::kWindowName)) {
        Console::Close();
        return;
    }
    auto* view = new ConsoleView;
    OpenWindow(view, true);
    view->Relayout(); // shown now: the input line takes its place
    view->FocusInput();
}
