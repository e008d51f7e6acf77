#include "hud/ConsoleView.h"

#include "app/ConsoleParam.h"
#include "gui/EditBox.h"
#include "gui/ScrollBar.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "gui/WindowList.h"
#include "hud/Console.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "platform/input/ScanCodes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPageLines = 5;
constexpr int kWheelLines = 3;
constexpr uint32_t kBackground = 0xC0101018u;
constexpr uint32_t kTypedColour = 0xFFB0B0B0u;

} // namespace

// The typed line: Enter runs it (echoed as "> line") and empties the box.
class ConsoleInput : public EditBox {
public:
    explicit ConsoleInput(int font) : EditBox(font) { fillColour = 0xE0000000u; }
    int OnKey(int value, int code, bool shift, IInputDevice& device) override
    {
        if (value != 0 && (code == kKeyEnter || code == kKeyNumpadEnter)) {
            const std::string line = GetText();
            SetText(std::string());
            if (!line.empty()) {
                Console::AddLine("> " + line, kTypedColour);
                ExecuteConsoleLine(line);
            }
            return 1;
        }
        return EditBox::OnKey(value, code, shift, device);
    }
    // A line is run by Enter only, never by losing the focus.
    void Commit() override {}
};

ConsoleView::ConsoleView() : fontId(FontManager::kConsoleFontId), textScale(GetUiScale())
{
    name = kWindowName;
    containerFlags |= kContainerWindow;
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, kHeight);
    scrollBar_ = new SimpleScrollBar;
    scrollBar_->SetScrollCallback([](int) {});
    AddChild(scrollBar_);
    input_ = new ConsoleInput(fontId);
    input_->textScale = textScale;
    input_->SetCapacity(256);
    AddChild(input_);
    Console::SetView(this);
    seenLines_ = Console::LinesAdded();
    lineCount_ = Console::LineCount();
    Relayout();
    Scroll(false, int(lineCount_)); // open at the newest lines
}

ConsoleView::~ConsoleView()
{
    if (Console::View() == this)
        Console::SetView(nullptr);
}

EditBox* ConsoleView::Input() const
{
    return input_;
}

void ConsoleView::FocusInput()
{
    SetKeyboardFocus(input_);
}

int ConsoleView::Offset() const
{
    return std::max(0, scrollBar_->GetScrollPosition());
}

int ConsoleView::TextHeight() const
{
    return int(lineCount_) * lineStep_;
}

int ConsoleView::VisibleHeight() const
{
    float inputHeight = 0.0f;
    input_->GetSize(nullptr, &inputHeight);
    return std::max(lineStep_, int(kHeight - inputHeight));
}

void ConsoleView::Relayout()
{
    const float pixels = WidgetLineHeight(fontId, textScale) * kLineSpacing;
    lineStep_ = std::max(1, int(std::lround(ToVirtualY(pixels))));
    if (visible) {
        float barWidth = 0.0f, inputHeight = 0.0f;
        scrollBar_->GetSize(&barWidth, nullptr);
        // One line of text high: the box's own minimum, given to it as its size.
        input_->GetSize(nullptr, &inputHeight);
        input_->SetSize(1000.0f, inputHeight);
        input_->SetPosition(0.0f, kHeight - inputHeight);
        scrollBar_->SetPosition(1000.0f - ToVirtualX(barWidth), 0.0f);
        scrollBar_->SetSize(ToVirtualX(barWidth), kHeight - inputHeight);
        UpdateAbsolutePosition();
    }
    const int visibleHeight = VisibleHeight();
    // The range is counted so that the first shown line can go from 0 to the text's end
    // less the shown part; the page is one line step.
    scrollBar_->SetScrollRange(std::max(0, TextHeight() - visibleHeight) + lineStep_, lineStep_);
    if (TextHeight() - (Offset() + visibleHeight) <= lineStep_ * 3 / 2)
        Scroll(false, 1);
}

void ConsoleView::Scroll(bool up, int lines)
{
    const int step = lineStep_ * lines;
    const int wanted = Offset() + (up ? -step : step);
    const int limit = std::max(0, scrollBar_->count - scrollBar_->page);
    const int clamped = std::clamp(wanted, 0, limit);
    if (clamped != scrollBar_->GetScrollPosition())
        scrollBar_->SetScrollPosition(clamped, true);
}

void ConsoleView::Update()
{
    const uint64_t added = Console::LinesAdded();
    if (added != seenLines_) {
        seenLines_ = added;
        lineCount_ = Console::LineCount();
        Relayout();
    }
    PrimContainer::Update();
}

void ConsoleView::Draw()
{
    if (!visible || !highlight)
        return;
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, kBackground);
    const std::vector<ConsoleLine> lines = Console::Lines();
    const float step = ToPixelsY(float(lineStep_));
    const float bottom = rect.top + ToPixelsY(float(VisibleHeight()));
    const float right = scrollBar_->rect.left;
    const int first = Offset() / lineStep_;
    const float textLeft = rect.left + 4.0f * GetUiScale();
    for (size_t i = size_t(std::max(first, 0)); i < lines.size(); ++i) {
        const float y = rect.top + step * float(int(i) - first);
        if (y + step > bottom)
            break;
        std::string text = lines[i].text;
        while (!text.empty() && textLeft + WidgetTextWidth(fontId, text, textScale) > right) {
            while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
                text.pop_back(); // the last character's continuation bytes
            if (!text.empty())
                text.pop_back();
        }
        DrawWidgetText(fontId, textLeft, y, textScale, lines[i].colour, text, 0);
    }
    PrimContainer::Draw();
}

int ConsoleView::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (value != 0 && (code == kKeyPageUp || code == kKeyPageDown)) {
        Scroll(code == kKeyPageUp, kPageLines);
        return 1;
    }
    return PrimContainer::OnKey(value, code, shift, device);
}

Primitive* ConsoleView::OnWheel(int delta)
{
    Scroll(delta > 0, kWheelLines);
    return this;
}
