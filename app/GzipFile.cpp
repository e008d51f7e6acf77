#include "app/GzipFile.h"

#include "app/AtomicFile.h"
#include "app/FileManager.h"
#include "app/HostPath.h"
#include "app/Log.h"
#include "app/UserFolders.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {
constexpr size_t kInputSize = 4095;
constexpr size_t kTrialSize = 100;
} // namespace

struct GzipFile::State {
    int handle = 0;          // fileManager handle when reading
    std::FILE* plain = nullptr;
    gzFile gz = nullptr;
    std::unique_ptr<AtomicFileSave> save; // a new file is written beside its target
    bool writeFailed = false;
    bool reading = false;
    bool inflating = false;
    z_stream stream{};
    unsigned char input[kInputSize];
    bool endOfInput = false;
};

GzipFile::GzipFile() : state_(std::make_unique<State>()) {}

GzipFile::~GzipFile()
{
    Close();
}

bool GzipFile::OpenUserFileForReading(const std::string& name)
{
    // Files of the user folders (recordings, caches) that the file manager does not serve,
    // and host paths, are read from the disk directly.
    const bool hostPath = !name.empty() && name.front() == '/';
    if (!hostPath && !(IsConfinedRelativePath(name) && IsUserFolderPath(name)))
        return false;
    const std::string path = hostPath ? name : ResolveHostPathNoCase(GetUserRoot(), name);
    if (path.empty() || !std::filesystem::is_regular_file(path))
        return false;
    state_->plain = std::fopen(path.c_str(), "rb");
    return state_->plain != nullptr;
}

size_t GzipFile::RawRead(void* destination, size_t count)
{
    State& s = *state_;
    if (s.handle && fileManager)
        return fileManager->Read(s.handle, destination, count);
    if (s.plain)
        return std::fread(destination, 1, count, s.plain);
    return 0;
}

void GzipFile::RawRewind()
{
    State& s = *state_;
    if (s.handle && fileManager)
        fileManager->Seek(s.handle, 0, 0);
    else if (s.plain)
        std::rewind(s.plain);
}

bool GzipFile::IsOpen() const
{
    return state_->handle != 0 || state_->plain || state_->gz;
}

bool GzipFile::Open(const char* mode, const std::string& name)
{
    Close();
    State& s = *state_;
    const std::string m = mode ? mode : "";
    if (m == "r" || m == "rb") {
        // A host path (a file the player named) is not the file manager's to refuse.
        if (fileManager && (name.empty() || name.front() != '/'))
            s.handle = fileManager->Open(name);
        if (s.handle == 0 && !OpenUserFileForReading(name))
            return false;
        s.reading = true;
        s.endOfInput = false;
        s.stream = z_stream{};
        if (inflateInit2(&s.stream, 31) != Z_OK) {
            compressed = false;
        } else {
            unsigned char trial[kTrialSize];
            unsigned char out[4096];
            const size_t got = RawRead(trial, sizeof trial);
            s.stream.next_in = trial;
            s.stream.avail_in = static_cast<uInt>(got);
            s.stream.next_out = out;
            s.stream.avail_out = sizeof out;
            const int result = inflate(&s.stream, Z_NO_FLUSH);
            compressed = got > 0 && result != Z_DATA_ERROR && result != Z_STREAM_ERROR;
            if (compressed) {
                inflateReset(&s.stream);
                s.inflating = true;
            } else {
                inflateEnd(&s.stream);
            }
            s.stream.next_in = s.input;
            s.stream.avail_in = 0;
        }
        RawRewind();
        return true;
    }
    const std::string path = HostPathForWrite(name);
    if (path.empty())
        return false;
    std::string target = path;
    if (m.find('a') == std::string::npos) {
        // Writing anew: the target is replaced only when Close finishes the whole file.
        s.save = std::make_unique<AtomicFileSave>(path);
        if (!s.save->IsOpen()) {
            s.save.reset();
            return false;
        }
        target = s.save->TemporaryPath();
    } else {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    }
    s.writeFailed = false;
    if (compressed)
        s.gz = gzopen(target.c_str(), m.c_str());
    else
        s.plain = std::fopen(target.c_str(), m.c_str());
    if (!IsOpen())
        s.save.reset();
    return IsOpen();
}

size_t GzipFile::Read(void* destination, size_t count)
{
    State& s = *state_;
    if (!s.reading || !destination)
        return 0;
    if (!s.inflating)
        return RawRead(destination, count);
    s.stream.next_out = static_cast<Bytef*>(destination);
    s.stream.avail_out = static_cast<uInt>(std::min<size_t>(count, UINT32_MAX));
    while (s.stream.avail_out > 0) {
        if (s.stream.avail_in == 0) {
            if (s.endOfInput)
                break;
            const size_t got = RawRead(s.input, kInputSize);
            if (got == 0) {
                s.endOfInput = true;
                break;
            }
            s.stream.next_in = s.input;
            s.stream.avail_in = static_cast<uInt>(got);
        }
        const int result = inflate(&s.stream, Z_NO_FLUSH);
        if (result == Z_STREAM_END) {
            inflateReset(&s.stream); // a following member continues the stream
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            return 0;
        }
    }
    return count - s.stream.avail_out;
}

size_t GzipFile::Write(const void* data, size_t count)
{
    State& s = *state_;
    size_t written = 0;
    if (s.reading) {
        return 0;
    } else if (s.plain) {
        written = std::fwrite(data, 1, count, s.plain);
    } else if (s.gz) {
        const int got = gzwrite(s.gz, data, static_cast<unsigned>(count));
        written = got > 0 ? static_cast<size_t>(got) : 0;
    } else {
        return 0;
    }
    if (written != count)
        s.writeFailed = true;
    return written;
}

bool GzipFile::Close()
{
    State& s = *state_;
    if (s.inflating)
        inflateEnd(&s.stream);
    s.inflating = false;
    if (s.handle && fileManager)
        fileManager->Close(s.handle);
    s.handle = 0;
    s.reading = false;
    bool ok = !s.writeFailed;
    if (s.plain && std::fclose(s.plain) != 0)
        ok = false;
    s.plain = nullptr;
    if (s.gz && gzclose(s.gz) != Z_OK)
        ok = false;
    s.gz = nullptr;
    if (s.save) {
        if (ok)
            ok = s.save->Commit();
        else
            WriteLog("ERROR: cannot save [%s]: write failed\n", s.save->TargetPath().c_str());
        s.save.reset(); // removes the temporary when it was not committed
    }
    s.writeFailed = false;
    return ok;
}

bool GzipFileCopy(const std::string& source, const std::string& target, bool compress)
{
    const std::string from = GetUserPath(source);
    const std::string to = HostPathForWrite(target);
    if (to.empty())
        return false;
    gzFile in = gzopen(from.c_str(), "rb"); // reads plain files as they are
    if (!in) {
        WriteLog("ERROR: cannot read [%s]\n", from.c_str());
        return false;
    }
    const bool ok = SaveFileAtomically(to, [&](const std::string& temporary) {
        gzFile outGz = compress ? gzopen(temporary.c_str(), "wb9") : nullptr;
        std::FILE* outPlain = compress ? nullptr : std::fopen(temporary.c_str(), "wb");
        bool copied = outGz || outPlain;
        char buffer[1 << 16];
        int got = 0;
        while (copied && (got = gzread(in, buffer, sizeof buffer)) > 0)
            copied = outGz ? gzwrite(outGz, buffer, static_cast<unsigned>(got)) == got
                           : std::fwrite(buffer, 1, static_cast<size_t>(got), outPlain) == static_cast<size_t>(got);
        if (got < 0)
            copied = false;
        if (outGz && gzclose(outGz) != Z_OK)
            copied = false;
        if (outPlain && std::fclose(outPlain) != 0)
            copied = false;
        return copied;
    });
    gzclose(in);
    if (!ok)
        WriteLog("ERROR: cannot write [%s]\n", to.c_str());
    return ok;
}
