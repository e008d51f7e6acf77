#pragma once
// The console: the game's developer text channel. A bounded store of coloured lines that
// the log echoes into (every formatted log line, in its channel's colour), shown by the
// console view when one is open, and the console commands "help", "quit" and "close".
//
// Lines are stored only between Enable (a start-up step) and Shutdown. AddLine is safe
// from any thread (loaders, music and video threads log too): the store takes a lock, and
// the view, which lives on the main thread, picks new lines up in its own update.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ConsoleLine {
    explicit ConsoleLine(std::string_view text);

    uint32_t colour = 0xFFFFFFFFu;
    // Milliseconds since the console was made. The program clock's steady reading, since
    // lines come from every thread.
    int32_t time = 0;
    std::string text; // line feeds replaced by blanks
};

class ConsoleView;

class Console {
public:
    static constexpr size_t kMaxLines = 500;
    static constexpr size_t kMaxLineLength = 160;
    static constexpr uint32_t kHelpFrameColour = 0xFFFF0000u;
    static constexpr uint32_t kHelpRowColour = 0xFF0AFF0Au;
    static constexpr const char* kHelpFrame = "-=[ CONSOLE COMMANDS ]=-";

    // Starts storing lines and installs the log echo.
    static void Enable();
    static bool IsEnabled();
    // Stores the text's first 160 characters as one line (nothing while disabled); the
    // oldest line goes once there are more than 500.
    static void AddLine(std::string_view text, uint32_t colour);
    // Stops storing, drops every line and closes and deletes the view.
    static void Shutdown();
    // Shutdown, then the store's memory is given back (the console's static destructor).
    static void AtExit();
    // The help: every console parameter in the registry's order between two red frames.
    static void Help();
    // Deactivates the open window "Console", when there is one.
    static void Close();

    // A copy of the stored lines, oldest first.
    static std::vector<ConsoleLine> Lines();
    static size_t LineCount();
    // Counts every stored line since the start; a view compares it to see new lines.
    static uint64_t LinesAdded();

    // The view that shows the lines (main thread).
    static void SetView(ConsoleView* view);
    static ConsoleView* View();
};

// Posts the quit message to the game window; the main loop ends on it.
void RequestQuit();

// The shell action "toggleconsole": opens the console view, or closes the open one.
void ToggleConsoleView();
