#include "media/PngFile.h"

#include "app/FileManager.h"
#include "app/Log.h"
#include "platform/image/ImageCodec.h"

bool PNGReader::Init(const std::string& path, int /*flags*/)
{
    width_ = height_ = 0;
    argb_.clear();
    FileHandle file = FileHandle::FromString(path);
    const uint8_t* bytes = file.IsOpen() ? file.ReadAll() : nullptr;
    if (!bytes) {
        WriteLog("PNGReader: %s not found\n", path.c_str());
        return false;
    }
    platform::image::Image image;
    std::string error;
    if (!platform::image::DecodePng(bytes, size_t(file.Size()), image, &error)) {
        WriteLog("PNGReader: %s - %s\n", path.c_str(), error.c_str());
        return false;
    }
    width_ = image.width;
    height_ = image.height;
    argb_ = std::move(image.argb);
    return true;
}

bool WritePngFile(const std::string& hostPath, const uint32_t* argb, int width, int height)
{
    std::vector<uint8_t> bytes;
    if (!argb || width <= 0 || height <= 0 ||
        !platform::image::EncodePng(argb, width, height, width * 4, true, bytes) ||
        !platform::image::WriteFileBytes(hostPath, bytes)) {
        WriteLog("Could not write PNG %s\n", hostPath.c_str());
        return false;
    }
    return true;
}
