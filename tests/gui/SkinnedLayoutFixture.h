#pragma once
// The image widget fixture (the build's resource archive, a software device) with the
// device and the GUI screen re-made at a chosen size, for the skinned layout engine.

#include "ImageWidgetFixture.h"

#include "gui/GuiDevice.h"
#include "gui/UiScale.h"
#include "media/AnimSurface.h"

class SkinnedLayoutFixture : public ImageWidgetFixture {
protected:
    // The device and the GUI screen at width x height pixels; make widgets after it.
    void StartScreen(int width, int height)
    {
        ImageCache::Clear();
        DXManager::Shutdown();
        DXManager::Init(&window_, width, height);
        ASSERT_NE(DXManager::GetDevice(), nullptr);
        SetScreenSize(width, height);
    }
    // The pixel size of an image of the archive (0 x 0 when it cannot be read).
    static IntPoint ImageSize(const std::string& path)
    {
        AnimSurface* image = ImageCache::GetImage(path);
        IntPoint size{0, 0};
        if (image)
            size = IntPoint{image->imageWidth, image->imageHeight};
        ImageCache::ReleaseImage(image);
        return size;
    }
};
