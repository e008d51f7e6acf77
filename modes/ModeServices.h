#pragma once
// The bonus items a player can earn, read from "Data\bonus_items.xml" at start-up.
#include <string>
#include <vector>

struct BonusItem {
    std::string type;
    int minQdots = 0;
    int minPoints = 0;
    int minFragments = 0;
    std::string levelBeaten;
    std::string description;
    std::string awardMessage;
    std::string filePath;
};

// Throws GameException "Invalid bonus item file" when the file is missing or malformed.
void LoadBonusItems();
const std::vector<BonusItem>& BonusItems();
