#include "world/ParticlePool.h"

#include <new>

bool ParticlePool::Allocate()
{
    if (!slots_) {
        slots_.reset(new (std::nothrow) Particle[kSlots]);
        if (!slots_)
            return false;
        active_.reserve(kBlocks);
        free_.reserve(kBlocks);
    }
    Reset();
    return true;
}

void ParticlePool::Release()
{
    Reset();
    slots_.reset();
    free_.clear();
}

void ParticlePool::Reset()
{
    active_.clear();
    free_.clear();
    if (slots_)
        for (int block = kBlocks - 1; block >= 0; --block)
            free_.push_back(static_cast<uint16_t>(block));
    current_ = {};
    counts_ = {};
    persistentAllocs_ = 0;
}

bool ParticlePool::TakeBlock(bool persistent, BlockEntry& out)
{
    if (!free_.empty()) {
        out = BlockEntry{free_.back(), 0, persistent};
        free_.pop_back();
        return true;
    }
    if (!persistent || walking_)
        return false;
    // Take over the oldest ordinary block: its particles are overwritten.
    for (size_t index = 0; index < active_.size(); ++index) {
        if (active_[index].persistent)
            continue;
        const BlockEntry victim = active_[index];
        Particle* slots = Slots(victim.block);
        for (int slot = 0; slot < victim.used; ++slot) {
            if (slots[slot].alive) {
                Uncount(slots[slot]);
                slots[slot].alive = 0;
            }
        }
        active_.erase(active_.begin() + static_cast<std::ptrdiff_t>(index));
        out = BlockEntry{victim.block, 0, true};
        return true;
    }
    return false;
}

Particle* ParticlePool::Alloc(bool persistent)
{
    if (!slots_)
        return nullptr;
    Current& current = current_[persistent ? 1 : 0];
    if (!current.has || current.entry.used >= kBlockSize) {
        if (!TakeBlock(persistent, current.entry))
            return nullptr;
        current.has = true;
    }
    Particle* p = Slots(current.entry.block) + current.entry.used;
    *p = kTemplateParticle;
    ++current.entry.used;
    if (current.entry.used >= kBlockSize) {
        active_.push_back(current.entry);
        current.has = false;
    }
    if (persistent)
        ++persistentAllocs_;
    return p;
}

void ParticlePool::Flush()
{
    for (Current& current : current_) {
        if (current.has && current.entry.used > 0)
            active_.push_back(current.entry);
        current.has = false;
    }
}

void ParticlePool::Count(const Particle& p)
{
    if (!(p.flags2 & kParticle2Uncounted))
        ++counts_[size_t(ColumnOf(p))];
}

void ParticlePool::Uncount(const Particle& p)
{
    int32_t& count = counts_[size_t(ColumnOf(p))];
    if (!(p.flags2 & kParticle2Uncounted) && count > 0)
        --count;
}

bool ParticlePool::HasRoom(bool persistent) const
{
    if (!slots_)
        return false;
    const Current& current = current_[persistent ? 1 : 0];
    if ((current.has && current.entry.used < kBlockSize) || !free_.empty())
        return true;
    if (!persistent || walking_)
        return false;
    for (const BlockEntry& entry : active_)
        if (!entry.persistent)
            return true;
    return false;
}

int32_t ParticlePool::BlockOf(const Particle* p) const
{
    if (!slots_ || p < slots_.get() || p >= slots_.get() + kSlots)
        return -1;
    return static_cast<int32_t>((p - slots_.get()) / kBlockSize);
}
