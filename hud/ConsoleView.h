#pragma once
// The console view: a translucent panel over the top of the screen, named "Console", that
// shows the console's newest lines in the console font with a scroll bar, and a line to
// type into. Enter runs the typed line through the console parameter registry
// (ExecuteConsoleLine); Page Up and Page Down and the wheel scroll. Offsets are in
// thousandths of the screen height; one line is one line step.
#include "gui/PrimContainer.h"

#include <cstdint>

class SimpleScrollBar;
class ConsoleInput;
class EditBox;

class ConsoleView : public PrimContainer {
public:
    static constexpr const char* kWindowName = "Console";
    static constexpr float kLineSpacing = 1.2f;
    static constexpr float kHeight = 420.0f;

    ConsoleView();
    ~ConsoleView() override;

    // Picks new lines of the console up, then updates the children.
    void Update() override;
    void Draw() override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    Primitive* OnWheel(int delta) override;

    // Snaps the line step to whole thousandths, lays the view out, and keeps following the
    // newest line when the reader was at the end.
    void Relayout();
    // Moves the first shown line up or down by `lines` line steps (clamped).
    void Scroll(bool up, int lines);
    void FocusInput();

    int LineStep() const { return lineStep_; }
    int Offset() const;
    // Thousandths of the screen height: all lines, and the part shown.
    int TextHeight() const;
    int VisibleHeight() const;
    EditBox* Input() const;
    SimpleScrollBar* ScrollBarWidget() const { return scrollBar_; }

    int fontId;
    float textScale;

private:
    SimpleScrollBar* scrollBar_ = nullptr;
    ConsoleInput* input_ = nullptr;
    int lineStep_ = 1;
    size_t lineCount_ = 0;
    uint64_t seenLines_ = 0;
};
