#include "frontend/options/ResolutionList.h"

#include "app/StringUtil.h"

#include <algorithm>
#include <cmath>
#include <numeric>

ResolutionList BuildResolutionList(const std::vector<platform::DisplayModeInfo>& modes, platform::DisplaySize desktop,
                                   platform::DisplaySize current)
{
    ResolutionList list;
    const double desktopRatio = desktop.height > 0 ? double(desktop.width) / double(desktop.height) : 0.0;
    std::vector<platform::DisplaySize> sizes;
    for (size_t index = 0; index < modes.size(); ++index) {
        const platform::DisplayModeInfo& mode = modes[index];
        if (mode.bitsPerPixel != 32 || mode.height < 480 || int64_t(mode.width) * 3 < int64_t(mode.height) * 4)
            continue;
        int numerator = mode.width, denominator = mode.height;
        const int divisor = std::gcd(numerator, denominator);
        if (divisor > 1)
            numerator /= divisor, denominator /= divisor;
        if (numerator == 8 && denominator == 5)
            numerator = 16, denominator = 10;
        const double ratio = double(mode.width) / double(mode.height);
        std::string caption = StringPrintf("%dx%d %d:%d", mode.width, mode.height, numerator, denominator);
        if (std::fabs(ratio - desktopRatio) < 0.01)
            caption += " **";
        const bool listed = std::any_of(list.entries.begin(), list.entries.end(),
                                        [&](const ResolutionEntry& entry) { return entry.caption == caption; });
        if (listed)
            continue;
        list.entries.push_back({caption, int(index)});
        sizes.push_back({mode.width, mode.height});
    }
    if (list.entries.empty()) {
        list.entries.push_back({"1024x768", -1});
        list.selected = 0;
        return list;
    }
    const auto found = std::find(sizes.begin(), sizes.end(), current);
    list.selected = found == sizes.end() ? 0 : int(found - sizes.begin());
    return list;
}

bool ResolutionOfEntry(int data, const std::vector<platform::DisplayModeInfo>& modes, platform::DisplaySize& size)
{
    if (data == -1) {
        size = {1024, 768};
        return true;
    }
    if (data < 0 || size_t(data) >= modes.size())
        return false;
    size = {modes[size_t(data)].width, modes[size_t(data)].height};
    return true;
}
