#pragma once
// What the manned devices share (the freezer turret, the hover platform and the goo gun):
// the flimb that mans or carries the device, the small GUI panel through which the game
// view hands the device its keys and mouse presses, boarding through the map of touched
// objects, and the requests that carry every control to the game session as a trap state,
// so that every game changes the device at the same stamped update.
//
// The panel is a child of the game's landscape panel while the game (not the editor) runs;
// the landscape never deletes it: the trap owns it and takes it out again when it goes.
#include "platform/input/ScanCodes.h"
#include "traps/Trap.h"

#include <functional>
#include <memory>

class DevicePanel;
class IInputDevice;

// Scan codes of the device keys.
enum DeviceKey : int {
    kDeviceKeyUp = kKeyUp,
    kDeviceKeyLeft = kKeyLeft,
    kDeviceKeyRight = kKeyRight,
    kDeviceKeyDown = kKeyDown,
    kDeviceKeyNumpad0 = kKeyNumpad0,
};
// Key actions as the GUI hands them over. The keyboard reports a press as its button-down
// value (0x80): every value but a release's 0 and a repeat's 2 is a press.
enum DeviceKeyAction : int { kKeyReleased = 0, kKeyPressed = 1, kKeyRepeated = 2 };
constexpr bool IsKeyPress(int action)
{
    return action != kKeyReleased && action != kKeyRepeated;
}

class MannedDevice : public Trap {
public:
    // A flimb that left the boarding area boards again only after it has been outside it
    // for more than this many updates.
    static constexpr uint32_t kReboardDelay = 4;

    // ridden: the flimb rides the device and is let go (type 10) when the device goes; a
    // carried device (the goo gun) leaves its carrier as it is.
    MannedDevice(int32_t kind, bool ridden);
    // Takes the panel out of the landscape; a rider still on board is let go.
    ~MannedDevice() override;

    Primitive* GuiPart() override;
    // A copy (a snapshot) shares the rider but never lets it go when it is destroyed, and
    // takes no input: its panel leaves the landscape.
    void ResetRuntime() override;
    // A flimb leaving the world: forgets its touch and, when it is the rider, the rider.
    void ForgetObject(Flimb* flimb) override;

    // The panel's input; true when the device took the event. Mouse points are screen
    // pixels, phases those of the GUI's button events.
    virtual bool OnDeviceKey(int action, int code, IInputDevice& device);
    virtual bool OnDeviceMouse(int x, int y, int phase);

    // Whether the key of the code on the device is bound to the action ("TrapAction",
    // "TrapExit") as its primary or secondary key.
    static bool KeyBoundTo(const char* action, int code, const IInputDevice& device);

    Flimb* rider = nullptr; // not owned; the carrier of the goo gun

protected:
    // One boarding walk over the live flimbs inside the base bounds shrunk by the insets:
    // a flimb already touched is touched again and skipped, a flimb riding a device (type
    // 20) is skipped, and the first one the kind admits boards: the rider, type 20 with
    // animation set 3, placed on the device's rounded position, event 0, touched now.
    // Answers it (null when none boarded). The caller expires the touches afterwards.
    Flimb* BoardFirst(int32_t insetX, int32_t insetY, const std::function<bool(const Flimb&)>& admits);
    // The rider can take orders from this machine: bit value 2 of its flags set and the
    // local player's selected flimb (with byGroup: the local player's group).
    bool RiderTakesLocalOrders(bool byGroup) const;
    // The device's whole state to the game session, stamped for every game.
    void SendState(uint8_t activate, int32_t flimbId) const;
    // Puts the rider on a point: its position and the point its type handler holds it to.
    static void PlaceRider(Flimb& flimb, int32_t px, int32_t py);

private:
    void LeaveLandscape();

    std::unique_ptr<DevicePanel> panel_;
    bool ridden_ = true;
    bool copy_ = false;
};
