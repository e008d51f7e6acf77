// Arbitrary bytes as "Data\bonus_items.xml": loading either fails with a clear GameException
// or gives a list in ascending order whose every item has a known type and a condition.
#include "FuzzHome.h"
#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/MemoryFileManager.h"
#include "modes/BonusItems.h"

#include <cstdint>
#include <memory>

namespace {

MemoryFileManager* g_memory = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    DiscardLog(); // skipped items write a line each
    static FileManager manager;
    auto memory = std::make_unique<MemoryFileManager>();
    g_memory = memory.get();
    manager.AddMember(std::move(memory));
    fileManager = &manager;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_memory->AddFile("Data\\bonus_items.xml", data, size);
    BonusItemList::Clear();
    try {
        BonusItemList::Load();
    } catch (const GameException& error) {
        if (error.Message().empty())
            __builtin_trap();
        if (!BonusItemList::Items().empty())
            __builtin_trap(); // a failed load leaves the (empty) list alone
        return 0;
    }
    const std::vector<BonusItemInfo>& items = BonusItemList::Items();
    for (size_t i = 0; i < items.size(); ++i) {
        const BonusItemInfo& item = items[i];
        if (item.type < 0 || item.type > 2)
            __builtin_trap();
        if (item.minQdots == -1 && item.minPoints == -1 && item.minFragments == -1 && item.levelBeaten.empty())
            __builtin_trap();
        if (i > 0 && BonusItemInfo::OrderLess(item, items[i - 1]))
            __builtin_trap();
        if (BonusItemList::FindById(item.id).id != item.id)
            __builtin_trap();
    }
    return 0;
}
