#pragma once
// The blue antlers picture of the end-of-match screens.

class PrimContainer;
class ScreenImage;

// Adds "Graphics\Menu\Eom\antlers_blue.png" to the container as a ScreenImage and returns
// it (owned by the container); null without a container.
ScreenImage* AddAntlersImage(PrimContainer* container);
