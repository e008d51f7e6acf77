#pragma once
// The start trap's tank: a private copy of the "full_tank" image whose rows 31..99 show the
// stock, one row per flimb filling from the bottom. The rows are copied on the CPU from the
// full and empty images and the copy is uploaded to a texture of its own (when a device
// exists), drawn through an AnimSurface with the full image's frame layout.
#include <cstdint>
#include <memory>
#include <vector>

class AnimSurface;

class TankImage {
public:
    static constexpr int kRows = 100;
    static constexpr int kFirstTankRow = 31;
    static constexpr int kFullStock = 69;

    TankImage();
    ~TankImage();
    TankImage(const TankImage&) = delete;
    TankImage& operator=(const TankImage&) = delete;

    // Reads the pixels of the two images (their files) and makes the copy from the full one.
    // Without a full image the tank keeps nothing (draws nothing); a missing empty image
    // leaves the rows as they are.
    void Build(const AnimSurface* full, const AnimSurface* empty);
    void Clear();
    // The stock went from `before` to `after`: the rows that changed are copied.
    void ShowStock(int32_t before, int32_t after);

    // The copy drawn as the trap image; null when there is none.
    AnimSurface* Image() const { return image_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Pixel (x, y) of the CPU copy; 0 outside.
    uint32_t Pixel(int x, int y) const;
    // The source images' pixels (tests compare rows).
    uint32_t FullPixel(int x, int y) const;
    uint32_t EmptyPixel(int x, int y) const;

private:
    void CopyRows(const std::vector<uint32_t>& source, int from, int to);
    void Upload();

    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> full_;
    std::vector<uint32_t> empty_;
    std::vector<uint32_t> pixels_;
    std::unique_ptr<AnimSurface> image_;
};
