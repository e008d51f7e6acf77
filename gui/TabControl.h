#pragma once
// `TabControl`: a container of pages under a strip of tab headers that it draws itself.
// A press on a header selects its page; ctrl+Tab (with shift: backwards) steps through
// the pages while the control or a widget of its current page has the keyboard focus.
// Only the current page is shown and takes input: the others are hidden, and a keyboard
// focus inside a page that is hidden moves to the control.

#include "gui/PrimContainer.h"
#include "gui/WidgetText.h"

#include <cstdint>
#include <string>
#include <vector>

class TabControl : public PrimContainer {
public:
    explicit TabControl(int fontId = 0);

    Primitive* OnLeftButton(int x, int y, int phase) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void Draw() override;
    void SetSize(float width, float height) override;
    // The current page's caption and index.
    std::string GetText() override;
    int GetIntValue() override { return current_; }
    void SetIntValue(int value) override { SelectPage(value, false); }

    // Adds a page (a new empty container when page is null) under the caption; the first
    // page becomes the current one. headerWidth: the tab's width in pixels (0: from the
    // caption). Returns the page.
    PrimContainer* AddPage(const std::string& caption, PrimContainer* page = nullptr, float headerWidth = 0.0f);
    // Clamped; -1 only while there is no page. With notify and a change: marks the control
    // changed and calls the change callback.
    void SelectPage(int index, bool notify);
    int CurrentIndex() const { return current_; }
    PrimContainer* CurrentPage() const;
    PrimContainer* Page(int index) const;
    int PageCount() const { return int(pages_.size()); }
    const std::string& PageCaption(int index) const;
    void SetPageCaption(int index, const std::string& caption);
    // Installs a container (owned as a child) below the headers that holds the pages from
    // now on, as a frame round them; the pages already added move into it.
    void SetPageFrame(PrimContainer* frame);
    PrimContainer* PageFrame() const { return frame_; }
    // Pixels between the page frame's edges and the pages (its border), left, top, right,
    // bottom; used only with a page frame.
    void SetPageInsets(float left, float top, float right, float bottom);
    // Pixels: the header strip's height and a tab's width.
    float HeaderHeight() const;
    float TabWidth(int index) const;
    // The tab under a screen point, -1 when none.
    int TabAt(int x, int y) const;

    ControlCallback onPageChanged;
    int fontId;
    float textScale;
    float tabPadding;
    uint32_t tabColour = 0xFF334455;
    uint32_t currentTabColour = 0xFF5577AA;
    uint32_t textColour = 0xFFFFFFFF;

protected:
    // The header strip (subclasses draw their own look).
    virtual void DrawTabs();

private:
    struct PageEntry {
        PrimContainer* page; // a child of the control
        std::string caption;
        float headerWidth;
    };
    void LayoutPages();
    // Forgets pages that are no longer children of the page host (deleted or taken out).
    void PrunePages();

    std::vector<PageEntry> pages_;
    PrimContainer* frame_ = nullptr; // a child, or none
    float insets_[4] = {};           // left, top, right, bottom
    int current_ = -1;
};
