#include "tests/support/TrapHarness.h"
#include "tests/support/RecordingRescueMode.h"
#include "tests/support/RecordingTrap.h"

#include "app/GameException.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "world/Flimb.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <fstream>
#include <sstream>

namespace {

std::string ReadSource(const std::string& relative)
{
    std::ifstream in(std::string(FLIMBS_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

void TrapHarness::SetUp()
{
    FlimbFixture::SetUp();
    if (HasFatalFailure())
        return;
    LoadTrapSpecs();
    SetLevelDefaultsDocument(ReadSource("data/game/Level/level_defaults.xml"));
    log = std::make_unique<LogCapture>();
    session = std::make_unique<SessionRecorder>();
    world_->AddLocalPlayer();
    InstallRecordingRescueMode(mode);
    ResetExitsFilled();
    SetEffectAtObserver(
        [](int id, int32_t x, int32_t y, void* context) {
            auto* self = static_cast<TrapHarness*>(context);
            self->sounds.push_back(StringPrintf("%d at %d,%d", id, x, y));
            self->skipNextListenerEffect_ = true;
        },
        this);
    soundManager.SetEffectObserver([this](int id, float volume, bool, float, float) {
        if (skipNextListenerEffect_) {
            skipNextListenerEffect_ = false;
            return;
        }
        sounds.push_back(StringPrintf("%d vol %.2f", id, volume));
    });
}

void TrapHarness::TearDown()
{
    ResetFlimbTypeHandlers();
    soundManager.SetEffectObserver(nullptr);
    SetEffectAtObserver(nullptr, nullptr);
    ClearCurrentGameMode();
    DeleteAllTraps();
    session.reset();
    log.reset();
    UnloadTraps();
    FlimbFixture::TearDown();
}

Trap* TrapHarness::AddTrap(int32_t kind, float x, float y)
{
    std::unique_ptr<Trap> trap = Trap::Create(kind);
    if (!trap)
        return nullptr;
    trap->x = x;
    trap->y = y;
    Trap* raw = trap.get();
    RegisterTrap(std::move(trap));
    return raw;
}

Trap* TrapHarness::AddTrapXml(const std::string& element, int32_t loadMode)
{
    XmlDocument doc = XmlParseBuffer(element.data(), element.size(), "trap");
    if (!doc) {
        ADD_FAILURE() << "not XML: " << element;
        return nullptr;
    }
    xmlNode* type = XmlGetChild(XmlChildren(XmlRoot(doc.get())), "type");
    std::unique_ptr<Trap> trap = Trap::Create(Trap::KindFromName(type ? XmlNodeText(type).c_str() : ""));
    if (!trap) {
        ADD_FAILURE() << "no trap kind in " << element;
        return nullptr;
    }
    trap->ResetToStart(loadMode);
    try {
        trap->Load(XmlRoot(doc.get()), Defaults(), kTrapLoadAll);
    } catch (const GameException& e) {
        ADD_FAILURE() << "load failed: " << e.what();
        return nullptr;
    }
    Trap* raw = trap.get();
    RegisterTrap(std::move(trap));
    return raw;
}

void TrapHarness::LoadInto(Trap& trap, const std::string& element, int32_t mode)
{
    XmlDocument doc = XmlParseBuffer(element.data(), element.size(), "trap");
    ASSERT_TRUE(doc) << element;
    trap.Load(XmlRoot(doc.get()), Defaults(), mode);
}

std::string TrapHarness::SaveText(const Trap& trap)
{
    XmlDocument doc = XmlNewDocument("trap");
    trap.Save(XmlRoot(doc.get()));
    return XmlDocumentText(doc.get());
}

xmlNode* TrapHarness::Defaults()
{
    return LevelDefaultsElement("traps", "trap");
}

void TrapHarness::Listen(Trap& source, uint32_t eventId)
{
    // A kind the world never updates on its own (Sound): the listener only takes activations.
    auto listener = std::make_unique<RecordingTrap>(42, listenerCalls_);
    const std::string note = std::to_string(source.id) + ":" + std::to_string(eventId);
    listener->onActivate = [this, note](RecordingTrap&) { events.push_back(note); };
    Trap* raw = listener.get();
    RegisterTrap(std::move(listener));
    source.SetLink({eventId, raw->id});
}

void TrapHarness::HoldFlimbsStill()
{
    for (int type = 0; type < kFlimbTypeCount; ++type)
        SetFlimbTypeHandler(static_cast<uint8_t>(type), [](Flimb&) {});
}

std::vector<std::string> TrapHarness::Messages()
{
    std::vector<std::string> lines;
    for (const MessageLog::Entry& entry : Controller().messages.Entries())
        lines.push_back(std::to_string(entry.sender) + ": " + entry.text);
    return lines;
}

uint64_t TrapHarness::Hash() const
{
    return WorldStateHash();
}

int TrapHarness::FlimbCount()
{
    int count = 0;
    for (Flimb& flimb : World())
        count += flimb.IsFree() ? 0 : 1;
    return count;
}
