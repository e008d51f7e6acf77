#pragma once
// The text input widget: one line or many, a caret, a selection made with the mouse or
// with shift and the movement keys, a capacity in bytes, an optional password look and a
// change callback. The text is committed (the callback runs once) when Enter is pressed in
// a one-line box and whenever the box loses the keyboard focus, edited or not.
//
// Keys (keyboard codes): the arrows, Home and End move the caret (with shift they extend
// the selection; with ctrl Home and End go to the text's ends), Backspace and Delete
// remove, ctrl+A selects all, ctrl+C, ctrl+X and ctrl+V use the desktop clipboard.

#include "gui/Primitive.h"
#include "gui/WidgetText.h"

#include <algorithm>
#include <cstdint>
#include <string>

class EditBox : public Primitive {
public:
    static constexpr int kDefaultCapacity = 256;

    explicit EditBox(int fontId = 0, uint32_t textColour = 0xFFFFFFFF);

    Primitive* OnLeftButton(int x, int y, int phase) override;
    std::string GetCursorName() override { return "text"; }
    void OnFocusLost(Primitive* taker) override;
    void OnFocusGained() override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // A plain frame and fill, then the text, the selection and the caret.
    void Draw() override;
    int GetWidgetType() override { return kWidgetEditBox; }
    // Width as set; height at least one line of text plus the margins.
    bool GetSize(float* width, float* height) override;
    std::string GetText() override { return text_; }
    // Replaces the text (cut to the capacity); the caret goes to the end, no callback.
    void SetText(const std::string& text) override;
    // SetText with the caret at the start (caretAtStart) or the end; clears the edit state.
    void InitText(const std::string& text, bool caretAtStart);
    // The text as a whole number; 0 when it is none.
    int GetIntValue() override;
    float GetFloatValue() override;
    void SetIntValue(int value) override;
    void SetFloatValue(float value) override;

    // The buffer size in bytes: the text keeps at most bytes - 1 bytes (whole characters);
    // the present text is cut to fit.
    void SetCapacity(int bytes);
    int Capacity() const { return capacity_; }
    // Clears the edit state, marks the box changed and calls the change callback.
    virtual void Commit();
    // Types text at the caret in place of the selection, as far as the capacity allows.
    void InsertText(const std::string& text);
    // Byte offsets; clamped and moved to character starts.
    void SetCaret(size_t position, bool extendSelection);
    void SelectAll();
    size_t Caret() const { return caret_; }
    size_t SelectionStart() const { return std::min(anchor_, caret_); }
    size_t SelectionEnd() const { return std::max(anchor_, caret_); }
    bool HasSelection() const { return anchor_ != caret_; }
    std::string SelectedText() const;
    // True between the first edit and the next commit.
    bool IsEditing() const { return editing_ != 0; }
    // The byte offset of the character boundary nearest to a screen point (pixels).
    size_t PositionAt(int x, int y) const;
    // The height of one line of text (pixels).
    float LineHeight() const;

    ControlCallback onChange;
    uint8_t multiline = 0;
    uint8_t password = 0;
    uint8_t readOnly = 0;
    int fontId;
    float textScale;
    uint32_t textColour;
    uint32_t selectionColour = 0x884477CC;
    uint32_t caretColour = 0xFFFFFFFF;
    uint32_t fillColour = 0xAA000000;
    uint32_t frameColour = 0xFF888888;

protected:
    // The text, selection and caret inside the rectangle less the margins.
    void DrawTextAndCaret();

private:
    bool Ctrl(IInputDevice& device) const;
    void DeleteSelection();
    // The shown form of a prefix of the text (stars for a password).
    std::string Shown(size_t bytes) const;
    std::string ShownLine(size_t lineStart, size_t bytes) const;
    size_t LineStart(size_t at) const;
    size_t LineEnd(size_t at) const;
    size_t CharCount(size_t from, size_t to) const;
    size_t AdvanceChars(size_t from, size_t count, size_t limit) const;
    void MoveVertically(int lines, bool extend);
    void KeepCaretVisible();

    std::string text_;
    int capacity_ = kDefaultCapacity;
    size_t caret_ = 0;
    size_t anchor_ = 0;
    uint8_t editing_ = 0;
    float scrollPixels_ = 0.0f; // horizontal text offset of a one-line box
};
