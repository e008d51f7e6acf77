#include "tests/support/RecordingRescueMode.h"

#include "app/StringUtil.h"
#include "modes/CorralTheFlimbMode.h"
#include "modes/ModeServices.h"

#include <memory>

namespace {

class RecordingMode : public CorralTheFlimbMode {
public:
    explicit RecordingMode(std::vector<std::string>& journal) : journal_(journal) {}

    void OnFlimbExited(int32_t flimbId, int32_t exitTrapId) override
    {
        journal_.push_back("saved " + std::to_string(flimbId) + " " + std::to_string(exitTrapId));
        CorralTheFlimbMode::OnFlimbExited(flimbId, exitTrapId);
    }
    void SetResult(int32_t code, int32_t group) override
    {
        journal_.push_back("result " + std::to_string(code) + " " + std::to_string(group));
        CorralTheFlimbMode::SetResult(code, group);
    }
    void OnFlimbCreated(int32_t flimbId) override
    {
        journal_.push_back("created " + std::to_string(flimbId));
        CorralTheFlimbMode::OnFlimbCreated(flimbId);
    }
    uint32_t NextFlimbId(int local, int group, int origin, int count) override
    {
        journal_.push_back(StringPrintf("next-id %d %d %d %d", local, group, origin, count));
        return CorralTheFlimbMode::NextFlimbId(local, group, origin, count);
    }

private:
    std::vector<std::string>& journal_;
};

} // namespace

void InstallRecordingRescueMode(std::vector<std::string>& journal)
{
    SetCurrentGameMode(std::make_unique<RecordingMode>(journal));
}
