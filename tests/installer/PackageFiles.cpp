#include "tests/installer/PackageFiles.h"
#include "tests/support/Deflate.h"

#include <minizip/zip.h>
#include <zlib.h>

#include <fstream>
#include <iterator>

namespace {

bool AddEntry(zipFile zip, const std::string& name, const std::string& bytes)
{
    zip_fileinfo info{};
    if (zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_DEFAULT_COMPRESSION, 0) != ZIP_OK)
        return false;
    const bool written = bytes.empty() ||
                         zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK;
    return zipCloseFileInZip(zip) == ZIP_OK && written;
}

bool WriteAll(const std::string& hostPath, const PackageEntries& entries, const RawPackageEntry* raw)
{
    zipFile zip = zipOpen64(hostPath.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool ok = true;
    for (const auto& [name, bytes] : entries)
        ok = ok && AddEntry(zip, name, bytes);
    if (ok && raw) {
        zip_fileinfo info{};
        const std::string deflated = DeflateBytes(raw->inflated, -15);
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(raw->inflated.data()),
                                static_cast<uInt>(raw->inflated.size()));
        ok = zipOpenNewFileInZip2_64(zip, raw->name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9,
                                     1, 1) == ZIP_OK &&
             zipWriteInFileInZip(zip, deflated.data(), static_cast<unsigned>(deflated.size())) == ZIP_OK &&
             zipCloseFileInZipRaw64(zip, raw->declaredSize, crc) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

} // namespace

bool WritePackageFile(const std::string& hostPath, const PackageEntries& entries)
{
    return WriteAll(hostPath, entries, nullptr);
}

bool WritePackageFileWithRawEntry(const std::string& hostPath, const PackageEntries& entries,
                                  const RawPackageEntry& raw)
{
    return WriteAll(hostPath, entries, &raw);
}

std::string ReadWholeTestFile(const std::string& hostPath)
{
    std::ifstream in(hostPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string LevelWithTitle(const std::string& title)
{
    return "<?xml version=\"1.0\"?>\n<flimbs-level><globals><title>" + title +
           "</title></globals><groups/></flimbs-level>\n";
}

std::string PackageInfo(const std::string& title, const std::string& description)
{
    return "<?xml version=\"1.0\"?>\n<package_info><title>" + title + "</title><description>" + description +
           "</description></package_info>\n";
}
