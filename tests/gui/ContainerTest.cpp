#include "GuiFixture.h"

#include <memory>

namespace {

class ContainerTest : public GuiFixture {};

std::vector<std::string> Names(const Container<Primitive>& container)
{
    std::vector<std::string> names;
    for (const Primitive* child : container.Children())
        names.push_back(child->name);
    return names;
}

TEST_F(ContainerTest, DisabledModalAndTransparentAnswers)
{
    std::unique_ptr<PrimContainer> box(MakeWindow("box", 100, 100, 200, 200));
    auto* child = (new Probe("child"))->At(10, 10, 20, 20); // 110..130
    box->AddChild(child);

    EXPECT_EQ(box->HitTest(120, 120), child);
    EXPECT_EQ(box->HitTest(250, 250), box.get());
    EXPECT_EQ(box->HitTest(50, 50), nullptr);

    box->containerFlags = kContainerTransparent;
    EXPECT_EQ(box->OnLeftButton(250, 250, kPhaseDown), nullptr);
    EXPECT_EQ(box->HitTest(250, 250), nullptr);
    EXPECT_EQ(box->OnLeftButton(120, 120, kPhaseDown), child);

    box->containerFlags = kContainerDisabled;
    EXPECT_EQ(box->HitTest(120, 120), nullptr);
    EXPECT_EQ(box->OnLeftButton(120, 120, kPhaseDown), nullptr);
    EXPECT_EQ(box->OnWheel(1), nullptr);

    box->containerFlags = kContainerDisabled | kContainerModal;
    for (Primitive* answer : {box->HitTest(120, 120), box->HitTest(900, 900), box->OnLeftButton(900, 900, 2),
                              box->OnRightButton(120, 120, 2), box->OnWheel(0)})
        EXPECT_EQ(answer, box.get());
    // Offered twice while transparent, never while disabled.
    EXPECT_EQ(Events(), (std::vector<std::string>{"child:left2", "child:left2"}));
}

TEST_F(ContainerTest, ChildOutsideTheClipGetsClicksAndDrawsOnlyWhenUnclipped)
{
    std::unique_ptr<PrimContainer> box(MakeWindow("box", 100, 100, 200, 200));
    auto* free = (new Probe("free"))->At(300, 300, 50, 50); // 400..450, outside the box
    auto* clipped = (new Probe("clipped"))->At(300, 0, 50, 50);
    auto* inside = (new Probe("inside"))->At(0, 0, 50, 50);
    free->clipToParent = 0;
    box->AddChild(free);
    box->AddChild(clipped);
    box->AddChild(inside);

    EXPECT_EQ(box->OnLeftButton(420, 420, kPhaseDown), free);
    EXPECT_EQ(box->OnLeftButton(420, 120, kPhaseDown), nullptr); // clipped child outside the box

    GuiViewport outer{50, 50, 200, 200, 0.0f, 1.0f};
    SetDeviceViewport(&outer);
    box->Draw();
    // The box's viewport (100,100 201x201) met with the outer one; the free child full screen.
    EXPECT_EQ(inside->drawViewports, (std::vector<GuiViewport>{{100, 100, 150, 150, 0.0f, 1.0f}}));
    EXPECT_EQ(free->drawViewports, (std::vector<GuiViewport>{{0, 0, 1000, 1000, 0.0f, 1.0f}}));
    EXPECT_TRUE(clipped->drawViewports.empty());
    GuiViewport after;
    GetDeviceViewport(&after);
    EXPECT_EQ(after, outer);

    GuiViewport apart{600, 600, 10, 10, 0.0f, 1.0f};
    SetDeviceViewport(&apart);
    box->Draw();
    EXPECT_EQ(inside->drawViewports.size(), 1u);
}

TEST_F(ContainerTest, ClipViewportIsClampedToTheScreen)
{
    struct Case { float x, y, w, h; GuiViewport clip; };
    for (const Case& c : {Case{10.6f, 20.2f, 100, 50, {10, 20, 101, 50, 0, 1}},
                          Case{-50, -50, 100, 100, {0, 0, 50, 50, 0, 1}},
                          Case{950, 900, 100, 300, {950, 900, 50, 100, 0, 1}},
                          Case{1200, 10, 100, 100, {0, 10, 0, 100, 0, 1}},
                          Case{-300, 10, 100, 100, {0, 10, 0, 100, 0, 1}}}) {
        std::unique_ptr<PrimContainer> box(MakeWindow("box", c.x, c.y, c.w, c.h));
        EXPECT_EQ(box->ClipViewport(), c.clip) << c.x << "," << c.y;
    }
}

TEST_F(ContainerTest, ChildListOrderAddingAndRemoving)
{
    PrimContainer box;
    box.SetSize(100, 100);
    auto* a = new Probe("a");
    auto* b = new Probe("b");
    auto* c = new Probe("c");
    box.AddChild(a);
    box.AddChild(b);
    box.AddChild(c, false);
    EXPECT_EQ(Names(box), (std::vector<std::string>{"c", "a", "b"}));
    box.AddChild(a);
    EXPECT_EQ(Names(box), (std::vector<std::string>{"c", "b", "a"}));
    box.AddChildNear(a, c, true);
    EXPECT_EQ(Names(box), (std::vector<std::string>{"c", "a", "b"}));
    box.AddChildNear(b, c, false);
    EXPECT_EQ(Names(box), (std::vector<std::string>{"b", "c", "a"}));

    Probe stranger("stranger");
    stranger.deleteWhenClosed = 0;
    box.RemoveChild(&stranger, true); // not a child: nothing
    auto* lost = new Probe("lost");
    box.AddChildNear(lost, &stranger, false); // unknown reference: dropped
    EXPECT_EQ(Names(box), (std::vector<std::string>{"b", "c", "a"}));
    delete lost;

    // The front child is offered input first.
    a->At(0, 0, 50, 50);
    c->At(0, 0, 50, 50);
    EXPECT_EQ(box.HitTest(10, 10), c);
    box.InsertChild(a, false);
    EXPECT_EQ(box.OnLeftButton(10, 10, kPhaseDown), a);

    Probe::destroyed = 0;
    box.RemoveChild(c, true);
    EXPECT_EQ(Probe::destroyed, 1);
    EXPECT_EQ(Names(box), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ContainerTest, TabStopsAreNumberedAndWrap)
{
    PrimContainer box;
    EXPECT_EQ(box.NextTabStop(0), nullptr);
    std::vector<Probe*> stops;
    for (const char* n : {"one", "plain", "two", "three"}) {
        auto* probe = new Probe(n);
        probe->tabStop = std::string(n) != "plain";
        box.AddChild(probe);
        if (probe->tabStop)
            stops.push_back(probe);
    }
    EXPECT_EQ(stops[0]->tabNumber, 1);
    EXPECT_EQ(stops[2]->tabNumber, 3);
    EXPECT_EQ(box.NextTabStop(0), stops[0]);
    EXPECT_EQ(box.NextTabStop(1), stops[1]);
    EXPECT_EQ(box.NextTabStop(3), stops[0]);
}

// A child whose update removes and closes siblings.
class Saboteur : public Probe {
public:
    using Probe::Probe;
    void Update() override
    {
        Log("update");
        if (victim)
            static_cast<Container<Primitive>*>(parent)->RemoveChild(victim, true);
        if (toClose)
            toClose->Deactivate();
        victim = toClose = nullptr;
    }
    Primitive* victim = nullptr;
    Primitive* toClose = nullptr;
};

TEST_F(ContainerTest, UpdateTakesClosedChildrenOutSafely)
{
    PrimContainer box;
    auto* saboteur = new Saboteur("s");
    auto* victim = new Probe("victim");
    auto* kept = new Probe("kept");
    auto* hidden = new Probe("hidden");
    kept->deleteWhenClosed = 0;
    hidden->visible = 0;
    saboteur->victim = victim;
    saboteur->toClose = kept;
    for (Primitive* child : std::initializer_list<Primitive*>{saboteur, victim, kept, hidden})
        box.AddChild(child);

    Probe::destroyed = 0;
    box.Update(); // the victim is deleted and the closed child taken out during the walk
    EXPECT_EQ(Probe::destroyed, 1);
    EXPECT_EQ(Names(box), (std::vector<std::string>{"s", "hidden"}));
    box.Update();
    EXPECT_TRUE(kept->visible && kept->highlight && kept->active);
    EXPECT_EQ(Events(), (std::vector<std::string>{"s:update", "s:update"}));
    box.AddChild(kept);
    EXPECT_EQ(Names(box), (std::vector<std::string>{"s", "hidden", "kept"}));
    kept->deleteWhenClosed = 1;
}

TEST_F(ContainerTest, FindChildAndTheChildReaders)
{
    PrimContainer box;
    auto* inner = new PrimContainer;
    inner->name = "inner";
    auto* deep = new Probe("field");
    deep->text = "deep";
    auto* closed = new Probe("closed");
    closed->active = 0;
    auto* later = new Probe("field");
    later->text = "later";
    box.AddChild(closed);
    box.AddChild(inner);
    inner->AddChild(deep);
    box.AddChild(later);
    EXPECT_EQ(box.FindChild("field"), deep); // depth first
    EXPECT_EQ(box.FindChild("closed"), nullptr);
    EXPECT_EQ(box.FindChild("inner"), inner);
    EXPECT_EQ(box.GetChildText("field"), "deep");
    EXPECT_EQ(box.GetChildText("missing"), ""); // not the text of the previous call

    std::string text = "deep";
    EXPECT_FALSE(box.ReadChildText("field", false, text)); // unchanged
    deep->text = "new";
    EXPECT_FALSE(box.ReadChildText("field", true, text)); // not pressed
    deep->pressed = 1;
    EXPECT_TRUE(box.ReadChildText("field", true, text));
    EXPECT_EQ(text, "new");
    EXPECT_TRUE(box.GetPressed());
    box.ClearPressed();
    EXPECT_FALSE(deep->pressed);

    float value = 0.0f;
    deep->value = 12.0f;
    EXPECT_TRUE(box.ReadChildFloat("field", -1.0f, 0.0f, false, value));
    EXPECT_EQ(value, 12.0f);
    deep->value = 50.0f;
    EXPECT_TRUE(box.ReadChildFloat("field", 0.0f, 20.0f, false, value));
    EXPECT_EQ(value, 20.0f);
    EXPECT_FALSE(box.ReadChildFloat("missing", -1.0f, 0.0f, false, value));

    box.SetFlag(128, 1);
    EXPECT_EQ(deep->alpha, 128);
    EXPECT_EQ(box.CopyChildList().size(), 3u);
}

TEST_F(ContainerTest, SizeIsTheChildrenBoundingBoxPlusMargins)
{
    std::unique_ptr<PrimContainer> box(MakeWindow("box", 100, 100, 10, 10));
    box->AddChild((new Probe("a"))->At(10, 20, 100, 50));
    box->AddChild((new Probe("b"))->At(50, 5, 20, 200));
    auto* excluded = (new Probe("x"))->At(0, 0, 900, 900);
    excluded->excludeFromBounds = 1;
    box->AddChild(excluded);
    box->SetMargins(5, 5, 7, 9);
    float w = 0, h = 0;
    EXPECT_TRUE(box->GetSize(&w, &h));
    EXPECT_FLOAT_EQ(w, 117.0f);
    EXPECT_FLOAT_EQ(h, 214.0f);
    box->AdjustSize(1, 3.0f, 0.0f);
    EXPECT_FLOAT_EQ(box->rect.right - box->rect.left, 120.0f);
    EXPECT_FLOAT_EQ(box->rect.bottom - box->rect.top, 10.0f);
}

// The scroll bar seam: records what the container asks of its bar.
class FakeScrollBar : public Primitive, public IScrollDelegate {
public:
    void SetScrollRange(int count, int page) override { range = count; pageSize = page; }
    void SetScrollPosition(int pos, bool notify) override
    {
        const bool changed = pos != position;
        position = pos;
        if (changed && notify && onChange)
            onChange(position);
    }
    int GetScrollPosition() const override { return position; }
    void SetScrollCallback(std::function<void(int)> callback) override { onChange = std::move(callback); }
    int range = 0, pageSize = 0, position = 0;
    std::function<void(int)> onChange;
};

class ScrollingBox : public PrimContainer {
public:
    std::unique_ptr<Primitive> CreateScrollBar() override
    {
        ++created;
        if (failCreation)
            return nullptr;
        return std::make_unique<FakeScrollBar>();
    }
    FakeScrollBar* Bar() const { return static_cast<FakeScrollBar*>(InputDelegate()); }
    int created = 0;
    bool failCreation = false;
};

TEST_F(ContainerTest, AutomaticScrollBarComesAndGoesWithTheContent)
{
    ScrollingBox box;
    box.containerFlags = kContainerAutoScroll;
    box.SetPosition(100, 100);
    auto* row = (new Probe("row"))->At(0, 50, 10, 10);
    box.AddChild(row);
    box.SetContentHeight(500.0f);
    box.failCreation = true;
    box.SetSize(200, 199); // height 200 with the rule's +1
    EXPECT_EQ(box.InputDelegate(), nullptr);
    box.failCreation = false;
    box.UpdateAbsolutePosition(); // tried again
    ASSERT_NE(box.Bar(), nullptr);
    EXPECT_EQ(box.created, 2);
    EXPECT_EQ(box.Bar()->range, 500);
    EXPECT_EQ(box.Bar()->pageSize, 200);
    EXPECT_EQ(box.Bar()->rect.right, box.rect.right);
    EXPECT_EQ(box.Bar()->rect.top, box.rect.top);

    box.Bar()->SetScrollPosition(120, true);
    EXPECT_FLOAT_EQ(box.scrollY, 120.0f);
    EXPECT_FLOAT_EQ(row->rect.top, 100.0f + 50.0f - 120.0f);

    box.SetContentHeight(150.0f);
    box.UpdateAbsolutePosition();
    EXPECT_EQ(box.InputDelegate(), nullptr);
    EXPECT_FLOAT_EQ(box.scrollY, 0.0f);
    EXPECT_FLOAT_EQ(row->rect.top, 150.0f);
    EXPECT_EQ(box.created, 2);
}

TEST_F(ContainerTest, ModalContainerRegistersItselfOnUpdate)
{
    auto* dialog = MakeWindow("dialog", 0, 0, 10, 10);
    dialog->containerFlags = kContainerModal | kContainerModalBlocks;
    OpenWindow(dialog, true);
    dialog->Update();
    EXPECT_EQ(GetModalWindow(), dialog);
    EXPECT_TRUE(IsModalActive());
    delete dialog; // the routing forgets it
    EXPECT_EQ(GetModalWindow(), nullptr);
    EXPECT_FALSE(IsModalActive());
    EXPECT_TRUE(OpenWindows().empty());
}

} // namespace
