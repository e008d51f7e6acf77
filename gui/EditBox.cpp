#include "gui/EditBox.h"

#include "app/StringUtil.h"
#include "gui/GuiClock.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "media/Draw2D.h"
#include "media/KeyTables.h"
#include "platform/input/ScanCodes.h"
#include "platform/window/Clipboard.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr uint32_t kCaretBlinkMs = 500;

// The longest prefix of text of at most `bytes` bytes that ends on a character start.
std::string CutToBytes(const std::string& text, size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    size_t end = 0;
    for (size_t next = NextCharBoundary(text, 0); next <= bytes && next > end; next = NextCharBoundary(text, next))
        end = next;
    return text.substr(0, end);
}

} // namespace

EditBox::EditBox(int font, uint32_t colour) : fontId(font), textScale(GetUiScale()), textColour(colour)
{
    const float scale = GetUiScale();
    margins = {3.0f * scale, 2.0f * scale, 3.0f * scale, 2.0f * scale};
    // Held-button events carry the pointer: they extend a mouse selection.
    leftRepeat = {1, 20, 20};
}

void EditBox::SetCapacity(int bytes)
{
    capacity_ = std::max(1, bytes);
    text_ = CutToBytes(text_, size_t(capacity_ - 1));
    caret_ = std::min(caret_, text_.size());
    anchor_ = std::min(anchor_, text_.size());
}

void EditBox::SetText(const std::string& text)
{
    text_ = CutToBytes(text, size_t(capacity_ - 1));
    if (!multiline) {
        // One line: line breaks become spaces.
        for (char& c : text_)
            if (c == '\n' || c == '\r')
                c = ' ';
    }
    caret_ = anchor_ = text_.size();
    scrollPixels_ = 0.0f;
    Invalidate();
}

void EditBox::InitText(const std::string& text, bool caretAtStart)
{
    SetText(text);
    editing_ = 0;
    if (caretAtStart)
        SetCaret(0, false);
}

int EditBox::GetIntValue()
{
    int32_t value = 0;
    return ParseInt(text_, value) ? value : static_cast<int>(std::strtol(text_.c_str(), nullptr, 10));
}

float EditBox::GetFloatValue()
{
    const float value = std::strtof(text_.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0f;
}

void EditBox::SetIntValue(int value) { SetText(std::to_string(value)); }
void EditBox::SetFloatValue(float value) { SetText(StringPrintf("%.4f", value)); }

void EditBox::Commit()
{
    editing_ = 0;
    pressed = 1;
    if (onChange)
        onChange(parent, this);
}

void EditBox::OnFocusLost(Primitive*)
{
    focus = 0;
    anchor_ = caret_;
    Commit();
}

void EditBox::OnFocusGained()
{
    focus = 1;
}

std::string EditBox::SelectedText() const
{
    return text_.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

void EditBox::SetCaret(size_t position, bool extendSelection)
{
    position = std::min(position, text_.size());
    while (position > 0 && position < text_.size() && (static_cast<unsigned char>(text_[position]) & 0xC0) == 0x80)
        --position;
    caret_ = position;
    if (!extendSelection)
        anchor_ = caret_;
    KeepCaretVisible();
}

void EditBox::SelectAll()
{
    anchor_ = 0;
    caret_ = text_.size();
}

void EditBox::DeleteSelection()
{
    if (!HasSelection())
        return;
    const size_t start = SelectionStart();
    text_.erase(start, SelectionEnd() - start);
    caret_ = anchor_ = start;
    editing_ = 1;
}

void EditBox::InsertText(const std::string& typed)
{
    if (readOnly)
        return;
    std::string clean;
    for (char c : typed) {
        if (c == '\r')
            continue;
        if (c == '\n' && !multiline)
            c = ' ';
        if (static_cast<unsigned char>(c) < 32 && c != '\n')
            continue;
        clean += c;
    }
    DeleteSelection();
    const size_t room = size_t(capacity_ - 1) > text_.size() ? size_t(capacity_ - 1) - text_.size() : 0;
    clean = CutToBytes(clean, room);
    if (clean.empty())
        return;
    text_.insert(caret_, clean);
    caret_ += clean.size();
    anchor_ = caret_;
    editing_ = 1;
    KeepCaretVisible();
}

bool EditBox::Ctrl(IInputDevice& device) const
{
    return device.IsButtonDown(kKeyLeftCtrl) || device.IsButtonDown(kKeyRightCtrl);
}

size_t EditBox::LineStart(size_t at) const
{
    if (!multiline || at == 0)
        return 0;
    const size_t found = text_.rfind('\n', at - 1);
    return found == std::string::npos ? 0 : found + 1;
}

size_t EditBox::LineEnd(size_t at) const
{
    if (!multiline)
        return text_.size();
    const size_t found = text_.find('\n', at);
    return found == std::string::npos ? text_.size() : found;
}

size_t EditBox::CharCount(size_t from, size_t to) const
{
    size_t count = 0;
    for (size_t at = from; at < to; at = NextCharBoundary(text_, at))
        ++count;
    return count;
}

size_t EditBox::AdvanceChars(size_t from, size_t count, size_t limit) const
{
    size_t at = from;
    for (size_t i = 0; i < count && at < limit; ++i)
        at = NextCharBoundary(text_, at);
    return std::min(at, limit);
}

void EditBox::MoveVertically(int lines, bool extend)
{
    const size_t start = LineStart(caret_);
    const size_t column = CharCount(start, caret_);
    size_t target;
    if (lines < 0) {
        if (start == 0) {
            SetCaret(0, extend);
            return;
        }
        const size_t previousStart = LineStart(start - 1);
        target = AdvanceChars(previousStart, column, start - 1);
    } else {
        const size_t end = LineEnd(caret_);
        if (end >= text_.size()) {
            SetCaret(text_.size(), extend);
            return;
        }
        target = AdvanceChars(end + 1, column, LineEnd(end + 1));
    }
    SetCaret(target, extend);
}

int EditBox::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (GetKeyboardFocus() != this || !enabled || !visible)
        return 0;
    if (code == kKeyEscape || code == kKeyTab)
        return 0;
    if (value == 0)
        return 1;
    const bool ctrl = Ctrl(device);
    switch (code) {
    case kKeyLeft:
        if (HasSelection() && !shift)
            SetCaret(SelectionStart(), false);
        else
            SetCaret(PreviousCharBoundary(text_, caret_), shift);
        return 1;
    case kKeyRight:
        if (HasSelection() && !shift)
            SetCaret(SelectionEnd(), false);
        else
            SetCaret(NextCharBoundary(text_, caret_), shift);
        return 1;
    case kKeyHome:
        SetCaret(ctrl ? 0 : LineStart(caret_), shift);
        return 1;
    case kKeyEnd:
        SetCaret(ctrl ? text_.size() : LineEnd(caret_), shift);
        return 1;
    case kKeyUp:
    case kKeyDown:
        if (!multiline)
            return 0;
        MoveVertically(code == kKeyUp ? -1 : 1, shift);
        return 1;
    case kKeyBackspace:
        if (readOnly)
            return 1;
        if (!HasSelection())
            anchor_ = PreviousCharBoundary(text_, caret_);
        DeleteSelection();
        KeepCaretVisible();
        return 1;
    case kKeyDelete:
        if (readOnly)
            return 1;
        if (!HasSelection())
            anchor_ = NextCharBoundary(text_, caret_);
        DeleteSelection();
        return 1;
    case kKeyEnter:
    case kKeyNumpadEnter:
        if (multiline && !readOnly)
            InsertText("\n");
        else
            Commit();
        return 1;
    default:
        break;
    }
    if (ctrl) {
        if (code == kKeyA)
            SelectAll();
        else if (code == kKeyC && HasSelection() && !password)
            platform::SetClipboardText(SelectedText());
        else if (code == kKeyX && HasSelection() && !password && !readOnly) {
            platform::SetClipboardText(SelectedText());
            DeleteSelection();
        } else if (code == kKeyV)
            InsertText(platform::GetClipboardText());
        return 1;
    }
    const char typed = KeyToChar(code, shift);
    if (static_cast<unsigned char>(typed) >= 32 && typed != 127) {
        InsertText(std::string(1, typed));
        return 1;
    }
    return 0;
}

Primitive* EditBox::OnLeftButton(int x, int y, int phase)
{
    if (!enabled || !visible)
        return nullptr;
    if (phase == kPhaseDown) {
        if (!PointInRect(x, y))
            return nullptr;
        SetCaret(PositionAt(x, y), false);
        return this;
    }
    if (phase == kPhaseHeld) {
        SetCaret(PositionAt(x, y), true);
        return this;
    }
    return PointInRect(x, y) ? this : nullptr;
}

float EditBox::LineHeight() const
{
    const float height = WidgetLineHeight(fontId, textScale);
    return height > 0.0f ? height : 1.0f;
}

std::string EditBox::Shown(size_t bytes) const
{
    return ShownLine(0, bytes);
}

std::string EditBox::ShownLine(size_t lineStart, size_t bytes) const
{
    if (password)
        return std::string(CharCount(lineStart, bytes), '*');
    return text_.substr(lineStart, bytes - lineStart);
}

size_t EditBox::PositionAt(int x, int y) const
{
    const float left = rect.left + margins.left - scrollPixels_;
    size_t lineStart = 0;
    if (multiline) {
        const float row = std::floor((float(y) - rect.top - margins.top) / LineHeight());
        for (int i = 0; i < int(row) && lineStart <= text_.size(); ++i) {
            const size_t end = LineEnd(lineStart);
            if (end >= text_.size()) {
                lineStart = text_.size() + 1;
                break;
            }
            lineStart = end + 1;
        }
        if (lineStart > text_.size())
            return text_.size();
    }
    const size_t lineEnd = LineEnd(lineStart);
    const float target = float(x) - left;
    size_t best = lineStart;
    float bestDistance = std::fabs(target);
    for (size_t at = NextCharBoundary(text_, lineStart); at <= lineEnd && at > lineStart;
         at = NextCharBoundary(text_, at)) {
        const float distance = std::fabs(target - WidgetTextWidth(fontId, ShownLine(lineStart, at), textScale));
        if (distance < bestDistance) {
            best = at;
            bestDistance = distance;
        }
        if (at >= lineEnd)
            break;
    }
    return best;
}

void EditBox::KeepCaretVisible()
{
    if (multiline)
        return;
    const float width = (rect.right - rect.left) - margins.left - margins.right;
    if (width <= 0.0f) {
        scrollPixels_ = 0.0f;
        return;
    }
    const float caretX = WidgetTextWidth(fontId, Shown(caret_), textScale);
    if (caretX - scrollPixels_ > width)
        scrollPixels_ = caretX - width;
    else if (caretX < scrollPixels_)
        scrollPixels_ = caretX;
    scrollPixels_ = std::max(0.0f, scrollPixels_);
}

bool EditBox::GetSize(float* width, float* height)
{
    const float lines = multiline ? std::max(1.0f, float(std::count(text_.begin(), text_.end(), '\n') + 1)) : 1.0f;
    const float minimum = LineHeight() * lines + margins.top + margins.bottom;
    if (width)
        *width = ToVirtualX(rect.right - rect.left);
    if (height)
        *height = ToVirtualY(std::max(rect.bottom - rect.top, minimum));
    return true;
}

void EditBox::Draw()
{
    if (!visible || !highlight)
        return;
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom,
                           WithAlpha(fillColour, uint8_t(((fillColour >> 24) * alpha) / 255)));
    Draw2D::DrawRectOutline(rect.left, rect.top, rect.right, rect.bottom,
                            WithAlpha(focus ? caretColour : frameColour, alpha));
    DrawTextAndCaret();
}

void EditBox::DrawTextAndCaret()
{
    const float left = rect.left + margins.left;
    const float top = rect.top + margins.top;
    const float lineHeight = LineHeight();
    const float originX = left - (multiline ? 0.0f : scrollPixels_);
    // One-line boxes centre the line vertically.
    const float firstLineTop =
        multiline ? top : (rect.top + rect.bottom) / 2.0f - lineHeight / 2.0f;
    const uint32_t colour = WithAlpha(textColour, uint8_t(((textColour >> 24) * alpha) / 255));
    const bool showCaret = focus && GetKeyboardFocus() == this && (GuiNow() / kCaretBlinkMs) % 2 == 0;
    const ScopedWidgetClip clip(rect);
    if (clip.Empty())
        return;
    size_t lineStart = 0;
    for (int line = 0;; ++line) {
        const size_t lineEnd = LineEnd(lineStart);
        const float y = firstLineTop + float(line) * lineHeight;
        if (HasSelection() && SelectionStart() <= lineEnd && SelectionEnd() >= lineStart) {
            const size_t from = std::max(SelectionStart(), lineStart);
            const size_t to = std::min(SelectionEnd(), lineEnd);
            const float x1 = originX + WidgetTextWidth(fontId, ShownLine(lineStart, from), textScale);
            const float x2 = originX + WidgetTextWidth(fontId, ShownLine(lineStart, to), textScale);
            if (x2 > x1)
                Draw2D::DrawFilledRect(x1, y, x2, y + lineHeight, WithAlpha(selectionColour, alpha / 2));
        }
        DrawWidgetText(fontId, originX, y, textScale, colour, ShownLine(lineStart, lineEnd), 0);
        if (showCaret && caret_ >= lineStart && caret_ <= lineEnd) {
            const float x = originX + WidgetTextWidth(fontId, ShownLine(lineStart, caret_), textScale);
            Draw2D::DrawFilledRect(x, y, x + std::max(1.0f, textScale), y + lineHeight, WithAlpha(caretColour, alpha));
        }
        if (lineEnd >= text_.size())
            break;
        lineStart = lineEnd + 1;
    }
}
