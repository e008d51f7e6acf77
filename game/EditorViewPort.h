#pragma once
// The level editor's view: the wheel always zooms, and zoom requests stay within
// [200, 1.25 x the coarse zoom that shows the whole landscape]. Outside the developer's
// Ctrl override the view may reach past the landscape's edges.
#include "game/InteractiveVP.h"

class EditorViewPort : public InteractiveVP {
public:
    EditorViewPort();
    ~EditorViewPort() override;

    Primitive* OnWheel(int delta) override;
    void SetZoom(float zoom, int duration) override;
};
