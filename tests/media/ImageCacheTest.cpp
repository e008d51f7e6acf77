#include "SurfaceFixture.h"

#include "app/UserFolders.h"
#include "app/XmlUtil.h"
#include "media/Draw2D.h"
#include "media/SpriteSheet.h"
#include "platform/gfx/D3DX.h"
#include "platform/gfx/Device.h"

#include <filesystem>

using namespace gfx;

namespace {

using ImageCacheTest = SurfaceFixture;

uint32_t BitmapPixel(const AnimSurface* image, int x, int y)
{
    D3DLOCKED_RECT locked;
    EXPECT_EQ(image->bitmap->texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const uint32_t pixel =
        reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch)[x];
    image->bitmap->texture->UnlockRect(0);
    return pixel;
}

TEST_F(ImageCacheTest, SharedImagesAreCountedAndMissingOnesGetTheDefault)
{
    StartDevice();
    AnimSurface* first = ImageCache::GetImage("Common\\marker.png");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ImageCache::GetImage("graphics\\common\\MARKER.png"), first);
    EXPECT_EQ(ImageCache::GetImageFromParts("Common", "marker.png"), first);
    EXPECT_EQ(ImageCache::GetBlurredImage("Common\\marker.png", 0.0f, true), first);
    EXPECT_EQ(ImageCache::ReferenceCount(first), 4);
    for (int i = 0; i < 3; ++i)
        ImageCache::ReleaseImage(first);
    EXPECT_EQ(ImageCache::ReferenceCount(first), 1);
    EXPECT_EQ(ImageCache::CachedImageCount(), 1u);
    ImageCache::ReleaseImage(first);
    EXPECT_EQ(ImageCache::CachedImageCount(), 0u);
    ImageCache::ReleaseImage(nullptr);

    AnimSurface* missing = ImageCache::GetImage("Nowhere\\gone.png");
    ASSERT_NE(missing, nullptr);
    EXPECT_STREQ(missing->GetName(), "Graphics\\default.png");
    EXPECT_EQ(missing->GetSize(), std::make_pair(64, 64));
    ImageCache::ReleaseImage(missing);
    EXPECT_EQ(ImageCache::CachedImageCount(), 0u);
}

TEST_F(ImageCacheTest, BlurredCopyIsWrittenOnceAndReadBackFromItsFile)
{
    StartDevice();
    // A white square in the middle of a transparent image: the blur spreads it outward.
    AddImage("Graphics\\square.png", 32, 32,
             [](int x, int y) { return x >= 12 && x < 20 && y >= 12 && y < 20 ? 0xFFFFFFFFu : 0u; });
    const std::string cacheFile = GetUserPath(ImageCache::BlurredCacheName("square.png", 2.0f, false));
    EXPECT_NE(cacheFile.find("BlurredImages"), std::string::npos);
    ASSERT_FALSE(std::filesystem::exists(cacheFile));

    AnimSurface* blurred = ImageCache::GetBlurredImage("Graphics\\square.png", 2.0f, false);
    ASSERT_NE(blurred, nullptr);
    ASSERT_TRUE(std::filesystem::exists(cacheFile));
    EXPECT_EQ(blurred->GetSize(), std::make_pair(32, 32));
    const uint32_t spread = BitmapPixel(blurred, 10, 16) >> 24;
    EXPECT_GT(spread, 0u);
    EXPECT_LT(spread, 255u);
    EXPECT_EQ(BitmapPixel(blurred, 0, 0) >> 24, 0u);
    AnimSurface* plain = ImageCache::GetImage("square.png");
    EXPECT_NE(plain, blurred);
    EXPECT_EQ(BitmapPixel(plain, 10, 16), 0u);
    ImageCache::ReleaseImage(plain);
    ImageCache::ReleaseImage(blurred);
    EXPECT_EQ(ImageCache::CachedImageCount(), 0u);

    // The next load reads the cache file, not the image: replace the file to tell.
    std::vector<uint32_t> red(16 * 16, 0xFFFF0000u);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::image::EncodePng(red.data(), 16, 16, 64, true, bytes));
    ASSERT_TRUE(platform::image::WriteFileBytes(cacheFile, bytes));
    blurred = ImageCache::GetBlurredImage("square.png", 2.0f, false);
    ASSERT_NE(blurred, nullptr);
    EXPECT_EQ(blurred->GetSize(), std::make_pair(16, 16));
    EXPECT_EQ(BitmapPixel(blurred, 3, 3), 0xFFFF0000u);
    ImageCache::ReleaseImage(blurred);
}

TEST_F(ImageCacheTest, DrawingHelpersPaintTheBackBuffer)
{
    StartDevice();
    Device* device = DXManager::GetDevice();
    auto pixel = [&](int x, int y) {
        Ref<Surface> copy;
        Surface* back = DXManager::GetBackBuffer();
        device->CreateOffscreenPlainSurface(64, 48, back->Format(), D3DPOOL_SYSTEMMEM, copy.out(), nullptr);
        EXPECT_EQ(device->GetRenderTargetData(back, copy.get()), D3D_OK);
        return copy->ReadPixel(uint32_t(x), uint32_t(y)) & 0xFFFFFFu;
    };
    AddImage("Graphics\\quad.png", 4, 4, [](int x, int) { return x < 2 ? 0xFF00FF00u : 0xFF0000FFu; });
    BitmapBaseSurface quad;
    ASSERT_EQ(quad.Load("Graphics\\quad.png", 0, false), 0);

    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    device->BeginScene();
    EXPECT_EQ(Draw2D::DrawFilledRect(2, 2, 6, 6, 0xFFFF0000u), D3D_OK);
    EXPECT_EQ(quad.Draw(20, 20), D3D_OK); // 1:1 at its top-left corner
    quad.scaleX = quad.scaleY = 2.0f;
    quad.centreX = quad.centreY = 2.0f; // centred on (40, 20), twice the size
    quad.colour = 0x808080;
    EXPECT_EQ(quad.DrawRectSimple(40, 20, nullptr), D3D_OK);
    EXPECT_EQ(Draw2D::DrawLine(0, 40, 63, 40, 0xFFFFFFFFu), D3D_OK);
    device->EndScene();

    EXPECT_EQ(pixel(2, 2), 0xFF0000u);
    EXPECT_EQ(pixel(5, 5), 0xFF0000u);
    EXPECT_EQ(pixel(6, 6), 0u);
    EXPECT_EQ(pixel(20, 20), 0x00FF00u);
    EXPECT_EQ(pixel(23, 23), 0x0000FFu);
    EXPECT_EQ(pixel(24, 20), 0u);
    EXPECT_EQ(pixel(36, 16), 0x008000u);
    EXPECT_EQ(pixel(43, 23), 0x000080u);
    EXPECT_EQ(pixel(44, 24), 0u);
    EXPECT_EQ(pixel(30, 40), 0xFFFFFFu);
}

TEST_F(ImageCacheTest, TransformedBoundsAndPieCopy)
{
    struct Case {
        float sx, sy, degrees;
        bool centred;
        RECT expected;
    } cases[] = {
        {1, 1, 0, false, {10, 20, 50, 40}},
        {2, 1, 0, true, {-10, 20, 70, 40}},
        {1, 1, 90, false, {-10, 20, 10, 60}},
        {1, 1, 180, true, {10, 20, 50, 40}},
    };
    for (const auto& c : cases) {
        RECT out;
        Draw2D::TransformedBounds(c.sx, c.sy, c.degrees, &out, c.centred, 40, 20, c.centred ? 30 : 10,
                                  c.centred ? 30 : 20);
        EXPECT_EQ(out, c.expected) << c.degrees << (c.centred ? " centred" : "");
    }

    StartDevice();
    Ref<Texture> on, off;
    for (Ref<Texture>* t : {&on, &off})
        ASSERT_EQ(D3DXCreateTexture(DXManager::GetDevice(), 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, t->out()),
                  D3D_OK);
    DXManager::GetDevice()->ColorFill(on->Level(0), nullptr, 0xFFFFFFFFu);
    DXManager::GetDevice()->ColorFill(off->Level(0), nullptr, 0xFF000000u);
    // A quarter turn from straight up: the top-right quarter only.
    ASSERT_TRUE(Draw2D::PieCopyTexture(on.get(), off.get(), 4, 4, 3.14159265f / 2));
    EXPECT_EQ(off->Level(0)->ReadPixel(6, 1), 0xFFFFFFFFu);
    EXPECT_EQ(off->Level(0)->ReadPixel(1, 1), 0xFF000000u);
    EXPECT_EQ(off->Level(0)->ReadPixel(6, 6), 0xFF000000u);
    ASSERT_TRUE(Draw2D::PieCopyTexture(on.get(), off.get(), 4, 4, 7.0f));
    EXPECT_EQ(off->Level(0)->ReadPixel(1, 6), 0xFFFFFFFFu);
}

TEST_F(ImageCacheTest, SpriteSheetDescriptionGivesFramedImages)
{
    StartDevice();
    const std::string xml = R"(<sprites frameWidth="24" frameHeight="24" hotspotX="12" hotspotY="12">
        <select><animation name="throbber" file="throbber.png"/>
                <animation name="big" file="throbber.png" frameWidth="48" frameHeight="48" hotspotX="2"/></select>
        </sprites>)";
    XmlDocument doc = XmlParseBuffer(xml.data(), xml.size(), "sheet");
    SpriteSheet sheet;
    ASSERT_TRUE(SpriteSheet::Load(sheet, doc.get(), "Graphics\\Common", 0));
    EXPECT_EQ(sheet.rootPath, "Graphics\\Common");
    SpriteSet set;
    EXPECT_EQ(SpriteSheet::LoadAnimations("select", sheet, doc.get(), set), 2);
    EXPECT_EQ(SpriteSheet::LoadAnimations("missing", sheet, doc.get(), set), -1);
    ASSERT_NE(set.Find("BIG"), nullptr);
    EXPECT_EQ(set.Find("big")->hotspotX, 2);
    EXPECT_EQ(set.Find("big")->hotspotY, 12);

    AnimSurface* throbber = SpriteSheet::GetAnimationImage(sheet, *set.Find("throbber"));
    ASSERT_NE(throbber, nullptr);
    EXPECT_STREQ(throbber->GetName(), "Graphics\\Common\\throbber.png");
    EXPECT_EQ(throbber->frameCount, 16);
    EXPECT_EQ(throbber->hotspotX, 12);
    ImageCache::ReleaseImage(throbber);
}

} // namespace
