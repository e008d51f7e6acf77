#include "gui/FlimbsWindow4.h"

#include "gui/FlimbsWindow.h"

FlimbsWindow4::FlimbsWindow4(int font) : FlimbsTabControl(font), frame_(new FlimbsWindow)
{
    frame_->name = "page_frame";
    SetPageFrame(frame_);
    const SkinFrame& border = frame_->Border();
    SetPageInsets(border.LeftWidth(), border.TopHeight(), border.RightWidth(), border.BottomHeight());
    containerFlags |= kContainerWindow;
    UpdateAbsolutePosition();
}

PrimContainer* FlimbsWindow4::AsContainer()
{
    PrimContainer* page = CurrentPage();
    return page ? page : this;
}

void FlimbsWindow4::SetTitle(const char* title)
{
    PrimContainer* page = CurrentPage();
    if (!page)
        return;
    const std::string text = title ? title : "";
    page->SetName(text.c_str());
    SetPageCaption(CurrentIndex(), text);
    SyncTabButtons();
}
