#include "gui/FlimbsSliderBar.h"

FlimbsSliderBar::FlimbsSliderBar() : GraphicSliderBar(kFolder, kGrooveImage, kBarImage) {}

void FlimbsSliderBar::Configure(float value, float maximum, float minimum)
{
    SetRange(minimum, maximum);
    SetValue(value, false);
}
