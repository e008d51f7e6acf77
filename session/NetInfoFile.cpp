#include "session/NetInfoFile.h"

#include "app/GzipFile.h"

#include <cstring>

namespace {

uint32_t ReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

size_t RecordLengthAt(const uint8_t* p)
{
    return static_cast<size_t>(p[2] | p[3] << 8);
}

constexpr size_t kMinRecord = 6;
constexpr uint8_t kUpdateCommand = 4;

} // namespace

NetInfoFileReader::NetInfoFileReader(size_t capacity) : capacity_(capacity < kMinRecord ? kMinRecord : capacity) {}

NetInfoFileReader::~NetInfoFileReader()
{
    Close();
}

bool NetInfoFileReader::Open(const std::string& path)
{
    Close();
    auto file = std::make_unique<GzipFile>();
    file->compressed = true;
    if (!file->Open("rb", path))
        return false;
    uint8_t header[kPlaybackHeaderSize];
    if (file->Read(header, 4) != 4 || ReadU32(header) != kPlaybackMagic || file->Read(header + 4, 8) != 8) {
        file->Close();
        return false;
    }
    file_ = std::move(file);
    buffer_ = std::make_unique<uint8_t[]>(capacity_);
    readPosition_ = dataEnd_ = 0;
    updateCount_ = 0;
    consumed_ = 0;
    damaged_ = false;
    cut_ = false;
    return true;
}

const uint8_t* NetInfoFileReader::ReadRecord()
{
    if (!file_ || !buffer_)
        return nullptr;
    size_t available = dataEnd_ - readPosition_;
    const auto complete = [&] {
        return available >= kMinRecord && available >= RecordLengthAt(buffer_.get() + readPosition_);
    };
    if (!complete()) {
        std::memmove(buffer_.get(), buffer_.get() + readPosition_, available);
        readPosition_ = 0;
        dataEnd_ = available;
        const size_t got = file_->Read(buffer_.get() + dataEnd_, capacity_ - available);
        dataEnd_ += got;
        available = dataEnd_;
    }
    if (available >= 4) {
        const size_t length = RecordLengthAt(buffer_.get() + readPosition_);
        if (length < kMinRecord || length > capacity_) {
            damaged_ = true;
            readPosition_ = dataEnd_;
            return nullptr;
        }
    }
    if (!complete()) {
        cut_ = available > 0;
        return nullptr;
    }
    const uint8_t* record = buffer_.get() + readPosition_;
    readPosition_ += RecordLengthAt(record);
    consumed_ += RecordLengthAt(record);
    if (record[0] == kUpdateCommand)
        ++updateCount_;
    return record;
}

void NetInfoFileReader::Close()
{
    if (file_)
        file_->Close();
    file_.reset();
    buffer_.reset();
    readPosition_ = dataEnd_ = 0;
}

NetInfoFileWriter::NetInfoFileWriter() = default;

NetInfoFileWriter::~NetInfoFileWriter()
{
    Close();
}

bool NetInfoFileWriter::Open(const std::string& path, bool append)
{
    Close();
    auto file = std::make_unique<GzipFile>();
    file->compressed = compressed;
    if (!file->Open(append ? "ab" : "wb", path))
        return false;
    if (!append) {
        uint8_t header[kPlaybackHeaderSize] = {};
        const uint32_t words[3] = {kPlaybackMagic, kPlaybackVersionWord, 0};
        for (int w = 0; w < 3; ++w)
            for (int i = 0; i < 4; ++i)
                header[w * 4 + i] = static_cast<uint8_t>(words[w] >> (8 * i));
        file->Write(header, sizeof header);
    }
    file_ = std::move(file);
    return true;
}

void NetInfoFileWriter::WriteRecord(const void* record)
{
    if (!file_ || suspended || !record)
        return;
    file_->Write(record, RecordLengthAt(static_cast<const uint8_t*>(record)));
}

bool NetInfoFileWriter::Close()
{
    if (!file_)
        return true;
    const bool ok = file_->Close();
    file_.reset();
    return ok;
}

bool NetInfoFileWriter::IsOpen() const
{
    return file_ && file_->IsOpen();
}
