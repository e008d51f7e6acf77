#include "gui/SimpleWindow.h"

#include "app/LanguageTexts.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "gui/WindowList.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "platform/input/ScanCodes.h"

namespace {
}

SimpleWindow::SimpleWindow(const std::string& title, uint32_t background, uint32_t titleColourArg, bool modal)
    : backgroundColour(background), titleColour(titleColourArg), textScale(GetUiScale()), title_(title)
{
    containerFlags |= kContainerWindow;
    SetModal(modal);
}

void SimpleWindow::SetModal(bool modal)
{
    if (modal) {
        containerFlags |= kContainerModal | kContainerModalBlocks;
        if (active && visible && IsWindowOpen(this))
            SetModalWindow(this, true);
    } else {
        containerFlags &= ~uint32_t(kContainerModal | kContainerModalBlocks);
        if (GetModalWindow() == this)
            SetModalWindow(nullptr, false);
    }
}

bool SimpleWindow::Deactivate()
{
    if (GetModalWindow() == this)
        SetModalWindow(nullptr, false);
    return PrimContainer::Deactivate();
}

int SimpleWindow::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (const int taken = PrimContainer::OnKey(value, code, shift, device))
        return taken;
    if (closeOnEscape && code == kKeyEscape && value != 0) {
        Close();
        return 1;
    }
    // A modal window swallows the keys its children leave.
    return IsModal() ? 1 : 0;
}

float SimpleWindow::TitleHeight() const
{
    if (title_.empty())
        return 0.0f;
    return WidgetLineHeight(fontId, textScale) + 6.0f * GetUiScale();
}

void SimpleWindow::Draw()
{
    if (!visible || !highlight)
        return;
    auto faded = [this](uint32_t colour) { return WithAlpha(colour, uint8_t(((colour >> 24) * alpha) / 255)); };
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, faded(backgroundColour));
    const float strip = TitleHeight();
    if (strip > 0.0f) {
        Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.top + strip, faded(titleColour));
        DrawWidgetText(fontId, (rect.left + rect.right) / 2.0f, rect.top + strip / 2.0f, textScale,
                       faded(titleTextColour), ConvertCaptionText(fontId, title_), kTextCentre | kTextVCentre);
    }
    Draw2D::DrawRectOutline(rect.left, rect.top, rect.right, rect.bottom, faded(outlineColour));
    PrimContainer::Draw();
}
