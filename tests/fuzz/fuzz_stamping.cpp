// Primitive stamping fed with image bytes and a transform, as level files and network bashes
// would feed it: the bytes (after a 21-byte header) are a primitive file; the header holds
// the scales, the rotation, a source rectangle, the hot spot, the position, the centring,
// the cache flags, the reader and the material. The image goes through GenerateBashMask and
// through BashPrimitiveFile into a small landscape (or into a destination image).
#include "FuzzHome.h"
#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "platform/image/ImageCodec.h"
#include "world/Landscape.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// The harness keeps masks below this side: the game accepts up to 16,384, which would let
// one input allocate a gigabyte.
constexpr float kLargestSide = 2048.0f;
constexpr int kLargestImage = 256;
const char* const kName = "Graphics\\Fuzz\\primitive.png";
volatile uint32_t maskSink = 0;

struct Header {
    uint8_t mode;     // bit 0 centred, bits 1-2 cache flags, 3 nearest, 4 raw floats, 5 adds, 6 rectangle, 7 destination
    uint8_t scale[8]; // two floats, raw or a signed byte / 16 in the first byte
    uint8_t rotation[4];
    int8_t rect[4];
    uint8_t hotspot[2];
    int8_t position[2];
};
static_assert(sizeof(Header) == 21);

float Value(const uint8_t* bytes, bool raw, float step)
{
    if (raw) {
        float v;
        std::memcpy(&v, bytes, sizeof v);
        return v;
    }
    return float(int8_t(bytes[0])) / step;
}

FileManager& Files(MemoryFileManager*& memory)
{
    static FileManager manager;
    static MemoryFileManager* held = [] {
        auto made = std::make_unique<MemoryFileManager>();
        MemoryFileManager* raw = made.get();
        manager.AddMember(std::move(made));
        fileManager = &manager;
        return raw;
    }();
    memory = held;
    return manager;
}

// False for a PNG header larger than the harness takes; anything else goes to the decoder.
bool SmallPng(const uint8_t* data, size_t size)
{
    if (size < 24 || std::memcmp(data, "\x89PNG", 4) != 0)
        return true;
    const uint32_t w = uint32_t(data[16]) << 24 | uint32_t(data[17]) << 16 | uint32_t(data[18]) << 8 | data[19];
    const uint32_t h = uint32_t(data[20]) << 24 | uint32_t(data[21]) << 16 | uint32_t(data[22]) << 8 | data[23];
    return w <= kLargestImage && h <= kLargestImage;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        UseTemporaryHome();
        DiscardLog();
        return true;
    }();
    (void)ready;
    if (size < sizeof(Header))
        return 0;
    Header h;
    std::memcpy(&h, data, sizeof h);
    const uint8_t* image = data + sizeof h;
    const size_t imageSize = size - sizeof h;
    if (!SmallPng(image, imageSize))
        return 0;

    const bool raw = (h.mode & 0x10) != 0;
    const float sx = Value(h.scale, raw, 16.0f), sy = Value(h.scale + 4, raw, 16.0f);
    const float rotation = raw ? Value(h.rotation, true, 1.0f) : float(int16_t(h.rotation[0] | h.rotation[1] << 8));
    // Keep the mask below the harness's limit (non-finite values go through: they are refused).
    const float reach = (std::fabs(sx) + std::fabs(sy)) * float(kLargestImage);
    if (std::isfinite(reach) && reach > kLargestSide)
        return 0;

    MemoryFileManager* memory = nullptr;
    FileManager& files = Files(memory);
    memory->AddFile(kName, image, imageSize);
    files.IndexNames(nullptr, 0, nullptr);

    // Straight through GenerateBashMask.
    platform::image::Image decoded;
    if (platform::image::DecodePng(image, imageSize, decoded)) {
        BashMask view;
        view.width = int32_t(decoded.width);
        view.height = int32_t(decoded.height);
        view.pitch = view.width * 4;
        view.pixels = decoded.argb.data();
        const BashRect rect{h.rect[0], h.rect[1], h.rect[2], h.rect[3]};
        const BashMaskPtr mask = Landscape::GenerateBashMask(view, (h.mode & 0x40) ? &rect : nullptr, sx, sy,
                                                             rotation, (h.mode & 0x08) != 0, h.hotspot[0],
                                                             h.hotspot[1]);
        if (mask)
            maskSink = mask->Row(mask->height - 1)[mask->width - 1];
    }

    // And as a primitive file into a small landscape with a wrapping edge.
    Landscape land;
    land.Create(96, 80);
    land.edgeModes = {TileStore::kEdgeWrap, TileStore::kEdgeOpen, TileStore::kEdgeWall, TileStore::kEdgeWrap};
    land.SetPixel(1, true, 0xFF886B0Bu, 0, 40, 95, 79);
    BashMaskPtr destination = (h.mode & 0x80) ? AllocateBashMask(17, 13) : nullptr;
    BashMaskPtr copyOut = AllocateBashMask(33, 9);
    land.BashPrimitiveFile((h.mode & 0x20) ? 3 : 0, kName, BashOptions{}, kAllMaterials, sx, sy, rotation,
                           (h.mode & 0x01) != 0, destination.get(), 0xFF808080u, (h.mode >> 1) & 3,
                           (h.mode & 0x08) != 0, nullptr, false, copyOut.get(), (h.mode & 0x04) != 0,
                           float(h.position[0]), float(h.position[1]));
    // Again from the kept copy, when there is one.
    land.BashPrimitiveFile(1, kName, BashOptions{}, kAllMaterials, sx, sy, rotation, false, nullptr, 0xFFFFFFFFu, 2,
                           false, nullptr, true, nullptr, false, 48.0f, 20.0f);
    land.ComputeChecksum();
    memory->RemoveFile(kName);
    return 0;
}
