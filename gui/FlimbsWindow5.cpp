#include "gui/FlimbsWindow5.h"

#include "gui/FlimbsScrollBar.h"
#include "gui/UiScale.h"
#include "media/ImageCache.h"

FlimbsWindow5::FlimbsWindow5()
{
    containerFlags |= kContainerWindow;
    skin_ = ImageCache::GetImage(kSkinImage);
    SetFrameFromImage(frame_, skin_);
}

FlimbsWindow5::~FlimbsWindow5() { ImageCache::ReleaseImage(skin_); }

void FlimbsWindow5::Draw()
{
    frame_.scale = ScreenImageScale();
    frame_.fillAlpha = fillAlpha;
    DrawNinePieceFrame(frame_, {rect.left, rect.top, rect.right, rect.bottom}, 0xFFFFFFFFu, alpha);
    PrimContainer::Draw();
}

std::unique_ptr<Primitive> FlimbsWindow5::CreateScrollBar() { return CreateFlimbsScrollBar(); }
