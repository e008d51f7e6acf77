#include "media/ImageCache.h"

#include "app/FileManager.h"
#include "app/Log.h"
#include "app/Md5.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "media/PngFile.h"
#include "platform/image/ImageCodec.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

namespace ImageCache {
namespace {

constexpr const char* kDefaultImage = "Graphics\\default.png";

struct Entry {
    std::unique_ptr<AnimSurface> image;
    int references = 0;
};

std::mutex cacheLock;
std::map<std::string, Entry> entries;

// A name in a user folder (avatars, the cache) stays where it is; others are graphics.
std::string GraphicsPath(const std::string& name)
{
    if (StartsWithNoCase(name, "Graphics\\") || StartsWithNoCase(name, "Graphics/") || IsUserFolderPath(name))
        return name;
    return "Graphics\\" + name;
}

std::string Key(const std::string& path, float radius, bool bleed)
{
    return ToLowerAscii(ReplaceAll(path, "/", "\\")) + StringPrintf("|%0.2f|%d", radius, bleed ? 1 : 0);
}

// Separable Gaussian blur of premultiplied pixels; outside the image is transparent, or
// the nearest edge pixel with bleed.
std::vector<uint32_t> Blur(const std::vector<uint32_t>& argb, int w, int h, float sigma, bool bleed)
{
    const int reach = std::clamp(int(std::ceil(sigma * 3.0f)), 1, std::max(w, h));
    std::vector<float> kernel(2 * reach + 1);
    float sum = 0.0f;
    for (int i = -reach; i <= reach; ++i)
        sum += kernel[i + reach] = std::exp(-float(i * i) / (2.0f * sigma * sigma));
    for (float& k : kernel)
        k /= sum;
    std::vector<float> a(size_t(w) * h * 4), b(a.size());
    for (size_t i = 0; i < argb.size(); ++i) {
        const float alpha = float(argb[i] >> 24) / 255.0f;
        a[i * 4 + 0] = alpha;
        for (int c = 0; c < 3; ++c)
            a[i * 4 + 1 + c] = float((argb[i] >> (16 - 8 * c)) & 0xFF) * alpha;
    }
    auto pass = [&](const std::vector<float>& in, std::vector<float>& out, bool horizontal) {
        const int n = horizontal ? w : h;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float acc[4] = {0, 0, 0, 0};
                for (int k = -reach; k <= reach; ++k) {
                    int p = (horizontal ? x : y) + k;
                    if (p < 0 || p >= n) {
                        if (!bleed)
                            continue;
                        p = std::clamp(p, 0, n - 1);
                    }
                    const size_t at = horizontal ? size_t(y) * w + p : size_t(p) * w + x;
                    for (int c = 0; c < 4; ++c)
                        acc[c] += in[at * 4 + c] * kernel[k + reach];
                }
                for (int c = 0; c < 4; ++c)
                    out[(size_t(y) * w + x) * 4 + c] = acc[c];
            }
    };
    pass(a, b, true);
    pass(b, a, false);
    std::vector<uint32_t> result(argb.size());
    for (size_t i = 0; i < result.size(); ++i) {
        const float alpha = a[i * 4];
        uint32_t pixel = uint32_t(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255.0f)) << 24;
        for (int c = 0; c < 3; ++c) {
            const float v = alpha > 0.0f ? a[i * 4 + 1 + c] / alpha : 0.0f;
            pixel |= uint32_t(std::lround(std::clamp(v, 0.0f, 255.0f))) << (16 - 8 * c);
        }
        result[i] = pixel;
    }
    return result;
}

// The blurred file's bytes: read from the cache file, or made from the image and written there.
bool BlurredBytes(const std::string& path, float radius, bool bleed, std::vector<uint8_t>& bytes)
{
    const std::string hostPath = GetUserPath(BlurredCacheName(path, radius, bleed));
    if (platform::image::ReadFileBytes(hostPath, bytes) && !bytes.empty())
        return true;
    platform::image::Image image;
    FileHandle file = FileHandle::FromString(path);
    if (!file.IsOpen())
        file = FileHandle::FromString(kDefaultImage);
    const uint8_t* data = file.IsOpen() ? file.ReadAll() : nullptr;
    if (!data || !platform::image::DecodeImage(data, size_t(file.Size()), image)) {
        WriteLog("ImageCache: could not read %s for blurring\n", path.c_str());
        return false;
    }
    const auto blurred = Blur(image.argb, image.width, image.height, radius, bleed);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path(), ignored);
    bytes.clear();
    if (!platform::image::EncodePng(blurred.data(), image.width, image.height, image.width * 4, true, bytes))
        return false;
    if (!platform::image::WriteFileBytes(hostPath, bytes))
        WriteLog("ImageCache: could not write %s\n", hostPath.c_str());
    return true;
}

std::unique_ptr<AnimSurface> LoadBlurred(const std::string& path, float radius, bool bleed)
{
    std::vector<uint8_t> bytes;
    if (!BlurredBytes(path, radius, bleed, bytes))
        return nullptr;
    auto bitmap = std::make_unique<BitmapBaseSurface>();
    try {
        bitmap->LoadFromMemory(bytes.data(), bytes.size(), BlurredCacheName(path, radius, bleed), 0);
    } catch (const std::exception& e) {
        // A damaged cache file is dropped so that the next request makes it again.
        WriteLog("ImageCache: <%s> - %s", path.c_str(), e.what());
        std::error_code ignored;
        std::filesystem::remove(GetUserPath(BlurredCacheName(path, radius, bleed)), ignored);
        return nullptr;
    }
    auto image = std::make_unique<AnimSurface>();
    image->bitmap = bitmap.release();
    image->ResetFrames();
    return image;
}

AnimSurface* Get(const std::string& path, float radius, bool bleed)
{
    std::lock_guard lock(cacheLock);
    Entry& entry = entries[Key(path, radius, bleed)];
    if (!entry.image) {
        if (radius > 0.0f) {
            entry.image = LoadBlurred(path, radius, bleed);
        } else {
            auto image = std::make_unique<BitmapAnimSurface>();
            if (image->Init(path, 0, true) == 0)
                entry.image = std::move(image);
        }
        if (!entry.image) {
            entries.erase(Key(path, radius, bleed));
            return nullptr;
        }
    }
    ++entry.references;
    return entry.image.get();
}

} // namespace

AnimSurface* GetImage(const std::string& name) { return Get(GraphicsPath(name), 0.0f, false); }

AnimSurface* GetImageFromParts(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/')
        return GetImage(folder + name);
    return GetImage(folder + "\\" + name);
}

AnimSurface* GetBlurredImage(const std::string& name, float radius, bool bleed)
{
    return Get(GraphicsPath(name), radius > 0.0f ? radius : 0.0f, radius > 0.0f && bleed);
}

std::string BlurredCacheName(const std::string& name, float radius, bool bleed)
{
    const std::string text = GraphicsPath(name) + StringPrintf("%0.2f", radius) + (bleed ? "bleed" : "");
    return "Cache\\BlurredImages\\" + Md5String(text, "%02x") + ".png";
}

void ReleaseImage(AnimSurface* image)
{
    if (!image)
        return;
    std::lock_guard lock(cacheLock);
    for (auto it = entries.begin(); it != entries.end(); ++it)
        if (it->second.image.get() == image) {
            if (--it->second.references <= 0)
                entries.erase(it);
            return;
        }
}

int ReferenceCount(const AnimSurface* image)
{
    std::lock_guard lock(cacheLock);
    for (const auto& [key, entry] : entries)
        if (entry.image.get() == image)
            return entry.references;
    return 0;
}

size_t CachedImageCount()
{
    std::lock_guard lock(cacheLock);
    return entries.size();
}

void Clear()
{
    std::lock_guard lock(cacheLock);
    entries.clear();
}

} // namespace ImageCache
