#include "gui/AntlersImage.h"

#include "gui/PrimContainer.h"
#include "gui/ScreenImage.h"

ScreenImage* AddAntlersImage(PrimContainer* container)
{
    if (!container)
        return nullptr;
    auto* image = new ScreenImage("Graphics\\Menu\\Eom\\antlers_blue.png");
    container->AddChild(image);
    return image;
}
