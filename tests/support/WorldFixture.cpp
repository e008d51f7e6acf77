#include "WorldFixture.h"

#include <algorithm>

int AsciiMaterial(char c)
{
    if (c == '.')
        return 0;
    if (c == '#')
        return 2;
    if (c >= '1' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'v')
        return 10 + (c - 'a');
    return -1;
}

char AsciiChar(int material)
{
    if (material == 0)
        return '.';
    if (material == 2)
        return '#';
    if (material >= 1 && material <= 9)
        return static_cast<char>('0' + material);
    if (material >= 10 && material <= 31)
        return static_cast<char>('a' + material - 10);
    return '?';
}

uint32_t AsciiColour(int material)
{
    return material == 0 ? 0u : 0xFF000000u | (static_cast<uint32_t>(material) << 16) | 0x4040u;
}

bool PaintAscii(TileStore& land, int x, int y, const AsciiMap& rows)
{
    for (size_t row = 0; row < rows.size(); ++row) {
        for (size_t column = 0; column < rows[row].size(); ++column) {
            const int material = AsciiMaterial(rows[row][column]);
            if (material < 0) {
                ADD_FAILURE() << "unknown map character '" << rows[row][column] << "'";
                return false;
            }
            const int px = x + static_cast<int>(column), py = y + static_cast<int>(row);
            // Clearing a pixel of a tile without terrain changes nothing: skip the fill.
            if (material == 0 && land.HitTestPoint(px, py) == 0 && land.GetPixelColour(px, py) == 0)
                continue;
            land.PlotPixel(static_cast<uint8_t>(material), AsciiColour(material), px, py);
        }
    }
    return true;
}

AsciiMap ReadAscii(const TileStore& land, int x, int y, int width, int height)
{
    AsciiMap rows;
    for (int row = 0; row < height; ++row) {
        std::string line;
        for (int column = 0; column < width; ++column) {
            const int px = x + column, py = y + row;
            const bool inside = px >= 0 && py >= 0 && px < land.Width() && py < land.Height();
            const uint8_t* map = inside ? land.MaterialMap(TileSlot(px >> kTileShift, py >> kTileShift)) : nullptr;
            line += AsciiChar(map ? map[MaterialIndex(px, py)] : 0);
        }
        rows.push_back(line);
    }
    return rows;
}

std::unique_ptr<Landscape> MakeAsciiLandscape(const AsciiMap& rows, EdgeModes edges, int width, int height)
{
    size_t mapWidth = 0;
    for (const std::string& row : rows)
        mapWidth = std::max(mapWidth, row.size());
    auto land = std::make_unique<Landscape>();
    if (land->Create(std::max(width, static_cast<int>(mapWidth)), std::max(height, static_cast<int>(rows.size()))) !=
        TileStore::kCreated)
        return nullptr;
    land->edgeModes = {edges.top, edges.bottom, edges.left, edges.right};
    if (!PaintAscii(*land, 0, 0, rows))
        return nullptr;
    return land;
}
