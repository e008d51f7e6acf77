#pragma once
// The credits: a half-transparent full-screen panel with the title "CREDITS" over a list of
// contributors that scrolls up by itself (3.5 % of the screen height a second), fades at
// its top and bottom edges and stops with its end in the upper quarter of the view. A key
// or a click closes it through its close callback (so may a pause at the end, when asked).
#include "gui/SimpleWindow.h"

#include <vector>

struct CreditsEntry {
    const char* name;
    const char* role;
};
struct CreditsSection {
    const char* heading;
    std::vector<CreditsEntry> entries;
};
// The contributor table, in order.
const std::vector<CreditsSection>& ContributorTable();

class CreditsScroller : public PrimContainer {
public:
    CreditsScroller();
    // Fades the widgets near the top and bottom edges, then updates the children.
    void Update() override;

    float screenWidth = 0.0f;   // pixels
    float contentHeight = 0.0f; // pixels
};

class CreditsWindow : public SimpleWindow {
public:
    CreditsWindow();

    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // Scrolls the list until its end is reached, then updates the children.
    void Update() override;

    CreditsScroller* Scroller() const { return scroller_; }
    // The scroll offset (pixels) at which the list stops.
    float StopOffset() const;
    // Closes the window by itself once the list has stood at its end this long (ms);
    // negative (the default): it stays until a key or a click.
    void CloseAfterEnd(int milliseconds) { closeAfterEndMs_ = milliseconds; }

private:
    CreditsScroller* scroller_ = nullptr;
    int closeAfterEndMs_ = -1;
    int atEndMs_ = 0;
    bool closing_ = false;
};

CreditsWindow* ShowCredits();
