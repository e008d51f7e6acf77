// The landscape's debugging reports: the symmetry check and the block dump.
#include "world/Landscape.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "game/GameServices.h"

namespace {

constexpr uint32_t kReportColour = 0xFF0AFF0Au;

} // namespace

std::vector<std::string> Landscape::SymmetryReport() const
{
    // A border of three pixels is ignored: 2 < coordinate < size - 3.
    const int w = Width(), h = Height();
    std::vector<std::string> lines;
    auto inside = [&](int x, int y) { return x > 2 && x < w - 3 && y > 2 && y < h - 3; };
    auto firstMismatch = [&](auto&& mirror, auto&& report) {
        for (int x = 3; x < w - 3; ++x) {
            for (int y = 3; y < h - 3; ++y) {
                int mx = 0, my = 0;
                if (!mirror(x, y, mx, my) || !inside(mx, my))
                    continue;
                const int a = HitTestPoint(x, y), b = HitTestPoint(mx, my);
                if (a != b) {
                    lines.push_back(report(x, y, a, mx, my, b));
                    return;
                }
            }
        }
    };
    if (w == h) {
        firstMismatch([](int x, int y, int& mx, int& my) { mx = y; my = x; return x > y; },
                      [](int x, int y, int, int, int, int) { return StringPrintf("Y=-X error (%d,%d)", x, y); });
        firstMismatch(
            [w](int x, int y, int& mx, int& my) {
                mx = w - 1 - y;
                my = w - 1 - x;
                return x + y < w - 1;
            },
            [](int x, int y, int, int, int, int) { return StringPrintf("Y=X error (%d,%d)", x, y); });
    }
    firstMismatch(
        [w](int x, int y, int& mx, int& my) {
            mx = w - x - 1;
            my = y;
            return x < w / 2;
        },
        [](int x, int y, int a, int mx, int my, int b) {
            return StringPrintf("Horizontal error (%d,%d)=%d (%d,%d)=%d", x, y, a, mx, my, b);
        });
    firstMismatch(
        [h](int x, int y, int& mx, int& my) {
            mx = x;
            my = h - y - 1;
            return y < h / 2;
        },
        [](int x, int y, int a, int mx, int my, int b) {
            return StringPrintf("Vertical error (%d,%d)=%d (%d,%d)=%d", x, y, a, mx, my, b);
        });
    lines.push_back("Check complete");
    return lines;
}

void Landscape::CheckSymmetry() const
{
    for (const std::string& line : SymmetryReport())
        PostChatLine(line, kReportColour);
}

void Landscape::DumpBlock(int n) const
{
    const int k = Width() / kTileSize;
    if (k <= 0) {
        WriteLog("dumpblock: the landscape is narrower than one tile\n");
        return;
    }
    if (n < 0) {
        WriteLog("dumpblock: no block %d\n", n);
        return;
    }
    const int column = n / k, row = n % k;
    const uint8_t* map = column < kMaxTilesPerAxis && row < kMaxTilesPerAxis ? MaterialMap(TileSlot(column, row))
                                                                              : nullptr;
    if (!map) {
        WriteLog("dumpblock: block %d (%d,%d) has no terrain\n", n, column, row);
        return;
    }
    for (int x = 0; x < kTileSize; ++x)
        for (int y = 0; y < kTileSize; ++y)
            WriteLog("Block (%d,%d) : [%d,%d] = %d\n", column, row, x, y, map[MaterialIndex(x, y)]);
}
