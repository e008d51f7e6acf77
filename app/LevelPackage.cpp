#include "app/LevelPackage.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <sys/stat.h>

namespace {

// ---- minizip over a buffer in memory -------------------------------------------------------

struct MemoryArchive {
    const char* data = nullptr;
    uint64_t size = 0;
    uint64_t position = 0;
};

voidpf ZCALLBACK OpenMemory(voidpf opaque, const void*, int mode)
{
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    auto* archive = static_cast<MemoryArchive*>(opaque);
    archive->position = 0;
    return archive;
}

uLong ZCALLBACK ReadMemory(voidpf, voidpf stream, void* buffer, uLong size)
{
    auto* archive = static_cast<MemoryArchive*>(stream);
    const uint64_t left = archive->size - std::min(archive->position, archive->size);
    const uint64_t count = std::min<uint64_t>(size, left);
    if (count)
        std::memcpy(buffer, archive->data + archive->position, count);
    archive->position += count;
    return static_cast<uLong>(count);
}

uLong ZCALLBACK WriteMemory(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK TellMemory(voidpf, voidpf stream)
{
    return static_cast<MemoryArchive*>(stream)->position;
}

long ZCALLBACK SeekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* archive = static_cast<MemoryArchive*>(stream);
    uint64_t base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = archive->position; break;
    case ZLIB_FILEFUNC_SEEK_END: base = archive->size; break;
    default: return -1;
    }
    if (offset > archive->size || base > archive->size - offset)
        return -1;
    archive->position = base + offset;
    return 0;
}

int ZCALLBACK CloseMemory(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK ErrorMemory(voidpf, voidpf)
{
    return 0;
}

// The open archive, closed when it goes.
class ZipReader {
public:
    explicit ZipReader(std::string_view bytes)
    {
        memory_.data = bytes.data();
        memory_.size = bytes.size();
        zlib_filefunc64_def functions{};
        functions.zopen64_file = OpenMemory;
        functions.zread_file = ReadMemory;
        functions.zwrite_file = WriteMemory;
        functions.ztell64_file = TellMemory;
        functions.zseek64_file = SeekMemory;
        functions.zclose_file = CloseMemory;
        functions.zerror_file = ErrorMemory;
        functions.opaque = &memory_;
        file_ = unzOpen2_64("memory", &functions);
    }
    ~ZipReader()
    {
        if (file_)
            unzClose(file_);
    }
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    unzFile Handle() const { return file_; }

private:
    MemoryArchive memory_;
    unzFile file_ = nullptr;
};

// The name and sizes of the current entry; false when the directory entry is broken.
bool CurrentEntry(unzFile file, std::string& name, unz_file_info64& info)
{
    if (unzGetCurrentFileInfo64(file, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    name.assign(info.size_filename, '\0');
    if (info.size_filename &&
        unzGetCurrentFileInfo64(file, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr, 0) !=
            UNZ_OK)
        return false;
    return true;
}

// Inflates the current entry into `bytes`, refusing more than `limit` bytes or more than it
// declared. Empty on success, else the reason.
std::string ReadCurrentEntry(unzFile file, const unz_file_info64& info, uint64_t limit, std::string& bytes)
{
    if (info.flag & 1)
        return "encrypted";
    if (unzOpenCurrentFile(file) != UNZ_OK)
        return "cannot be opened";
    bytes.clear();
    bytes.reserve(static_cast<size_t>(std::min<uint64_t>(info.uncompressed_size, limit)));
    std::string problem;
    char chunk[16384];
    for (;;) {
        const int got = unzReadCurrentFile(file, chunk, sizeof chunk);
        if (got < 0) {
            problem = "broken data";
            break;
        }
        if (got == 0)
            break;
        if (bytes.size() + size_t(got) > limit) {
            problem = "inflates beyond its cap";
            break;
        }
        if (bytes.size() + size_t(got) > info.uncompressed_size) {
            problem = "inflates beyond its declared size";
            break;
        }
        bytes.append(chunk, size_t(got));
    }
    const int closed = unzCloseCurrentFile(file);
    if (problem.empty() && closed == UNZ_CRCERROR)
        problem = "checksum mismatch";
    if (problem.empty() && bytes.size() != info.uncompressed_size)
        problem = "shorter than declared";
    if (!problem.empty())
        bytes.clear();
    return problem;
}

// The first text of the first child element of `parent` with this name (case ignored).
std::string ChildText(xmlNode* parent, const char* name, bool* found = nullptr)
{
    for (xmlNode* child = parent ? XmlChildren(parent) : nullptr; child; child = XmlNext(child))
        if (EqualsNoCase(XmlName(child), name)) {
            if (found)
                *found = true;
            return XmlNodeText(child);
        }
    return {};
}

void ReadInfo(const std::string& bytes, const std::string& label, PackageContents& contents)
{
    contents.hasInfo = true;
    XmlDocument doc = XmlParseBuffer(bytes.data(), bytes.size(), label);
    xmlNode* root = XmlRoot(doc.get());
    if (!root) {
        WriteLog("WARNING: package %s: package.xml is not XML\n", label.c_str());
        return;
    }
    contents.title = ChildText(root, "title");
    contents.description = ChildText(root, "description");
}

void ReadLevelTitle(PackageLevel& level, const std::string& label)
{
    XmlDocument doc = XmlParseBuffer(level.bytes.data(), level.bytes.size(), label + ":" + level.entryName);
    xmlNode* globals = nullptr;
    if (xmlNode* root = XmlRoot(doc.get()))
        for (xmlNode* child = XmlChildren(root); child && !globals; child = XmlNext(child))
            if (XmlName(child) == "globals")
                globals = child;
    xmlNode* title = nullptr;
    for (xmlNode* child = globals ? XmlChildren(globals) : nullptr; child && !title; child = XmlNext(child))
        if (XmlName(child) == "title")
            title = child;
    level.title = XmlNodeText(title);
    level.titleRead = !level.title.empty();
    if (!level.titleRead)
        WriteLog("WARNING: package %s: level %s has no readable title\n", label.c_str(), level.entryName.c_str());
}

// A name as it may go into a log line or a message: control characters shown as '?'.
std::string Printable(const std::string& name)
{
    std::string shown = name;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return shown;
}

void Refuse(PackageContents& contents, const std::string& label, const std::string& name, const std::string& reason)
{
    const std::string shown = Printable(name);
    WriteLog("WARNING: package %s: entry [%s] refused: %s\n", label.c_str(), shown.c_str(), reason.c_str());
    contents.refused.push_back({shown, reason});
}

// An archive of no entries: only the end record of the central directory (which minizip
// does not find when it starts the file).
bool IsEmptyArchive(std::string_view archive)
{
    constexpr size_t kEndRecordSize = 22;
    if (archive.size() < kEndRecordSize || archive.compare(0, 4, "PK\x05\x06") != 0)
        return false;
    auto field = [&](size_t at) { return unsigned(uint8_t(archive[at])) | unsigned(uint8_t(archive[at + 1])) << 8; };
    return field(8) == 0 && field(10) == 0 && archive.size() == kEndRecordSize + field(20);
}

} // namespace

bool IsPlainPackageEntryName(std::string_view name)
{
    if (name.empty() || name.size() > 255 || name.front() == '.' || name.find("..") != std::string_view::npos)
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\' || c == ':')
            return false;
    return true;
}

PackageContents ReadPackageFromMemory(std::string_view archive, const std::string& label)
{
    PackageContents contents;
    if (archive.size() > kPackageMaxFileBytes) {
        contents.error = "the package is too large";
        WriteLog("ERROR: package %s: %s\n", label.c_str(), contents.error.c_str());
        return contents;
    }
    if (IsEmptyArchive(archive)) {
        contents.opened = true; // nothing in it: listed empty, nothing to install
        return contents;
    }
    ZipReader zip(archive);
    unzFile file = zip.Handle();
    unz_global_info64 global{};
    if (!file || unzGetGlobalInfo64(file, &global) != UNZ_OK) {
        contents.error = "not a package (no ZIP archive)";
        WriteLog("ERROR: package %s: %s\n", label.c_str(), contents.error.c_str());
        return contents;
    }
    if (global.number_entry > kPackageMaxEntries) {
        contents.error = StringPrintf("too many entries (%llu)", static_cast<unsigned long long>(global.number_entry));
        WriteLog("ERROR: package %s: %s\n", label.c_str(), contents.error.c_str());
        return contents;
    }
    contents.opened = true;
    contents.entryCount = global.number_entry;

    uint64_t total = 0;
    std::set<std::string> seen; // level names, lower case
    int step = global.number_entry ? unzGoToFirstFile(file) : UNZ_END_OF_LIST_OF_FILE;
    for (uint64_t index = 0; step == UNZ_OK && index < global.number_entry; ++index, step = unzGoToNextFile(file)) {
        std::string name;
        unz_file_info64 info{};
        if (!CurrentEntry(file, name, info)) {
            Refuse(contents, label, StringPrintf("#%llu", static_cast<unsigned long long>(index)), "broken directory entry");
            break;
        }
        const bool isInfo = name.find("package.xml") != std::string::npos;
        const bool isLevel = !isInfo && name.find(".flevel") != std::string::npos;
        if (!IsPlainPackageEntryName(name)) {
            Refuse(contents, label, name, "not a plain file name");
            continue;
        }
        if (!isInfo && !isLevel)
            continue; // a preview
        if (isLevel && !EndsWithNoCase(name, ".flevel")) {
            Refuse(contents, label, name, "not a level file name");
            continue;
        }
        if (isInfo && contents.hasInfo) {
            Refuse(contents, label, name, "a second package description");
            continue;
        }
        if (isLevel && !seen.insert(ToLowerAscii(name)).second) {
            Refuse(contents, label, name, "a repeated name");
            continue;
        }
        const uint64_t cap = std::min(isInfo ? kPackageMaxInfoBytes : kPackageMaxLevelBytes,
                                      kPackageMaxTotalBytes - total);
        if (info.uncompressed_size > cap) {
            Refuse(contents, label, name, "too large");
            continue;
        }
        std::string bytes;
        if (const std::string problem = ReadCurrentEntry(file, info, cap, bytes); !problem.empty()) {
            Refuse(contents, label, name, problem);
            continue;
        }
        total += bytes.size();
        if (isInfo) {
            ReadInfo(bytes, label, contents);
            continue;
        }
        PackageLevel level;
        level.entryName = name;
        level.generated = name.find("f_dm_") != std::string::npos;
        level.bytes = std::move(bytes);
        ReadLevelTitle(level, label);
        contents.levels.push_back(std::move(level));
    }
    if (step != UNZ_OK && step != UNZ_END_OF_LIST_OF_FILE)
        WriteLog("WARNING: package %s: the archive's directory ends early\n", label.c_str());
    return contents;
}

PackageContents ReadPackage(const std::string& hostPath)
{
    PackageContents contents;
    struct stat info {};
    if (hostPath.empty() || ::stat(hostPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        contents.error = "the package file cannot be found";
        WriteLog("ERROR: package [%s]: %s\n", hostPath.c_str(), contents.error.c_str());
        return contents;
    }
    if (uint64_t(info.st_size) > kPackageMaxFileBytes) {
        contents.error = "the package is too large";
        WriteLog("ERROR: package [%s]: %s\n", hostPath.c_str(), contents.error.c_str());
        return contents;
    }
    std::ifstream in(hostPath, std::ios::binary);
    std::string bytes;
    bytes.resize(size_t(info.st_size));
    if (!in || !in.read(bytes.data(), std::streamsize(bytes.size()))) {
        contents.error = "the package file cannot be read";
        WriteLog("ERROR: package [%s]: %s\n", hostPath.c_str(), contents.error.c_str());
        return contents;
    }
    return ReadPackageFromMemory(bytes, hostPath);
}
