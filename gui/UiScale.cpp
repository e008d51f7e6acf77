#include "gui/UiScale.h"

#include "gui/GuiDevice.h"

#include <cmath>

float GetUiScale()
{
    const float width = static_cast<float>(GetScreenWidth());
    const float height = static_cast<float>(GetScreenHeight());
    if (width / height >= 4.0f / 3.0f)
        return height / 768.0f;
    return width / 1024.0f;
}

float DesignToVirtualX(float designPixels)
{
    return designPixels * GetUiScale() * 1000.0f / static_cast<float>(GetScreenWidth());
}

float DesignToVirtualY(float designPixels)
{
    return designPixels * GetUiScale() * 1000.0f / static_cast<float>(GetScreenHeight());
}

float ScreenImageScale()
{
    constexpr float kInverse768 = 0.0013020833721384406f;
    return static_cast<float>(static_cast<double>(GetScreenHeight()) * static_cast<double>(kInverse768));
}

IntPoint RoundToPoint(float x, float y)
{
    return IntPoint{static_cast<int>(std::lrint(x)), static_cast<int>(std::lrint(y))};
}

float DesignUnitsX(float pixels)
{
    return static_cast<float>(pixels * GetUiScale() / static_cast<float>(GetScreenWidth()) * 1000.0);
}

float DesignUnitsY(float pixels)
{
    return static_cast<float>(pixels * GetUiScale() / static_cast<float>(GetScreenHeight()) * 1000.0);
}
