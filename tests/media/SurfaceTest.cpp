#include "SurfaceFixture.h"

#include "app/GameException.h"
#include "media/AnimSurface.h"
#include "media/PngFile.h"
#include "platform/gfx/D3DX.h"
#include "platform/gfx/Device.h"

#include <memory>

using namespace gfx;

namespace {

uint32_t TexturePixel(Texture* texture, int x, int y)
{
    D3DLOCKED_RECT locked;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const uint32_t pixel =
        reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch)[x];
    texture->UnlockRect(0);
    return pixel;
}

using SurfaceTest = SurfaceFixture;

TEST_F(SurfaceTest, MissingBitmapUsesDefaultOrFails)
{
    StartDevice();
    BitmapBaseSurface fallback;
    EXPECT_EQ(fallback.Load("Graphics\\nowhere.png", 0, true), 0);
    EXPECT_STREQ(fallback.GetName(), "Graphics\\default.png");
    EXPECT_EQ(fallback.GetSize(), std::make_pair(64, 64));
    EXPECT_NE(ReadLog().find("BitmapBaseSurface: WARNING - Could not load the bitmap Graphics\\nowhere.png, using default"),
              std::string::npos);

    BitmapBaseSurface strict;
    EXPECT_EQ(strict.Load("Graphics\\nowhere.png", 0, false), -1);
    EXPECT_EQ(strict.texture, nullptr);
    EXPECT_NE(ReadLog().find("Bitmap Graphics\\nowhere.png not found"), std::string::npos);

    memory_->AddFile("Graphics\\broken.png", "not an image", 12);
    manager_->IndexNames(nullptr, 0, nullptr);
    BitmapBaseSurface broken;
    EXPECT_THROW(broken.Load("Graphics\\broken.png", 0, true), GameException);
    EXPECT_NE(ReadLog().find("invalid DATA"), std::string::npos);

    BitmapAnimSurface anim;
    EXPECT_EQ(anim.Init("Graphics\\broken.png", 0, true), -1);
    EXPECT_NE(ReadLog().find("BitmapAnimSurface::Init() : <Graphics\\broken.png> - Could not create surface"),
              std::string::npos);
}

TEST_F(SurfaceTest, EdgesRepeatIntoTheUnusedTextureArea)
{
    AdapterProfile profile;
    profile.caps.TextureCaps |= D3DPTEXTURECAPS_POW2;
    SetAdapterProfile(profile);
    StartDevice();
    auto value = [](int x, int y) { return 0xFF000000u | uint32_t(y) << 8 | uint32_t(x); };
    AddImage("Graphics\\wide.png", 100, 50, value);
    BitmapBaseSurface surface;
    ASSERT_EQ(surface.Load("Graphics\\wide.png", 0, false), 0);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(surface.texture->GetLevelDesc(0, &desc), D3D_OK);
    ASSERT_EQ(desc.Width, 128u);
    ASSERT_EQ(desc.Height, 64u);
    EXPECT_EQ(surface.GetSize(), std::make_pair(100, 50));
    for (int y : {0, 25, 49}) {
        EXPECT_EQ(TexturePixel(surface.texture, 100, y), value(99, y));
        EXPECT_EQ(TexturePixel(surface.texture, 101, y), value(99, y));
        EXPECT_EQ(TexturePixel(surface.texture, 102, y), 0u);
    }
    for (int x : {0, 50, 99}) {
        EXPECT_EQ(TexturePixel(surface.texture, x, 50), value(x, 49));
        EXPECT_EQ(TexturePixel(surface.texture, x, 51), value(x, 49));
        EXPECT_EQ(TexturePixel(surface.texture, x, 52), 0u);
    }
    EXPECT_EQ(TexturePixel(surface.texture, 101, 51), value(99, 49));

    // An image that fills its texture is never locked: a held lock does not matter.
    Ref<Texture> full;
    ASSERT_EQ(D3DXCreateTexture(DXManager::GetDevice(), 64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, full.out()),
              D3D_OK);
    D3DLOCKED_RECT held;
    ASSERT_EQ(full->LockRect(0, &held, nullptr, 0), D3D_OK);
    ClampTextureEdges(full.get(), 64, 64);
    EXPECT_EQ(ReadLog().find("Could not Lock texture for Clamp Edges!!"), std::string::npos);
    ClampTextureEdges(full.get(), 60, 60);
    EXPECT_NE(ReadLog().find("Could not Lock texture for Clamp Edges!!"), std::string::npos);
    full->UnlockRect(0);
}

TEST_F(SurfaceTest, FramesClampAndZeroSizesAreRefused)
{
    StartDevice();
    AddImage("Graphics\\strip.png", 128, 64, [](int, int) { return 0xFF336699u; });
    BitmapAnimSurface anim;
    ASSERT_EQ(anim.Init("Graphics\\strip.png", 0, false), 0);
    EXPECT_EQ(anim.frameCount, 1);
    EXPECT_EQ(anim.GetSize(), std::make_pair(128, 64));

    anim.SetFrameSize(32, 32);
    EXPECT_EQ(anim.frameCount, 8);
    EXPECT_EQ(anim.SetFrame(5), 1);
    EXPECT_EQ(anim.sourceRect, (RECT{32, 32, 64, 64}));
    anim.SetFrame(8);
    EXPECT_EQ(anim.currentFrame, 7);
    EXPECT_EQ(anim.sourceRect, (RECT{96, 32, 128, 64}));
    anim.SetFrame(-1);
    EXPECT_EQ(anim.currentFrame, 0);
    EXPECT_EQ(anim.sourceRect, (RECT{0, 0, 32, 32}));

    anim.SetFrameSize(0, 32); // refused: no division by zero, layout kept
    anim.SetFrameSize(32, -4);
    EXPECT_EQ(anim.GetSize(), std::make_pair(32, 32));
    EXPECT_EQ(anim.frameCount, 8);

    anim.SetFrame(7);
    anim.SetFrameSize(500, 500); // clamped to the image; the frame re-applied against the old count
    EXPECT_EQ(anim.GetSize(), std::make_pair(128, 64));
    EXPECT_EQ(anim.frameCount, 1);
    anim.SetFrame(3);
    EXPECT_EQ(anim.currentFrame, 0);
}

TEST_F(SurfaceTest, ImageBoundsIgnoreTransparentAndLightGreyPixels)
{
    StartDevice();
    // Frame 0 of the grey sheet: opaque white and light greys only. Frame 0 of the other:
    // transparent except two counting pixels (a near-grey whose channels differ counts).
    AddImage("Graphics\\grey.png", 64, 32,
             [](int x, int) { return x < 32 ? (x % 2 ? 0xFFFFFFFFu : 0xFFC4C4C4u) : 0xFF000000u; });
    AddImage("Graphics\\dots.png", 64, 32, [](int x, int y) {
        if ((x == 5 && y == 7) || (x == 20 && y == 3))
            return x == 5 ? 0xFFC4C4C5u : 0x80102030u;
        return x < 32 ? 0x00FF0000u : 0xFF000000u;
    });
    struct Case {
        const char* file;
        RECT bounds; // min x, min y, max x, max y
    } cases[] = {{"Graphics\\grey.png", {9999, 9999, 0, 0}}, {"Graphics\\dots.png", {5, 3, 20, 7}}};
    for (const auto& c : cases) {
        BitmapAnimSurface anim;
        ASSERT_EQ(anim.Init(c.file, 0, false), 0);
        anim.SetFrameSize(32, 32);
        anim.SetFrame(1);
        anim.FindImageBounds();
        EXPECT_EQ((RECT{anim.boundsMinX, anim.boundsMinY, anim.boundsMaxX, anim.boundsMaxY}), c.bounds) << c.file;
        EXPECT_EQ(anim.currentFrame, 0);
    }
}

TEST_F(SurfaceTest, DuplicatesShareOneTextureReleasedOnce)
{
    StartDevice();
    auto source = std::make_unique<BitmapBaseSurface>();
    ASSERT_EQ(source->Load("Graphics\\default.png", 0, false), 0);
    source->alpha = 128;
    source->scaleX = 2.0f;
    Texture* texture = source->texture;
    texture->AddRef(); // the test's own reference, to watch the count
    std::unique_ptr<ISurface> copy(source->Duplicate());
    auto* bitmap = dynamic_cast<BitmapBaseSurface*>(copy.get());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->texture, texture);
    EXPECT_EQ(bitmap->alpha, 128);
    EXPECT_EQ(bitmap->scaleX, 2.0f);
    EXPECT_STREQ(bitmap->GetName(), "Graphics\\default.png");
    EXPECT_EQ(texture->AddRef(), 4u);
    texture->Release();
    source.reset();
    EXPECT_EQ(TexturePixel(bitmap->texture, 0, 0) >> 24, 0xFFu); // still alive for the copy
    copy.reset();
    EXPECT_EQ(texture->Release(), 0u); // the test held the last reference

    MemBaseSurface memory;
    EXPECT_EQ(memory.GetSize(), std::make_pair(-1, -1));
    EXPECT_EQ(memory.Create(0, 16), -1);
    EXPECT_NE(ReadLog().find("Failed to create memory texture"), std::string::npos);
    ASSERT_EQ(memory.Create(16, 8), 0);
    EXPECT_EQ(memory.GetSize(), std::make_pair(16, 8));
}

TEST_F(SurfaceTest, ArchiveHoldsEveryGeneratedImage)
{
    // No plain folder in this file manager: the images come from Data\resource.dat.
    ASSERT_NE(dynamic_cast<ResourceFileManager*>(manager_->FindMemberForName("Graphics\\default.png")), nullptr);
    PNGReader reader;
    ASSERT_TRUE(reader.Init("Graphics\\default.png"));
    EXPECT_EQ(reader.Width(), 64);
    EXPECT_EQ(reader.Height(), 64);
    EXPECT_FALSE(reader.Init("Graphics\\nowhere.png"));

    std::ifstream table(std::string(FLIMBS_SOURCE_DIR) + "/data/art/images.xml");
    std::stringstream text;
    text << table.rdbuf();
    const std::string xml = text.str();
    int images = 0;
    for (size_t at = xml.find("name=\""); at != std::string::npos; at = xml.find("name=\"", at + 1)) {
        const std::string name = xml.substr(at + 6, xml.find('"', at + 6) - at - 6);
        ++images;
        if (name.size() > 4 && name.substr(name.size() - 4) == ".jpg") {
            // Photos are written as JPEG: the archive holds a picture that decodes.
            const int handle = manager_->Open(name);
            ASSERT_GT(handle, 0) << name;
            std::vector<uint8_t> bytes(size_t(manager_->GetSize(handle)));
            manager_->Read(handle, bytes.data(), bytes.size());
            manager_->Close(handle);
            platform::image::Image picture;
            EXPECT_EQ(platform::image::DetectImageFormat(bytes.data(), bytes.size()), platform::image::ImageFormat::Jpeg);
            EXPECT_TRUE(platform::image::DecodeImage(bytes.data(), bytes.size(), picture)) << name;
            continue;
        }
        const size_t token = name.find("{group-label}");
        if (token == std::string::npos) {
            EXPECT_TRUE(reader.Init(name)) << name;
        } else {
            for (const char* label : {"blue", "green", "red", "grey", "white", "yellow", "orange", "purple"})
                EXPECT_TRUE(reader.Init(std::string(name).replace(token, 13, label))) << name << " " << label;
        }
    }
    EXPECT_GE(images, 2);
}

} // namespace
