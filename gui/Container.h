#pragma once
// A primitive that owns an ordered list of children and passes input, updates, drawing and
// layout down to them. The front child is the first to be offered input and the first to be
// drawn.

#include "gui/GuiDevice.h"
#include "gui/Primitive.h"

#include <list>
#include <string>
#include <vector>

// Container flags.
enum : uint32_t {
    kContainerModal = 1,       // answers every hit test; registers itself as the modal window
    kContainerTransparent = 2, // its own area (not a child) is not a hit
    kContainerWindow = 4,      // a window: owning-window look-ups stop here
    kContainerDisabled = 8,    // the children get no input
    kContainerModalBlocks = 16,
    kContainerAutoScroll = 512, // an automatic vertical scroll bar when the content is taller
};

template <class Base>
class Container;

template <>
class Container<Primitive> : public Primitive {
public:
    Container() = default;
    // Clears the children without keeping them.
    ~Container() override;

    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    Primitive* OnWheel(int delta) override;
    Primitive* HitTest(int x, int y) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void Draw() override;
    // Updates the visible active children; takes the closed ones out of the list.
    void Update() override;
    int GetPrimitiveKind() override;
    // Own placement, then the clip viewport, then every child.
    void UpdateAbsolutePosition() override;

    // Sets the parent, numbers a tab stop, lays the child out and inserts it.
    void AddChild(Primitive* child, bool atEnd = true);
    // Inserts before the reference child, or after it; no reference: InsertChild(child, after).
    void AddChildNear(Primitive* child, Primitive* reference, bool after);
    // Moves the child to the front or the back of the list (no second entry).
    void InsertChild(Primitive* child, bool atEnd);
    // Takes a child out; deletes it when asked and it carries delete-when-closed. True when
    // the child was taken out.
    virtual bool RemoveChild(Primitive* child, bool destroy);
    // keep: deactivates every child in place; else removes them all.
    void ClearChildren(bool keep);
    // The first active descendant with this exact name, depth first.
    Primitive* FindChild(const std::string& childName);
    // The text of the named descendant; empty when there is none.
    std::string GetChildText(const std::string& childName);
    bool ReadChildText(const std::string& childName, bool onlyIfPressed, std::string& out);
    // A minimum of -1.0 means no range.
    bool ReadChildFloat(const std::string& childName, float minimum, float maximum, bool onlyIfPressed,
                        float& out);
    std::vector<Primitive*> CopyChildList() const;
    // The tab stop after `current`, wrapping to the lowest; null without tab stops.
    Primitive* NextTabStop(int current);

    bool HasChild(const Primitive* child) const;
    // A child that is being deleted leaves the list (nothing else happens to it).
    void UnlinkDeletedChild(Primitive* child);
    const std::list<Primitive*>& Children() const { return children_; }
    const GuiViewport& ClipViewport() const { return clip_; }

    uint32_t containerFlags = 0;

protected:
    // The child pass of the button events; `right` selects the right button.
    Primitive* ButtonChildPass(int x, int y, int phase, bool right);
    // Drawn inside the container's viewport after the children.
    virtual void DrawOverlay() {}
    // Gives tab numbers to new tab stops (PrimContainer).
    virtual void NumberTabStop(Primitive*) {}
    // Calls fn for each child in list order that is still a child when its turn comes;
    // stops when fn returns true.
    template <class Fn>
    bool ForEachChildSafely(Fn fn);
    bool Disabled() const { return (containerFlags & kContainerDisabled) != 0; }
    bool PointInRectF(int x, int y) const;

private:
    void ComputeClipViewport();
    // The child leaves the list and the input routing; deleted or made ready for re-adding.
    void DropChild(Primitive* child, bool deleteIt);

    std::list<Primitive*> children_;
    GuiViewport clip_{};
};

template <class Fn>
bool Container<Primitive>::ForEachChildSafely(Fn fn)
{
    const std::vector<Primitive*> snapshot(children_.begin(), children_.end());
    for (Primitive* child : snapshot) {
        if (!HasChild(child))
            continue;
        if (fn(child))
            return true;
    }
    return false;
}
