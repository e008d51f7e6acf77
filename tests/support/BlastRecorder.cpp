#include "tests/support/BlastRecorder.h"

#include "modes/CorralTheFlimbMode.h"
#include "modes/ModeServices.h"

#include <memory>

namespace {

class BlastRecorder : public CorralTheFlimbMode {
public:
    explicit BlastRecorder(std::vector<RecordedBlast>& blasts) : blasts_(blasts) {}
    void OnBlast(int32_t sourceFlimbId, float x, float y, int kind) override
    {
        blasts_.push_back({sourceFlimbId, x, y, kind});
    }

private:
    std::vector<RecordedBlast>& blasts_;
};

} // namespace

void InstallBlastRecorder(std::vector<RecordedBlast>& blasts)
{
    SetCurrentGameMode(std::make_unique<BlastRecorder>(blasts));
}
