#pragma once
// What the front-end screens share when they build themselves: design-pixel lengths (a
// 1024 x 768 layout, times the UI scale) in virtual units, and the skinned layout engine
// with a way to place the screens' own widgets in its flow.
#include "gui/FlimbsLayoutEngine.h"
#include "gui/Primitive.h"

#include <memory>
#include <string>

// A length of the reference layout in virtual units of the screen width (x) or height (y).
float DesignX(float pixels);
float DesignY(float pixels);

class ScreenLayoutEngine : public FlimbsLayoutEngine {
public:
    using FlimbsLayoutEngine::FlimbsLayoutEngine;

    // Names the widget with the key, adds it to the target and places it in the flow.
    template <class T>
    T* Place(std::unique_ptr<T> widget, const std::string& key)
    {
        widget->SetName(key.c_str());
        return Adopt(std::move(widget));
    }
};
