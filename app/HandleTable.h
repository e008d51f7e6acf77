#pragma once
// A table of owned records addressed by handles 1000 + slot. Freed slots are reused
// first-free; stale or out-of-range handles find nothing. Not locked: owners lock.

#include "app/IFileManager.h"

#include <memory>
#include <vector>

template <typename Record>
class HandleTable {
public:
    int Add(std::unique_ptr<Record> record)
    {
        for (size_t slot = 0; slot < slots_.size(); ++slot)
            if (!slots_[slot]) {
                slots_[slot] = std::move(record);
                return kFirstHandle + static_cast<int>(slot);
            }
        slots_.push_back(std::move(record));
        return kFirstHandle + static_cast<int>(slots_.size() - 1);
    }

    Record* Get(int handle) const
    {
        if (handle < kFirstHandle || static_cast<size_t>(handle - kFirstHandle) >= slots_.size())
            return nullptr;
        return slots_[static_cast<size_t>(handle - kFirstHandle)].get();
    }

    std::unique_ptr<Record> Take(int handle)
    {
        if (!Get(handle))
            return nullptr;
        return std::move(slots_[static_cast<size_t>(handle - kFirstHandle)]);
    }

    // Handles of every live record, in slot order.
    std::vector<int> LiveHandles() const
    {
        std::vector<int> handles;
        for (size_t slot = 0; slot < slots_.size(); ++slot)
            if (slots_[slot])
                handles.push_back(kFirstHandle + static_cast<int>(slot));
        return handles;
    }

private:
    std::vector<std::unique_ptr<Record>> slots_;
};
