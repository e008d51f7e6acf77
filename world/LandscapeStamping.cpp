// Primitive stamping: images turned into masks at any scale and rotation and laid onto the
// terrain, the predefined brush masks, the editor's profile measure and the generator.
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "gui/LoadingScreen.h"
#include "media/AnimSurface.h"
#include "media/PngFile.h"
#include "world/Landscape.h"
#include "world/LockedBitmap.h"
#include "world/MaskReaders.h"
#include "world/MaskTransform.h"
#include "world/PredefinedMasks.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace {

// An error of a stamp: logged as "Bash Error: %s\n" by the operation that catches it.
class StampError : public std::exception {
public:
    explicit StampError(const char* message) : message_(message) {}
    const char* what() const noexcept override { return message_; }

private:
    const char* message_;
};

// The part of the image inside the rectangle (right and bottom exclusive; null = all of
// it), clipped; false when nothing is left.
bool SubImage(const BashMask& image, const BashRect* rect, BashMask& out)
{
    if (!image.pixels || image.width <= 0 || image.height <= 0)
        return false;
    BashRect r{0, 0, image.width, image.height};
    if (rect) {
        r.left = std::max(rect->left, 0);
        r.top = std::max(rect->top, 0);
        r.right = std::min(rect->right, image.width);
        r.bottom = std::min(rect->bottom, image.height);
    }
    if (r.right <= r.left || r.bottom <= r.top)
        return false;
    out = image;
    out.width = r.right - r.left;
    out.height = r.bottom - r.top;
    out.pixels = image.Row(r.top) + r.left;
    return true;
}

bool Finite(float a, float b, float c)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
}

// A float position as a whole pixel (truncated), kept well inside the int range.
int32_t WholePixel(float v)
{
    constexpr float kLimit = 1073741824.0f; // 2^30
    return static_cast<int32_t>(std::clamp(v, -kLimit, kLimit));
}

// The options block of a transformed mask's cache key: the reader kind, then (for masks of
// part of an image) the rectangle and the hot spot.
std::string KeyOptions(bool nearest, const BashRect* rect, int hotspotX, int hotspotY)
{
    std::string options = nearest ? "n" : "";
    if (rect)
        options += StringPrintf("%d,%d,%d,%d@%d,%d", rect->left, rect->top, rect->right, rect->bottom, hotspotX,
                                hotspotY);
    return options;
}

// Decodes a primitive file as a mask-shaped image; none (logged by the reader) on failure.
BashMaskPtr LoadPrimitiveImage(const std::string& fileName)
{
    PNGReader reader;
    if (!reader.Init(fileName, 1))
        return nullptr;
    BashMaskPtr image = AllocateBashMask(reader.Width(), reader.Height());
    if (!image)
        return nullptr;
    std::copy(reader.Pixels().begin(), reader.Pixels().end(), image->pixels);
    return image;
}

} // namespace

BashMaskPtr Landscape::GenerateBashMask(const BashMask& source, const BashRect* sourceRect, float scaleX, float scaleY,
                                        float rotation, bool nearest, int hotspotX, int hotspotY)
{
    if (!Finite(scaleX, scaleY, rotation)) {
        WriteLog("Mask refused: scale (%f, %f), rotation %f\n", double(scaleX), double(scaleY), double(rotation));
        return nullptr;
    }
    BashMask part;
    if (!SubImage(source, sourceRect, part)) {
        WriteLog("Cannot lock the GenerateBashMask source data\n");
        return nullptr;
    }
    const int angle = NormaliseMaskAngle(rotation);
    MaskTransform transform;
    MaskReader reader;
    MaskGeometry geometry;
    if (!ComputeMaskTransform(scaleX, scaleY, angle, nearest, part.width, part.height, transform, reader) ||
        !ComputeMaskGeometry(scaleX, scaleY, angle, part.width, part.height, false, geometry))
        return nullptr;
    BashMaskPtr mask = AllocateBashMask(geometry.width, geometry.height);
    if (!mask) {
        WriteLog("Mask refused: no memory for %d x %d\n", geometry.width, geometry.height);
        return nullptr;
    }
    TransformMaskPoint(scaleX, scaleY, angle, geometry, hotspotX, hotspotY, mask->hotspotX, mask->hotspotY);
    BlitImage(*mask, 0, 0, part, &reader);
    return mask;
}

const BashMask* Landscape::GenerateBashMask(const BashMask& source, const BashRect* sourceRect, float scaleX,
                                            float scaleY, float rotation, bool nearest, const std::string& name,
                                            int hotspotX, int hotspotY)
{
    if (name.empty()) {
        WriteLog("Mask refused: a kept mask needs a name\n");
        return nullptr;
    }
    const BashRect whole{0, 0, source.width, source.height};
    const std::string key = MaskCacheKey(NormaliseMaskAngle(rotation), scaleX, scaleY, name,
                                         KeyOptions(nearest || QuickLoadNearest(), sourceRect ? sourceRect : &whole,
                                                    hotspotX, hotspotY));
    if (const BashMask* kept = Primitives().FindMask(key))
        return kept;
    return Primitives().AddMask(
        key, GenerateBashMask(source, sourceRect, scaleX, scaleY, rotation, nearest, hotspotX, hotspotY));
}

uint32_t Landscape::BashPrimitive(const BashMask& image, const BashRect* frame, int hotspotX, int hotspotY,
                                  int material, float scaleX, float scaleY, float rotation, uint32_t affectedMaterials,
                                  BashOptions options, uint32_t tint, bool nearest, float x, float y)
{
    if (!std::isfinite(x) || !std::isfinite(y)) {
        WriteLog("Stamp refused: position (%f, %f)\n", double(x), double(y));
        return 0;
    }
    const BashMaskPtr mask =
        GenerateBashMask(image, frame, scaleX, scaleY, rotation, nearest, hotspotX, hotspotY);
    if (!mask)
        return 0;
    const float left = x - float(mask->hotspotX), top = y - float(mask->hotspotY);
    BashRect dest;
    dest.left = WholePixel(left);
    dest.top = WholePixel(top);
    dest.right = dest.left + mask->width;
    dest.bottom = dest.top + mask->height;
    return Bash(dest, mask.get(), material, true, affectedMaterials, options, MaskReader{}, tint, nullptr, false,
                false, nullptr, false, false);
}

uint32_t Landscape::BashPrimitive(const AnimSurface* image, int material, float scaleX, float scaleY, float rotation,
                                  uint32_t affectedMaterials, BashOptions options, uint32_t tint, bool nearest,
                                  const BashRect* inset, float x, float y)
{
    if (!image || !image->bitmap)
        return 0;
    const LockedBitmap locked(image->bitmap);
    if (!locked.Locked()) {
        WriteLog("Cannot lock the GenerateBashMask source data\n");
        return 0;
    }
    BashRect frame{image->sourceRect.left, image->sourceRect.top, image->sourceRect.right, image->sourceRect.bottom};
    if (frame.right <= frame.left || frame.bottom <= frame.top)
        frame = {0, 0, locked.Image().width, locked.Image().height};
    if (inset) {
        frame.left += inset->left;
        frame.top += inset->top;
        frame.right -= inset->right;
        frame.bottom -= inset->bottom;
    }
    return BashPrimitive(locked.Image(), &frame, image->hotspotX, image->hotspotY, material, scaleX, scaleY, rotation,
                         affectedMaterials, options, tint, nearest, x, y);
}

uint32_t Landscape::BashPrimitiveAt(const AnimSurface* image, int material, float scaleX, float scaleY, float rotation,
                                    uint32_t affectedMaterials, BashOptions options, uint32_t tint, bool nearest,
                                    const BashRect* inset, int x, int y)
{
    return BashPrimitive(image, material, scaleX, scaleY, rotation, affectedMaterials, options, tint, nearest, inset,
                         float(x), float(y));
}

uint32_t Landscape::BashPrimitiveFile(int material, const std::string& fileName, BashOptions options,
                                      uint32_t affectedMaterials, float scaleX, float scaleY, float rotation,
                                      bool centred, BashMask* destination, uint32_t tint, int cacheFlags,
                                      bool nearest, BashEmitter* emitter, bool multiplyTint, BashMask* copyOut,
                                      bool shadow, float x, float y)
{
    if (verboseLog)
        WriteLog("BASH: %s; Scale (%f, %f), Rotation: (%f)\n", fileName.c_str(), double(scaleX), double(scaleY),
                 double(rotation));
    if (!Finite(scaleX, scaleY, rotation) || !std::isfinite(x) || !std::isfinite(y)) {
        WriteLog("Stamp refused: %s with scale (%f, %f), rotation %f at (%f, %f)\n", fileName.c_str(),
                 double(scaleX), double(scaleY), double(rotation), double(x), double(y));
        return 0;
    }
    if (!IsPrimitiveNameAllowed(fileName)) {
        WriteLog("Primitive name refused [%s]: not a path below Graphics\\\n", fileName.c_str());
        return 0;
    }
    try {
        PrimitiveCache& cache = Primitives();
        const int angle = NormaliseMaskAngle(rotation);
        const bool identity = angle == 0 && scaleX == 1.0f && scaleY == 1.0f;
        const bool useNearest = nearest || QuickLoadNearest();

        const std::string baseKey = MaskCacheKey(0, 1.0f, 1.0f, fileName);
        const BashMask* image = cache.FindImage(baseKey);
        if (!image) {
            image = cache.AddImage(baseKey, LoadPrimitiveImage(fileName));
            if (!image) {
                WriteLog("Failed to load primitive [%s]\n", fileName.c_str());
                return 0;
            }
        }

        MaskGeometry geometry;
        if (!ComputeMaskGeometry(scaleX, scaleY, angle, image->width, image->height, centred, geometry))
            return 0;
        const BashMask* source = image;
        MaskTransform transform;
        MaskReader reader;
        if (!identity) {
            const std::string fullKey = MaskCacheKey(angle, scaleX, scaleY, fileName, useNearest ? "n" : "");
            if (const BashMask* copy = cache.FindImage(fullKey)) {
                source = copy;
            } else {
                if (!ComputeMaskTransform(scaleX, scaleY, angle, nearest, image->width, image->height, transform,
                                          reader))
                    return 0;
                if (!destination && (cacheFlags & kCacheStore) && geometry.width <= kLargestCachedCopy &&
                    geometry.height <= kLargestCachedCopy) {
                    if (verboseLog)
                        WriteLog("CACHE ");
                    BashMaskPtr copy = AllocateBashMask(geometry.width, geometry.height);
                    if (!copy)
                        throw StampError("Cannot lock the cache buffer");
                    BlitImage(*copy, 0, 0, *image, &reader);
                    source = cache.AddImage(fullKey, std::move(copy));
                    reader = {};
                }
            }
        }

        if (destination) {
            if (!destination->pixels)
                throw StampError("Cannot lock the bash mask");
            BlitImage(*destination, RoundToInt(x), RoundToInt(y), *source, &reader);
            return 0;
        }
        const int64_t left = int64_t(WholePixel(x)) + geometry.left;
        const int64_t top = int64_t(WholePixel(y)) + geometry.top;
        const BashRect dest{int32_t(left), int32_t(top), int32_t(left + geometry.width),
                            int32_t(top + geometry.height)};
        return Bash(dest, source, material, true, affectedMaterials, options, reader, tint, emitter, multiplyTint,
                    false, copyOut, false, shadow);
    } catch (const std::exception& error) {
        WriteLog("Bash Error: %s\n", error.what());
        return 0;
    }
}

uint32_t Landscape::BashPrimitiveFileAt(int material, const std::string& fileName, BashOptions options,
                                        uint32_t affectedMaterials, float scaleX, float scaleY, float rotation,
                                        bool centred, uint32_t tint, int cacheFlags, bool multiplyTint, int x, int y)
{
    return BashPrimitiveFile(material, fileName, options, affectedMaterials, scaleX, scaleY, rotation, centred,
                             nullptr, tint, cacheFlags, false, nullptr, multiplyTint, nullptr, false, float(x),
                             float(y));
}

BashMaskPtr Landscape::LoadPredefinedMask(int mask, float scale, int direction, int flip)
{
    const char* file = PredefinedMaskFile(mask);
    if (!file)
        return nullptr;
    const std::string path = std::string("Graphics\\") + file;
    // The file's size: from the primitive cache when the image is there, else decoded.
    int width = 0, height = 0;
    if (const BashMask* kept = Primitives().FindImage(MaskCacheKey(0, 1.0f, 1.0f, path))) {
        width = kept->width;
        height = kept->height;
    } else {
        PNGReader reader;
        if (!reader.Init(path, 1))
            return nullptr;
        width = reader.Width();
        height = reader.Height();
    }
    PredefinedMaskShape shape;
    if (!PredefinedMaskShapeFor(mask, width, height, scale, direction, flip, shape)) {
        WriteLog("Brush mask %d refused: scale %f, direction %d, flip %d\n", mask, double(scale), direction, flip);
        return nullptr;
    }
    BashMaskPtr built = AllocateBashMask(shape.width, shape.height);
    if (!built)
        return nullptr;
    built->hotspotX = shape.hotspotX;
    built->hotspotY = shape.hotspotY;
    BashPrimitiveFile(1, path, BashOptions{}, kAllMaterials, shape.scaleX, shape.scaleY, shape.rotation, false,
                      built.get(), 0xFFFFFFFFu, kCacheLookup | kCacheStore, true, nullptr, false, nullptr, false, 0.0f,
                      0.0f);
    return built;
}

int Landscape::MeasureImageProfile(const BashMask& image, int direction, float rotation, float scaleX, float scaleY,
                                   int32_t* output, int lineCount)
{
    if (direction < 0 || direction > 3 || (!output && lineCount > 0))
        return -1;
    const BashMaskPtr mask = GenerateBashMask(image, nullptr, scaleX, scaleY, rotation, true, 0, 0);
    if (!mask)
        return -1;
    constexpr uint32_t kSolidAlpha = 150;
    const bool columns = direction < 2;
    const int lines = std::min(lineCount, columns ? mask->width : mask->height);
    const int length = columns ? mask->height : mask->width;
    for (int i = 0; i < lines; ++i) {
        for (int k = 0; k < length; ++k) {
            int x = 0, y = 0;
            switch (direction) {
            case 0: x = i, y = length - 1 - k; break;
            case 1: x = i, y = k; break;
            case 2: x = k, y = i; break;
            default: x = length - 1 - k, y = i; break;
            }
            if ((mask->Row(y)[x] >> 24) >= kSolidAlpha) {
                output[i] = k;
                break;
            }
        }
    }
    return 0;
}

int Landscape::MeasureImageProfile(const BitmapBaseSurface* image, int direction, float rotation, float scaleX,
                                   float scaleY, int32_t* output, int lineCount)
{
    const LockedBitmap locked(image);
    if (!locked.Locked())
        return -1;
    return MeasureImageProfile(locked.Image(), direction, rotation, scaleX, scaleY, output, lineCount);
}

void Landscape::ClearPrimitives()
{
    primitives_->Clear();
    ownPrimitives_.Clear();
}

void Landscape::Generate(int offset)
{
    if (suppressed) {
        WriteLog("Generate refused: the landscape is suppressed\n");
        return;
    }
    Clear();
    if (Create(1024, 768) != kCreated)
        return;
    constexpr int kColumns = 8, kRows = 6;
    LoadingScreen* screen = LoadingScreen::Shown();
    if (screen) {
        screen->SetProgressRange(kColumns * kRows);
        screen->SetCaption(TranslateText("Generating landscape"));
    }
    for (int column = 0; column < kColumns; ++column) {
        for (int row = 0; row < kRows; ++row) {
            BashBrush(kNovaMask, 1, 0, 0, 1, false, kLooseMaterials, nullptr, 0xFF808080u, column * kTileSize + offset,
                      row * kTileSize - offset);
            if (screen)
                screen->AddProgress(1);
        }
    }
    if (screen)
        screen->SetCaption({});
}
