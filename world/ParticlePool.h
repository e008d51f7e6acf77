#pragma once
// A fixed pool of particle slots handed out in blocks: 800 blocks of 50 slots (40,000
// particles) in one allocation, a free block list, an active block list and two current
// blocks being filled, one for ordinary and one for persistent particles, plus the kind
// counters that size the vertex columns.
//
// Order is fixed so that every game allocates alike: free blocks are a stack (the block
// freed last is used first; after Reset block 0 comes first), active blocks keep the order
// in which they filled up, and a walk visits them in that order.
#include "world/Particle.h"
#include "world/ParticleKinds.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class ParticlePool {
public:
    static constexpr int kBlocks = 800;
    static constexpr int kBlockSize = 50;
    static constexpr int kSlots = kBlocks * kBlockSize;
    // The kind counters' columns: kind x 2 + flags bit 0 (each kind's front column, then its back).
    static constexpr int kColumns = kParticleKindCount * 2;
    static constexpr int ColumnOf(const Particle& p)
    {
        return (p.kind < kParticleKindCount ? p.kind : 0) * 2 + (p.flags & 1);
    }

    struct BlockEntry {
        uint16_t block = 0;
        uint8_t used = 0;
        bool persistent = false;
    };

    ParticlePool() = default;
    ParticlePool(const ParticlePool&) = delete;
    ParticlePool& operator=(const ParticlePool&) = delete;

    // Allocates the slots (false when the memory cannot be had) and resets.
    bool Allocate();
    void Release();
    bool IsAllocated() const { return slots_ != nullptr; }

    // Empties the active list, returns every block to the free list (block 0 on top),
    // clears both current blocks, the counters and the persistent count.
    void Reset();
    // A new particle (a copy of the template) in the current block of the column, or null
    // when the pool is exhausted. With every block busy, a persistent request takes over
    // the oldest active block that is not persistent (its live particles vanish and leave
    // the counters); an ordinary request gets null. A block that fills up joins the end of
    // the active list.
    Particle* Alloc(bool persistent);
    // Moves the two partly filled current blocks to the end of the active list.
    void Flush();

    // The kind counters (particles booked and not yet dead, by column).
    void Count(const Particle& p);
    void Uncount(const Particle& p);
    int32_t CountOf(int column) const { return counts_[size_t(column)]; }
    uint32_t PersistentAllocations() const { return persistentAllocs_; }

    // Visits every live particle of the active blocks in order, jumping dead slots by the
    // skip bytes and renewing them; blocks left without live particles go back to the free
    // list. visit(Particle&) may kill the particle and may allocate in this pool: blocks
    // filled meanwhile are visited in the same walk, but no block is taken over while the
    // walk runs.
    template <class Visit>
    void Walk(Visit visit);
    // Visits every live particle of the active blocks, changing nothing.
    template <class Visit>
    void ForEachLive(Visit visit) const;
    // The same for the partly filled current blocks too (ordinary, then persistent).
    template <class Visit>
    void ForEachLiveIncludingCurrent(Visit visit) const;

    const std::vector<BlockEntry>& ActiveBlocks() const { return active_; }
    // Free blocks from the bottom of the stack to its top (the next one used is the last).
    const std::vector<uint16_t>& FreeBlocks() const { return free_; }
    bool HasCurrent(bool persistent) const { return current_[persistent ? 1 : 0].has; }
    // Whether a request of the column would get a particle now.
    bool HasRoom(bool persistent) const;
    int32_t BlockOf(const Particle* p) const;

private:
    struct Current {
        bool has = false;
        BlockEntry entry;
    };
    Particle* Slots(int block) const { return slots_.get() + size_t(block) * kBlockSize; }
    bool TakeBlock(bool persistent, BlockEntry& out);

    std::unique_ptr<Particle[]> slots_;
    std::vector<BlockEntry> active_;
    std::vector<uint16_t> free_;
    std::array<Current, 2> current_{};
    std::array<int32_t, kColumns> counts_{};
    uint32_t persistentAllocs_ = 0;
    bool walking_ = false;
};

template <class Visit>
void ParticlePool::Walk(Visit visit)
{
    walking_ = true;
    size_t keep = 0;
    for (size_t index = 0; index < active_.size(); ++index) {
        const BlockEntry entry = active_[index];
        Particle* slots = Slots(entry.block);
        int previous = -1;
        for (int slot = 0; slot < entry.used;) {
            Particle& p = slots[slot];
            if (p.alive) {
                visit(p);
                if (p.alive) {
                    if (previous >= 0)
                        slots[previous].skip = static_cast<uint8_t>(slot - previous);
                    previous = slot;
                }
            }
            slot += p.skip ? p.skip : 1;
        }
        if (previous >= 0) {
            slots[previous].skip = static_cast<uint8_t>(entry.used - previous);
            active_[keep++] = active_[index];
        } else {
            free_.push_back(entry.block);
        }
    }
    active_.resize(keep);
    walking_ = false;
}

template <class Visit>
void ParticlePool::ForEachLive(Visit visit) const
{
    for (const BlockEntry& entry : active_) {
        const Particle* slots = Slots(entry.block);
        for (int slot = 0; slot < entry.used;) {
            const Particle& p = slots[slot];
            if (p.alive)
                visit(p);
            slot += p.skip ? p.skip : 1;
        }
    }
}

template <class Visit>
void ParticlePool::ForEachLiveIncludingCurrent(Visit visit) const
{
    ForEachLive(visit);
    for (const Current& current : current_) {
        if (!current.has)
            continue;
        const Particle* slots = Slots(current.entry.block);
        for (int slot = 0; slot < current.entry.used; ++slot)
            if (slots[slot].alive)
                visit(slots[slot]);
    }
}
