#include "modes/ModeServices.h"

#include "app/GameException.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"

namespace {

std::vector<BonusItem>& Items()
{
    static std::vector<BonusItem> items;
    return items;
}

std::string Attr(const xmlNode* node, const char* name)
{
    const char* value = XmlGetAttrValue(node, name);
    if (!value)
        throw GameException("Invalid bonus item file");
    return value;
}

int IntAttr(const xmlNode* node, const char* name)
{
    int value = 0;
    if (!ParseInt(Attr(node, name), value))
        throw GameException("Invalid bonus item file");
    return value;
}

} // namespace

void LoadBonusItems()
{
    XmlDocument doc = XmlLoadFile("Data\\bonus_items.xml");
    xmlNode* root = doc ? XmlRoot(doc.get()) : nullptr;
    if (!root)
        throw GameException("Invalid bonus item file");
    std::vector<BonusItem> items;
    for (xmlNode* node = XmlChildren(root); node; node = XmlNext(node)) {
        if (XmlName(node) != "item")
            continue;
        BonusItem item;
        item.type = Attr(node, "type");
        item.minQdots = IntAttr(node, "min_qdots");
        item.minPoints = IntAttr(node, "min_points");
        item.minFragments = IntAttr(node, "min_fragments");
        item.levelBeaten = Attr(node, "level_beaten");
        item.description = Attr(node, "description");
        item.awardMessage = Attr(node, "award_msg");
        item.filePath = Attr(node, "filepath");
        items.push_back(std::move(item));
    }
    Items() = std::move(items);
}

const std::vector<BonusItem>& BonusItems()
{
    return Items();
}

bool ModeExists()
{
    return false;
}

bool ModeAcceptsCommands(const Flimb& /*flimb*/)
{
    return true;
}

bool ModeMaySelect(const Flimb& /*flimb*/)
{
    return true;
}

void ModeFlimbDied(Flimb& /*flimb*/) {}

void ModeUpdate() {}

bool ModeMatchStarted()
{
    return false;
}

bool ModeKeyHook(int /*key*/, int /*state*/)
{
    return false;
}
