#include "frontend/menus/ScreenLayout.h"

#include "gui/UiScale.h"

float DesignX(float pixels)
{
    return Primitive::ToVirtualX(pixels * GetUiScale());
}

float DesignY(float pixels)
{
    return Primitive::ToVirtualY(pixels * GetUiScale());
}
