// Picking flimbs on the landscape: the two classes and the faller rule, the walking-
// direction filters, the orders of a held action key, and the requests a click and the
// debugging tools send (read from the recorded session queue).
#include "app/KeyBindings.h"
#include "app/GameClock.h"
#include "tests/support/ScopedConsoleInt.h"
#include "tests/support/SessionRecorder.h"
#include "tests/support/ViewFixture.h"
#include "world/FlimbTable.h"
#include "world/WorldState.h"

#include <algorithm>

namespace {

class PickingTest : public ViewFixture {
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        MakeLand(2000, 1000);
        Controller().runState = kRunRunning;
        for (GroupEntry& group : Controller().groups)
            group.uses.fill(kUnlimitedUses);
    }
    void TearDown() override
    {
        if (BindingEntry* clob = GetBindingStore().FindByName("Clob"))
            clob->keyNames[0].clear();
        ViewFixture::TearDown();
    }
    Flimb* Place(int x, int y, uint8_t type, uint8_t group = 0)
    {
        return AddFlimb(int16_t(x), int16_t(y), int16_t(nextId_++), group, type, 0, kFlimbStartEnergy, 0, 1);
    }
    // Binds the Clob order to the C key and holds it.
    void HoldClobKey()
    {
        if (!GetBindingStore().FindByName("Clob"))
            GetBindingStore().Build({{"Clob"}});
        GetBindingStore().FindByName("Clob")->keyNames[0] = "C";
        Key(true, SDL_SCANCODE_C, SDLK_c);
    }
    bool Sent(const std::string& line) const
    {
        return std::find(recorder_.requests.begin(), recorder_.requests.end(), line) != recorder_.requests.end();
    }

    SessionRecorder recorder_;
    int nextId_ = 1;
};

TEST_F(PickingTest, TheTwoClassesAndTheFallerRuleDecideThePick)
{
    struct Case {
        const char* what;
        uint8_t firstType, secondType;
        int firstX, secondX;
        int clickX;
        int expected; // 0 the first placed, 1 the second
    };
    const Case cases[] = {
        {"a digger beats a walker at the same distance", kWalk, kDrill, 100, 120, 110, 1},
        {"the same the other way round", kDrill, kWalk, 100, 120, 110, 0},
        {"a nearer walker still loses to a digger", kWalk, kDrill, 100, 112, 100, 1},
        {"a digger beats a nearer faller", kFall, kDrill, 100, 112, 100, 1},
        {"whichever comes first", kDrill, kFall, 112, 100, 100, 0},
        {"between two walkers the nearer", kWalk, kWalk, 100, 112, 103, 0},
        {"on a tie the later one", kDrill, kDrill, 100, 120, 110, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearWorldFlimbs(World());
        Flimb* first = Place(c.firstX, 500, c.firstType);
        Flimb* second = Place(c.secondX, 500, c.secondType);
        Land().SelectFlimbAt(false, c.clickX, 476);
        EXPECT_EQ(World().selected, c.expected == 0 ? first : second);
        EXPECT_EQ(Land().pickCandidates.size(), 2u);
    }
}

TEST_F(PickingTest, ASelectionSendsHighlightsAndATeamChangeForAnotherGroup)
{
    PlayerRecord& local = world_->AddLocalPlayer();
    local.id = 3;
    local.team = 0;
    Flimb* own = Place(100, 500, kWalk, 0);
    Flimb* other = Place(400, 500, kWalk, 2);
    Land().SelectFlimbAt(false, 100, 476);
    EXPECT_EQ(recorder_.requests, (std::vector<std::string>{"highlight 1"}));
    Land().SelectFlimbAt(false, 400, 476);
    EXPECT_EQ(World().selected, other);
    EXPECT_EQ(recorder_.requests,
              (std::vector<std::string>{"highlight 1", "highlight 1", "team 2", "highlight 2"}));
    // A miss drops the selection and tells the server the old one is no longer highlighted.
    recorder_.requests.clear();
    Land().SelectFlimbAt(false, 1500, 100);
    EXPECT_EQ(World().selected, nullptr);
    EXPECT_EQ(recorder_.requests, (std::vector<std::string>{"highlight 2"}));
    (void)own;
}

TEST_F(PickingTest, AOnePickDirectionFilterIsClearedByAMiss)
{
    Flimb* left = Place(100, 500, kWalk);
    left->walkSpeed = -3;
    Flimb* right = Place(104, 500, kWalk);
    right->walkSpeed = 3;
    World().selectRequests = {1, 0}; // left walkers, for one pick
    Land().SelectFlimbAt(false, 104, 476);
    EXPECT_EQ(World().selected, left) << "the right walker is filtered out";
    World().selectRequests = {0, 2};
    Land().SelectFlimbAt(false, 100, 476);
    EXPECT_EQ(World().selected, right);
    World().selectRequests = {1, 0};
    Land().SelectFlimbAt(false, 1500, 100);
    EXPECT_EQ(World().selectRequests, (std::array<uint8_t, 2>{0, 0})) << "a miss clears a one-pick filter";
    World().selectRequests = {0, 2};
    Land().SelectFlimbAt(false, 1500, 100);
    EXPECT_EQ(World().selectRequests, (std::array<uint8_t, 2>{0, 2})) << "a held filter stays";
}

TEST_F(PickingTest, AHeldActionKeyOrdersOnTheFirstPickAndAfter251Ms)
{
    Flimb* a = Place(100, 500, kWalk);
    Flimb* b = Place(400, 500, kWalk);
    HoldClobKey();
    Land().SelectFlimbAt(false, 100, 476);
    EXPECT_TRUE(Sent("type 1 0 255 0")) << "the first selection orders at once";
    recorder_.requests.clear();

    // A change of selection orders only 251 ms or more after the action key's stamp.
    World().actionKeyStamp = 0;
    Land().SelectFlimbAt(false, 400, 476);
    EXPECT_FALSE(Sent("type 2 0 255 0")) << "no stamp: no order";
    World().actionKeyStamp = gameClock.Now();
    ViewNow() += 250;
    Land().SelectFlimbAt(false, 100, 476);
    EXPECT_FALSE(Sent("type 1 0 255 0")) << "250 ms: too soon";
    ViewNow() += 1;
    Land().SelectFlimbAt(false, 400, 476);
    EXPECT_TRUE(Sent("type 2 0 255 0")) << "251 ms";
    recorder_.requests.clear();
    Controller().runState = kRunPaused;
    {
        ScopedConsoleInt debug("debug_mode", 1); // picking while paused needs the debug switch
        ViewNow() += 1000;
        Land().SelectFlimbAt(false, 100, 476);
        EXPECT_EQ(World().selected, a);
        EXPECT_FALSE(Sent("type 1 0 255 0")) << "no orders while paused";
    }
    Land().SelectFlimbAt(false, 400, 476);
    EXPECT_EQ(World().selected, a) << "paused without the debug switch: no picking";
    Controller().runState = kRunRunning;
    Controller().playbackRunning = 1;
    Land().SelectFlimbAt(false, 400, 476);
    EXPECT_EQ(World().selected, a) << "nor during a playback";
    (void)b;
    Key(false, SDL_SCANCODE_C, SDLK_c);
}

TEST_F(PickingTest, ClicksAndTheDigToolThroughTheGameView)
{
    GameViewPort& view = MakeView();
    view.PanTo(640, 360, -1, false);
    Step(view, 10); // world = screen at normal zoom
    Flimb* flimb = Place(300, 500, kWalk);
    EXPECT_EQ(view.OnLeftButton(300, 476, kPhaseDown), &view);
    EXPECT_EQ(World().selected, flimb);
    // The debugging tools act while the button is held.
    ScopedConsoleInt debug("debug_mode", 1);
    Key(true, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT);
    view.OnLeftButton(10, 20, kPhaseHeld);
    EXPECT_TRUE(Land().statusTextShown);
    EXPECT_EQ(Land().statusText.rfind("(10,20) = 0\n", 0), 0u) << Land().statusText;
    Key(false, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT);
    view.OnLeftButton(10, 20, kPhaseUp);
    EXPECT_FALSE(Land().statusTextShown);
    Key(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL);
    view.OnLeftButton(50, 60, kPhaseHeld);
    EXPECT_TRUE(Sent("newflimb 1 50 60"));
    {
        ScopedConsoleInt dig("brush", 1);
        view.OnLeftButton(70, 80, kPhaseHeld);
        EXPECT_TRUE(Sent("bash Graphics\\HUD\\MiniMap\\mini_end.png 1.0 1.0 1 fffe0ce3 ffffffff 0.0 0 70 80"));
        // Ctrl + right button digs at once in a local game (a 20 x 20 stand-in for mask 12)...
        BashMaskPtr block = AllocateBashMask(20, 20);
        for (int y = 0; y < 20; ++y)
            std::fill(block->Row(y), block->Row(y) + 20, 0xFFFFFFFFu);
        ASSERT_TRUE(Land().SetPredefinedMask(12, 2, 0, 0, std::move(block)));
        Land().SetPixel(1, true, 0xFF886B0B, 100, 100, 150, 150);
        view.OnRightButton(120, 120, kPhaseHeld);
        EXPECT_EQ(Land().HitTestPoint(120, 120), 0) << "dug at once";
        // ...and asks the server in a networked one.
        Controller().sessionKind = kSessionNetworked;
        recorder_.requests.clear();
        view.OnRightButton(145, 145, kPhaseHeld);
        EXPECT_EQ(Land().HitTestPoint(145, 145), 1) << "nothing changes before the server says so";
        EXPECT_TRUE(Sent("bash Graphics\\HUD\\MiniMap\\mini_end.png 1.0 1.0 0 ffffffff ff808080 0.0 0 145 145"));
        Key(false, SDL_SCANCODE_LCTRL, SDLK_LCTRL);
        view.OnRightButton(90, 90, kPhaseHeld);
        EXPECT_TRUE(Sent("bash Graphics\\HUD\\MiniMap\\mini_end.png 1.0 1.0 0 ffffffff ff808080 0.0 0 90 90"));
    }
    // Spectators and the level editor leave the terrain alone.
    world_->AddLocalPlayer().spectator = 1;
    World().selected = nullptr;
    view.OnLeftButton(300, 476, kPhaseDown);
    EXPECT_EQ(World().selected, nullptr);
}

TEST_F(PickingTest, WithoutASessionNothingIsSent)
{
    SetGameClientRequests(nullptr);
    Place(100, 500, kWalk);
    Land().SelectFlimbAt(false, 100, 476);
    EXPECT_NE(World().selected, nullptr);
    SetGameClientRequests(&recorder_);
    EXPECT_TRUE(recorder_.requests.empty());
}

} // namespace
