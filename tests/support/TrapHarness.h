#pragma once
// The trap test harness, shared by every trap kind's tests: the flimb fixture (ASCII-map
// terrain on the game's landscape, the game's flimb and trap art, a fresh world, placed
// flimbs, N world updates, the state hash) plus the shipped trap specs and level defaults,
// and recorders for what a trap sends out of the world:
//   sounds    every effect played: "33 at 100,150" (PlayEffectAt with its world point) or
//             "12 vol 1.00" (played at the listener), in order;
//   mode      the game mode's operations (a recording rescue mode is current): "next-id
//             <local> <group> <origin> <count>", "created <id>", "saved <flimb> <exit>",
//             "result <code> <group>";
//   session   the requests sent to the game session (SessionRecorder's lines);
//   Messages  the lines of the controller's message log ("<sender>: <text>");
//   log       every log line;
//   events    the events traps fired at listeners (Listen): "<source id>:<event id>", in the
//             order they were delivered.
// Traps are made by the factory (so each kind's registered class), placed or loaded from
// XML against the shipped "Level\level_defaults.xml", and handed to the world.
#include "tests/support/FlimbFixture.h"
#include "tests/support/LogCapture.h"
#include "tests/support/SessionRecorder.h"

#include "traps/Trap.h"

#include <memory>
#include <string>
#include <vector>

class TrapHarness : public FlimbFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // A trap of the kind from the factory at (x, y), registered; null for a kind without one.
    Trap* AddTrap(int32_t kind, float x, float y);
    template <class Kind>
    Kind* Add(int32_t kind, float x, float y)
    {
        return dynamic_cast<Kind*>(AddTrap(kind, x, y));
    }
    // A trap made from a "trap" element's text (its "type" names the kind), loaded as the
    // level reader loads it (load mode, then Load against the shipped defaults), registered.
    // Null, with a test failure, when the kind is unknown or the load throws.
    Trap* AddTrapXml(const std::string& element, int32_t loadMode = 0);
    // Loads the element's text into a trap (mode word 127 or 2) against the shipped defaults;
    // rethrows what Load throws.
    static void LoadInto(Trap& trap, const std::string& element, int32_t mode = kTrapLoadAll);
    // The trap's Save output under a "trap" element, as text.
    static std::string SaveText(const Trap& trap);
    // The shipped defaults' one "trap" element.
    static xmlNode* Defaults();

    // A placed flimb (a walker unless told otherwise) of the group and gravity.
    Flimb* PlaceAt(int x, int y, uint8_t group = 0, uint8_t gravity = 0, uint8_t type = kWalk)
    {
        return Place(x, y, type, group, gravity);
    }

    // Links the trap's event to a listener trap of its own that notes each delivery in events.
    void Listen(Trap& source, uint32_t eventId);
    // Every flimb type's handler does nothing until TearDown: placed flimbs stay where they
    // are put (tests move them by hand).
    static void HoldFlimbsStill();

    // The message log's lines as "<sender>: <text>".
    static std::vector<std::string> Messages();
    uint64_t Hash() const;
    // The flimb records in use.
    static int FlimbCount();

    std::vector<std::string> sounds;
    std::vector<std::string> mode;
    std::vector<std::string> events;
    std::unique_ptr<SessionRecorder> session;
    std::unique_ptr<LogCapture> log;

private:
    bool skipNextListenerEffect_ = false;
    std::vector<std::string> listenerCalls_;
};
