#pragma once
// The tabbed skinned window: a FlimbsTabControl whose pages sit in a FlimbsWindow frame
// under the tabs. It is a window itself (container flag 4). Content goes to the current
// page: AsContainer answers it, and SetTitle names it and its tab.
#include "gui/FlimbsTabControl.h"

class FlimbsWindow;

class FlimbsWindow4 : public FlimbsTabControl {
public:
    explicit FlimbsWindow4(int fontId = 0);

    // The current page; the control itself while it has no page.
    PrimContainer* AsContainer() override;
    // The current page's name and tab caption; nothing while there is no page.
    void SetTitle(const char* title);

    FlimbsWindow* Frame() const { return frame_; }

private:
    FlimbsWindow* frame_; // a child, the page frame
};
