#include "world/ParticleManager.h"

#include "app/ConsoleParam.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "app/Random.h"
#include "game/GameController.h"
#include "media/DXManager.h"
#include "media/PngFile.h"
#include "media/Surface.h"
#include "modes/ModeServices.h"
#include "platform/gfx/Device.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/ParticleQuads.h"
#include "world/StateHash.h"
#include "world/ViewServices.h"
#include "world/WorldClock.h"
#include "world/WorldServices.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr gfx::DWORD kParticleFvf = gfx::D3DFVF_XYZ | gfx::D3DFVF_DIFFUSE | gfx::D3DFVF_TEX1;
constexpr int kMultiverseMode = 4;

ConsoleParam g_enableParticles("enableparticles", ConsoleParamType::Int, "1", "Turns on/off non-interactive particles");

ParticleManager* g_current = nullptr;

} // namespace

// Registered with the graphics device: gives the vertex buffer up before a reset and makes
// it again afterwards.
class ParticleManager::DeviceLink : public IDeviceObject {
public:
    explicit DeviceLink(ParticleManager& owner) : owner_(owner) { DXManager::RegisterDeviceObject(this); }
    ~DeviceLink() override { DXManager::UnregisterDeviceObject(this); }
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    gfx::HRESULT OnDeviceLost() override
    {
        owner_.OnDeviceLost();
        return gfx::D3D_OK;
    }
    void OnDeviceRestored() override { owner_.OnDeviceRestored(); }

private:
    ParticleManager& owner_;
};

// The quads of one pass: each column's first vertex (from the counters) and what was written.
struct ParticleManager::QuadPass {
    ParticleVertex* vertices = nullptr;
    std::array<uint32_t, kColumns> first{};
    std::array<int32_t, kColumns> room{};
    std::array<int32_t, kColumns> written{};
    std::array<ParticleQuadShape, kParticleKindCount> shapes{};
    float left = 0, top = 0, right = 0, bottom = 0;

    void Add(const Particle& p, float wx, float wy)
    {
        if (!vertices || wx < left || wx > right || wy < top || wy > bottom)
            return;
        const int column = ParticlePool::ColumnOf(p);
        if (written[size_t(column)] >= room[size_t(column)])
            return;
        const uint32_t at = first[size_t(column)] + uint32_t(written[size_t(column)]) * kVerticesPerParticle;
        WriteParticleQuad(p, wx, wy, shapes[size_t(column / 2)], vertices + at);
        ++written[size_t(column)];
    }
};

ParticleManager::ParticleManager() = default;

ParticleManager::~ParticleManager()
{
    Shutdown();
    if (g_current == this)
        g_current = nullptr;
}

void ParticleManager::Init()
{
    if (!simulation_.Allocate() || !visual_.Allocate()) {
        simulation_.Release();
        visual_.Release();
        throw GameException("Couldn't allocate enough memory for the particle buffer");
    }
    ResetPool();
    if (DXManager::GetDevice()) {
        LoadSprites();
        if (!deviceLink_)
            deviceLink_ = std::make_unique<DeviceLink>(*this);
    }
    CreateVertexBuffer();
}

void ParticleManager::ResetPool()
{
    simulation_.Reset();
    visual_.Reset();
    first_ = {};
    written_ = {};
    liveSimulation_ = liveVisual_ = drawn_ = 0;
    enabled_ = false;
}

void ParticleManager::Shutdown()
{
    ResetPool();
    ReleaseSprites();
    simulation_.Release();
    visual_.Release();
    deviceLink_.reset();
    ReleaseVertexBuffer();
    saved_.clear();
}

void ParticleManager::LoadSprites()
{
    for (int kind = 0; kind < kParticleKindCount; ++kind) {
        auto sprite = std::make_unique<BitmapBaseSurface>();
        const std::string name = std::string("Graphics\\") + ParticleKindOf(kind).sprite;
        if (sprite->Load(name, 0, false) != 0 || !sprite->texture) {
            WriteLog("Particle sprite %s not loaded\n", name.c_str());
            continue;
        }
        sprites_[size_t(kind)] = std::move(sprite);
    }
}

void ParticleManager::ReleaseSprites()
{
    for (auto& sprite : sprites_)
        sprite.reset();
    for (auto& pixels : spritePixels_)
        pixels.reset();
}

const BashMask* ParticleManager::SpritePixels(int kind)
{
    if (kind < 0 || kind >= kParticleKindCount)
        return nullptr;
    BashMaskPtr& pixels = spritePixels_[size_t(kind)];
    if (!pixels) {
        PNGReader reader;
        if (!reader.Init(std::string("Graphics\\") + ParticleKindOf(kind).sprite, 1))
            return nullptr;
        pixels = AllocateBashMask(reader.Width(), reader.Height());
        if (!pixels || reader.Pixels().size() != size_t(pixels->width) * size_t(pixels->height)) {
            pixels.reset();
            return nullptr;
        }
        std::copy(reader.Pixels().begin(), reader.Pixels().end(), pixels->pixels);
    }
    return pixels.get();
}

void ParticleManager::CreateVertexBuffer()
{
    ReleaseVertexBuffer();
    const uint32_t length = kVertexCapacity * uint32_t(sizeof(ParticleVertex));
    gfx::HRESULT hr = gfx::D3DERR_INVALIDCALL;
    if (gfx::Device* device = DXManager::GetDevice()) {
        hr = device->CreateVertexBuffer(length, gfx::D3DUSAGE_DYNAMIC | gfx::D3DUSAGE_WRITEONLY, kParticleFvf,
                                        gfx::D3DPOOL_DEFAULT, &vertexBuffer_, nullptr);
    } else {
        // The software layer makes a buffer without a device: tools, benchmarks and tests.
        vertexBuffer_ = new gfx::VertexBuffer(length, gfx::D3DUSAGE_DYNAMIC | gfx::D3DUSAGE_WRITEONLY, kParticleFvf,
                                              gfx::D3DPOOL_SYSTEMMEM);
        hr = gfx::D3D_OK;
    }
    if (gfx::FAILED(hr) || !vertexBuffer_) {
        vertexBuffer_ = nullptr;
        WriteLog("Couldn't create the particle vertex buffer\n");
    }
}

void ParticleManager::ReleaseVertexBuffer()
{
    if (vertexBuffer_) {
        vertexBuffer_->Release();
        vertexBuffer_ = nullptr;
    }
}

void ParticleManager::OnDeviceLost()
{
    ReleaseVertexBuffer();
}

void ParticleManager::OnDeviceRestored()
{
    CreateVertexBuffer();
    particleRebuild = true;
}

bool ParticleManager::FullDetail()
{
    return g_enableParticles.GetInt() != 0;
}

Landscape* ParticleManager::Land() const
{
    return land_ ? land_ : GameLandscape();
}

ParticlePool* ParticleManager::PoolOf(const Particle* p)
{
    if (simulation_.BlockOf(p) >= 0)
        return &simulation_;
    if (visual_.BlockOf(p) >= 0)
        return &visual_;
    return nullptr;
}

Particle* ParticleManager::AllocParticle(bool persistent, ParticleRole role)
{
    if (!enabled_)
        return nullptr;
    if (role == ParticleRole::Visual)
        return FullDetail() ? visual_.Alloc(persistent) : nullptr;
    return simulation_.Alloc(persistent);
}

bool ParticleManager::HasRoom(bool persistent, ParticleRole role) const
{
    if (!enabled_)
        return false;
    if (role == ParticleRole::Visual)
        return FullDetail() && visual_.HasRoom(persistent);
    return simulation_.HasRoom(persistent);
}

void ParticleManager::CountParticle(Particle& p)
{
    ParticlePool* pool = PoolOf(&p);
    const bool kept = pool && enabled_ && (pool == &simulation_ || FullDetail());
    if (!kept) {
        p.alive = 0;
        return;
    }
    p.born = static_cast<uint16_t>(CurrentUpdateCounter());
    pool->Count(p);
}

void ParticleManager::Flush()
{
    simulation_.Flush();
    visual_.Flush();
}

uint32_t ParticleManager::PersistentAllocations() const
{
    return simulation_.PersistentAllocations() + visual_.PersistentAllocations();
}

ParticleStep ParticleManager::StepFor(ParticlePool& pool)
{
    ParticleStep step;
    step.land = Land();
    step.pool = &pool;
    step.random = &ParticleRandom(&pool == &simulation_ ? ParticleRole::Simulation : ParticleRole::Visual);
    step.updateCounter = CurrentUpdateCounter();
    step.universeWidth = ParticleUniverseWidth(step.land);
    return step;
}

void ParticleManager::Update()
{
    if (!enabled_)
        return;
    Flush();
    Pass(true, false);
    particleRebuild = false;
}

void ParticleManager::RebuildVertices()
{
    particleRebuild = false;
    if (enabled_)
        Pass(false, false);
}

void ParticleManager::Pass(bool advance, bool halfway)
{
    QuadPass quads;
    // Each column's room: the particles booked in it, both pools, in counter order.
    uint32_t vertex = 0;
    for (int column = 0; column < kColumns; ++column) {
        const int32_t booked = simulation_.CountOf(column) + visual_.CountOf(column);
        quads.first[size_t(column)] = vertex;
        const uint32_t room = std::min<uint32_t>(uint32_t(booked), (kVertexCapacity - vertex) / kVerticesPerParticle);
        quads.room[size_t(column)] = int32_t(room);
        vertex += room * kVerticesPerParticle;
    }
    for (int kind = 0; kind < kParticleKindCount; ++kind) {
        float width = 0.0f, height = 0.0f;
        if (const auto& sprite = sprites_[size_t(kind)]; sprite && sprite->texture) {
            gfx::D3DSURFACE_DESC desc{};
            if (gfx::SUCCEEDED(sprite->texture->GetLevelDesc(0, &desc))) {
                width = float(desc.Width);
                height = float(desc.Height);
            }
        }
        quads.shapes[size_t(kind)] = QuadShapeOf(kind, width, height);
    }
    // The visible rectangle widened by 5 pixels; the whole landscape without a view.
    const Landscape* land = Land();
    gfx::RECT view = VisibleWorldRect();
    if (view.right <= view.left || view.bottom <= view.top)
        view = gfx::RECT{0, 0, land ? land->Width() : 0, land ? land->Height() : 0};
    quads.left = float(view.left - 5);
    quads.top = float(view.top - 5);
    quads.right = float(view.right + 5);
    quads.bottom = float(view.bottom + 5);
    void* data = nullptr;
    if (vertexBuffer_) {
        if (gfx::FAILED(vertexBuffer_->Lock(0, 0, &data, gfx::D3DLOCK_DISCARD)) || !data) {
            WriteLog("Couldn't lock the particle vertex buffer!\n");
            data = nullptr;
        }
    }
    quads.vertices = static_cast<ParticleVertex*>(data);

    int32_t live[2] = {0, 0};
    ParticlePool* pools[2] = {&simulation_, &visual_};
    for (int index = 0; index < 2; ++index) {
        ParticlePool& pool = *pools[index];
        if (advance) {
            ParticleStep step = StepFor(pool);
            pool.Walk([&](Particle& p) {
                p.Update(step);
                if (!p.alive)
                    return;
                ++live[index];
                quads.Add(p, p.WorldX(), p.WorldY());
            });
        } else if (halfway) {
            ParticleStep step = StepFor(pool);
            RandomGenerator scratchRandom(step.updateCounter);
            step.random = &scratchRandom;
            step.lookAhead = true;
            step.updateCounter += 1;
            const float width = float(step.universeWidth), height = float(land ? land->Height() : 0);
            pool.ForEachLiveIncludingCurrent([&](const Particle& p) {
                Particle ahead = p;
                ahead.Update(step);
                float wx = p.WorldX(), wy = p.WorldY();
                // Halfway, unless it dies or jumps across a wrapping edge on the way.
                if (ahead.alive && std::fabs(ahead.x - p.x) * 2.0f < width && std::fabs(ahead.y - p.y) * 2.0f < height) {
                    wx = (wx + ahead.WorldX()) * 0.5f;
                    wy = (wy + ahead.WorldY()) * 0.5f;
                }
                quads.Add(p, wx, wy);
            });
        } else {
            pool.ForEachLiveIncludingCurrent([&](const Particle& p) { quads.Add(p, p.WorldX(), p.WorldY()); });
        }
    }
    if (data)
        vertexBuffer_->Unlock();

    first_ = quads.first;
    written_ = quads.written;
    drawn_ = 0;
    for (const int32_t count : written_)
        drawn_ += count;
    if (advance) {
        liveSimulation_ = live[0];
        liveVisual_ = live[1];
    }
}

void ParticleManager::SetDrawStates(gfx::Device* device)
{
    device->SetFVF(kParticleFvf);
    device->SetStreamSource(0, vertexBuffer_, 0, sizeof(ParticleVertex));
    device->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(gfx::D3DRS_SRCBLEND, gfx::D3DBLEND_SRCALPHA);
    device->SetRenderState(gfx::D3DRS_DESTBLEND, gfx::D3DBLEND_INVSRCALPHA);
    device->SetTextureStageState(0, gfx::D3DTSS_COLOROP, gfx::D3DTOP_MODULATE);
    device->SetTextureStageState(0, gfx::D3DTSS_COLORARG1, gfx::D3DTA_TEXTURE);
    device->SetTextureStageState(0, gfx::D3DTSS_COLORARG2, gfx::D3DTA_DIFFUSE);
    device->SetTextureStageState(0, gfx::D3DTSS_ALPHAOP, gfx::D3DTOP_MODULATE);
    device->SetTextureStageState(0, gfx::D3DTSS_ALPHAARG1, gfx::D3DTA_TEXTURE);
    device->SetTextureStageState(0, gfx::D3DTSS_ALPHAARG2, gfx::D3DTA_DIFFUSE);
}

void ParticleManager::DrawColumns(int backBit)
{
    gfx::Device* device = DXManager::GetDevice();
    if (!device || !vertexBuffer_)
        return;
    SetDrawStates(device);
    for (int kind = 0; kind < kParticleKindCount; ++kind) {
        const int column = kind * 2 + backBit;
        const int32_t quads = written_[size_t(column)];
        if (quads <= 0)
            continue;
        const auto& sprite = sprites_[size_t(kind)];
        device->SetTexture(0, sprite ? sprite->texture : nullptr);
        device->DrawPrimitive(gfx::D3DPT_TRIANGLELIST, first_[size_t(column)], uint32_t(quads) * 2);
    }
    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0, 0);
}

void ParticleManager::Draw()
{
    if (!enabled_)
        return;
    if (InBetweenFrame())
        Pass(false, true);
    DrawColumns(1);
}

void ParticleManager::DrawFront()
{
    if (enabled_)
        DrawColumns(0);
}

void ParticleManager::Snapshot(bool on)
{
    saved_.clear();
    if (!on)
        return;
    simulation_.ForEachLiveIncludingCurrent([this](const Particle& p) { saved_.push_back(p); });
}

uint64_t ParticleManager::SimulationHash() const
{
    StateHasher h;
    h.Add(uint8_t(enabled_ ? 1 : 0));
    simulation_.ForEachLiveIncludingCurrent([&h](const Particle& p) {
        h.Add(p.flags);
        h.Add(p.flags2);
        h.Add(p.fade);
        h.Add(p.kind);
        h.Add(p.alpha);
        h.Add(p.stickCount);
        h.Add(p.bounces);
        h.Add(p.delay);
        h.Add(p.elasticity);
        h.Add(p.gravity);
        h.Add(p.frame);
        h.Add(p.maxY);
        h.Add(p.maxX);
        h.Add(p.life);
        h.Add(p.born);
        h.Add(p.age);
        for (const float value : {p.x, p.y, p.z, p.vx, p.vy, p.vz, p.ax, p.ay, p.az, p.spin, p.angle, p.waveX,
                                  p.waveY, p.waveZ, p.ampX, p.ampY, p.ampZ, p.baseX, p.baseY, p.baseZ})
            h.Add(value);
        h.Add(p.colour);
        h.Add(int32_t(p.owner ? p.owner->id : -1));
        h.Add(p.offsetX);
        h.Add(p.offsetY);
        h.Add(p.behaviour);
    });
    return h.Value();
}

ParticleManager* Particles()
{
    return g_current;
}

void SetCurrentParticles(ParticleManager* manager)
{
    g_current = manager;
}

ScopedParticles::ScopedParticles(ParticleManager& manager) : previous_(g_current)
{
    g_current = &manager;
}

ScopedParticles::~ScopedParticles()
{
    g_current = previous_;
}

RandomGenerator& ParticleRandom(ParticleRole role)
{
    return role == ParticleRole::Simulation ? SimRandom() : DrawRandom();
}

Landscape* ParticleLand()
{
    const ParticleManager* manager = Particles();
    return manager ? manager->Land() : GameLandscape();
}

int32_t ParticleUniverses()
{
    if (CurrentGameModeIndex() != kMultiverseMode)
        return 1;
    if (Controller().runState == kRunNone)
        return 2;
    return std::max<int32_t>(1, CountEnabledGroups(Controller().groups));
}

int32_t ParticleUniverseWidth(const Landscape* land)
{
    if (!land)
        return 0;
    return land->Width() / ParticleUniverses();
}
