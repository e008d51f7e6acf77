// Fill rate of the software device on one core: full-screen blended quads and sprites.
#include "platform/gfx/Device.h"
#include "platform/gfx/Sprite.h"

#include <benchmark/benchmark.h>

using namespace gfx;

namespace {

constexpr uint32_t kWidth = 1280, kHeight = 720;

struct Vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};

struct Scene {
    Ref<Direct3D> d3d;
    Ref<Device> device;

    Scene()
    {
        d3d = Ref<Direct3D>(Direct3DCreate9(D3D_SDK_VERSION));
        D3DPRESENT_PARAMETERS pp;
        pp.BackBufferWidth = kWidth;
        pp.BackBufferHeight = kHeight;
        d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, device.out());
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    }

    Ref<Texture> PatternTexture(uint32_t w, uint32_t h)
    {
        Ref<Texture> t;
        device->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, t.out());
        uint32_t seed = 12345;
        for (uint32_t y = 0; y < h; ++y) {
            uint32_t* row = t->Level(0)->Row<uint32_t>(y);
            for (uint32_t x = 0; x < w; ++x) {
                seed = seed * 1103515245u + 12345u;
                row[x] = (seed >> 8) | 0x40000000u;
            }
        }
        t->Level(0)->MarkModified();
        return t;
    }

    void Quad(float w, float h)
    {
        const Vertex v[4] = {{-0.5f, -0.5f, 0, 1, 0xFFFFFFFFu, 0, 0}, {w - 0.5f, -0.5f, 0, 1, 0xFFFFFFFFu, 1, 0},
                             {-0.5f, h - 0.5f, 0, 1, 0xFFFFFFFFu, 0, 1}, {w - 0.5f, h - 0.5f, 0, 1, 0xFFFFFFFFu, 1, 1}};
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(Vertex));
    }
};

void Report(benchmark::State& state, double pixelsPerIteration)
{
    state.counters["Mpix/s"] = benchmark::Counter(pixelsPerIteration * double(state.iterations()) / 1.0e6,
                                                  benchmark::Counter::kIsRate);
}

void BM_BlendedQuadOneToOne(benchmark::State& state)
{
    Scene scene;
    Ref<Texture> texture = scene.PatternTexture(kWidth, kHeight);
    scene.device->SetTexture(0, texture.get());
    for (auto _ : state)
        scene.Quad(float(kWidth), float(kHeight));
    Report(state, double(kWidth) * kHeight);
}
BENCHMARK(BM_BlendedQuadOneToOne)->Unit(benchmark::kMillisecond);

void BM_BlendedQuadBilinearScaled(benchmark::State& state)
{
    Scene scene;
    Ref<Texture> texture = scene.PatternTexture(512, 300);
    scene.device->SetTexture(0, texture.get());
    for (auto _ : state)
        scene.Quad(float(kWidth), float(kHeight));
    Report(state, double(kWidth) * kHeight);
}
BENCHMARK(BM_BlendedQuadBilinearScaled)->Unit(benchmark::kMillisecond);

void BM_BlendedSprites(benchmark::State& state)
{
    Scene scene;
    Ref<Texture> texture = scene.PatternTexture(32, 32);
    Ref<Sprite> sprite;
    D3DXCreateSprite(scene.device.get(), sprite.out());
    constexpr int kSprites = 2000;
    for (auto _ : state) {
        sprite->Begin(D3DXSPRITE_ALPHABLEND);
        uint32_t seed = 7;
        for (int i = 0; i < kSprites; ++i) {
            seed = seed * 1103515245u + 12345u;
            const D3DXVECTOR3 position(float((seed >> 4) % (kWidth - 32)), float((seed >> 16) % (kHeight - 32)), 0);
            sprite->Draw(texture.get(), nullptr, nullptr, &position, 0xFFFFFFFFu);
        }
        sprite->End();
    }
    Report(state, 32.0 * 32.0 * kSprites);
}
BENCHMARK(BM_BlendedSprites)->Unit(benchmark::kMillisecond);

} // namespace
