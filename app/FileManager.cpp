#include "app/FileManager.h"

#include "app/AtomicFile.h"

#include "app/HandleTable.h"
#include "app/HostPath.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>

FileManager* fileManager = nullptr;

FileTime FileTimeFromUnixNanoseconds(int64_t nanoseconds)
{
    // 1601-01-01 to 1970-01-01 in 100 ns steps.
    constexpr int64_t kEpochDifference = 116444736000000000LL;
    return static_cast<FileTime>(nanoseconds / 100 + kEpochDifference);
}

void IFileManager::ListFiles(const std::string&, std::vector<std::string>&, int) {}
void IFileManager::ListFolders(const std::string&, std::vector<std::string>&, int) {}

void NameIndex::Offer(const std::string& name, IFileManager* manager, const void* entry, uint8_t priority)
{
    const auto [it, inserted] = records_.try_emplace(name, NameIndexRecord{manager, entry, priority});
    if (!inserted && priority > it->second.priority)
        it->second = NameIndexRecord{manager, entry, priority};
}

const NameIndexRecord* NameIndex::Find(const std::string& normalisedName) const
{
    const auto it = records_.find(normalisedName);
    return it == records_.end() ? nullptr : &it->second;
}

std::vector<std::string> NameIndex::Names() const
{
    std::vector<std::string> names;
    names.reserve(records_.size());
    for (const auto& [name, record] : records_)
        names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

bool NormaliseFileName(const std::string& name, std::string& normalised)
{
    std::string text;
    text.reserve(name.size());
    for (char c : name)
        text.push_back(c == '/' ? '\\' : AsciiLower(c));
    if (text.rfind("..\\", 0) == 0)
        text.erase(0, 3);
    if (!IsConfinedRelativePath(text)) {
        WriteLog("ERROR: refused file name outside the game folders [%s]\n", name.c_str());
        return false;
    }
    normalised = std::move(text);
    return true;
}

struct FileManager::Tables {
    HandleTable<Record> files;
    HandleTable<Record> maps;
};

FileManager::FileManager()
    : createdTick_(static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count())),
      tables_(std::make_unique<Tables>())
{
}

FileManager::~FileManager()
{
    for (int handle : tables_->maps.LiveHandles())
        Unmap(handle);
    for (int handle : tables_->files.LiveHandles())
        Close(handle);
    for (auto& member : members_)
        member.reset();
    members_.clear();
    index_.Clear();
}

void FileManager::AddMember(std::unique_ptr<IFileManager> member)
{
    std::unique_lock lock(mutex_);
    members_.push_back(std::move(member));
}

size_t FileManager::MemberCount() const
{
    std::shared_lock lock(mutex_);
    return members_.size();
}

IFileManager* FileManager::Member(size_t i) const
{
    std::shared_lock lock(mutex_);
    return i < members_.size() ? members_[i].get() : nullptr;
}

IFileManager* FileManager::MemberForNormalised(const std::string& normalised) const
{
    if (const NameIndexRecord* record = index_.Find(normalised))
        return record->manager;
    return members_.empty() ? nullptr : members_.back().get();
}

IFileManager* FileManager::FindMemberForName(const std::string& name) const
{
    std::string normalised;
    if (!NormaliseFileName(name, normalised))
        return nullptr;
    std::shared_lock lock(mutex_);
    return MemberForNormalised(normalised);
}

int FileManager::Open(const std::string& name)
{
    std::string normalised;
    if (!NormaliseFileName(name, normalised))
        return 0;
    std::unique_lock lock(mutex_);
    IFileManager* member = MemberForNormalised(normalised);
    if (!member)
        return 0;
    const int memberHandle = member->Open(normalised);
    if (memberHandle == 0)
        return 0;
    return tables_->files.Add(std::make_unique<Record>(Record{member, memberHandle}));
}

bool FileManager::Close(int handle)
{
    std::unique_lock lock(mutex_);
    std::unique_ptr<Record> record = tables_->files.Take(handle);
    if (!record)
        return false;
    return record->member->Close(record->memberHandle);
}

bool FileManager::Lookup(int handle, Record& record) const
{
    std::shared_lock lock(mutex_);
    const Record* found = tables_->files.Get(handle);
    if (!found)
        return false;
    record = *found;
    return true;
}

bool FileManager::LookupMap(int mapHandle, Record& record) const
{
    std::shared_lock lock(mutex_);
    const Record* found = tables_->maps.Get(mapHandle);
    if (!found)
        return false;
    record = *found;
    return true;
}

size_t FileManager::Read(int handle, void* destination, size_t count)
{
    Record record;
    return Lookup(handle, record) ? record.member->Read(record.memberHandle, destination, count) : 0;
}

bool FileManager::Seek(int handle, int64_t offset, int origin)
{
    Record record;
    return Lookup(handle, record) && record.member->Seek(record.memberHandle, offset, origin);
}

uint64_t FileManager::Tell(int handle)
{
    Record record;
    return Lookup(handle, record) ? record.member->Tell(record.memberHandle) : 0;
}

uint64_t FileManager::GetSize(int handle)
{
    Record record;
    return Lookup(handle, record) ? record.member->GetSize(record.memberHandle) : 0;
}

FileTime* FileManager::GetFileTime(FileTime* destination, int handle)
{
    Record record;
    if (Lookup(handle, record))
        return record.member->GetFileTime(destination, record.memberHandle);
    if (destination)
        *destination = 0;
    return destination;
}

bool FileManager::Exists(const std::string& name, int flag)
{
    std::string normalised;
    if (!NormaliseFileName(name, normalised))
        return false;
    IFileManager* member = nullptr;
    {
        std::shared_lock lock(mutex_);
        if (flag == 2)
            member = members_.empty() ? nullptr : members_.front().get();
        else
            member = MemberForNormalised(normalised);
    }
    return member && member->Exists(normalised, flag);
}

uint32_t FileManager::GetCrc(int handle)
{
    Record record;
    return Lookup(handle, record) ? record.member->GetCrc(record.memberHandle) : 0;
}

int FileManager::Map(int handle, uint64_t offset, uint64_t length)
{
    std::unique_lock lock(mutex_);
    const Record* file = tables_->files.Get(handle);
    if (!file)
        return 0;
    const int memberMap = file->member->Map(file->memberHandle, offset, length);
    if (memberMap == 0)
        return 0;
    return tables_->maps.Add(std::make_unique<Record>(Record{file->member, memberMap}));
}

bool FileManager::Unmap(int mapHandle)
{
    std::unique_lock lock(mutex_);
    std::unique_ptr<Record> record = tables_->maps.Take(mapHandle);
    if (!record)
        return false;
    return record->member->Unmap(record->memberHandle);
}

uint64_t FileManager::GetMapSize(int mapHandle)
{
    Record record;
    return LookupMap(mapHandle, record) ? record.member->GetMapSize(record.memberHandle) : 0;
}

const uint8_t* FileManager::GetMapData(int mapHandle)
{
    Record record;
    return LookupMap(mapHandle, record) ? record.member->GetMapData(record.memberHandle) : nullptr;
}

void FileManager::IndexNames(NameIndex*, uint8_t, const char* folderFilter)
{
    std::unique_lock lock(mutex_);
    if (!folderFilter)
        index_.Clear();
    const size_t count = members_.size();
    for (size_t i = 0; i < count; ++i) {
        const size_t rank = count - 1 - i;
        const uint8_t priority = static_cast<uint8_t>(std::min<size_t>(rank, 255));
        members_[i]->IndexNames(&index_, priority, folderFilter);
    }
}

void FileManager::ListFiles(const std::string& pattern, std::vector<std::string>& names, int flag)
{
    std::set<std::string> seen;
    std::vector<std::string> found;
    auto add = [&](const std::string& name) {
        if (seen.insert(ToLowerAscii(name)).second)
            found.push_back(name);
    };
    if (flag & 2) {
        std::vector<IFileManager*> members;
        {
            std::shared_lock lock(mutex_);
            for (const auto& member : members_)
                members.push_back(member.get());
        }
        for (IFileManager* member : members) {
            std::vector<std::string> listed;
            member->ListFiles(pattern, listed, flag);
            for (const std::string& name : listed)
                add(name);
        }
    }
    if (flag & 1) {
        std::string normalisedPattern;
        if (NormaliseFileName(pattern, normalisedPattern)) {
            const size_t slash = normalisedPattern.rfind('\\');
            const std::string folder = slash == std::string::npos ? "" : normalisedPattern.substr(0, slash + 1);
            const std::string filePattern = normalisedPattern.substr(folder.size());
            std::shared_lock lock(mutex_);
            for (const std::string& name : index_.Names()) {
                if (name.size() <= folder.size() || name.compare(0, folder.size(), folder) != 0)
                    continue;
                const std::string rest = name.substr(folder.size());
                if (rest.find('\\') == std::string::npos && WildcardMatchNoCase(filePattern, rest))
                    add(rest);
            }
        }
    }
    names.insert(names.end(), found.begin(), found.end());
}

void FileManager::ListFolders(const std::string& folder, std::vector<std::string>& names, int flag)
{
    std::vector<IFileManager*> members;
    {
        std::shared_lock lock(mutex_);
        for (const auto& member : members_)
            members.push_back(member.get());
    }
    std::set<std::string> seen;
    for (IFileManager* member : members) {
        std::vector<std::string> listed;
        member->ListFolders(folder, listed, flag);
        for (const std::string& name : listed)
            if (seen.insert(ToLowerAscii(name)).second)
                names.push_back(name);
    }
}

void FileManager::ListFilesRecursive(const std::string& folder, const std::string& pattern,
                                     std::vector<std::string>& names, int flag)
{
    const std::string prefix = folder.empty() ? std::string() : folder + "\\";
    std::vector<std::string> files;
    ListFiles(prefix + pattern, files, flag);
    for (const std::string& name : files)
        names.push_back(prefix + name);
    std::vector<std::string> folders;
    ListFolders(folder, folders, flag);
    for (const std::string& sub : folders)
        if (!sub.empty() && sub[0] != '.')
            ListFilesRecursive(prefix + sub, pattern, names, flag);
}

FileHandle::FileHandle(FileHandle&& other) noexcept : file_(other.file_), map_(other.map_)
{
    other.file_ = other.map_ = 0;
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept
{
    if (this != &other) {
        Close();
        file_ = other.file_;
        map_ = other.map_;
        other.file_ = other.map_ = 0;
    }
    return *this;
}

FileHandle FileHandle::FromString(const std::string& name)
{
    FileHandle handle;
    if (fileManager)
        handle.file_ = fileManager->Open(name);
    return handle;
}

const uint8_t* FileHandle::ReadAll()
{
    if (!file_ || !fileManager)
        return nullptr;
    if (!map_)
        map_ = fileManager->Map(file_, 0, fileManager->GetSize(file_));
    return map_ ? fileManager->GetMapData(map_) : nullptr;
}

uint64_t FileHandle::Size() const
{
    return file_ && fileManager ? fileManager->GetSize(file_) : 0;
}

uint32_t FileHandle::Crc() const
{
    return file_ && fileManager ? fileManager->GetCrc(file_) : 0;
}

void FileHandle::Close()
{
    if (!fileManager) {
        file_ = map_ = 0;
        return;
    }
    if (map_) {
        fileManager->Unmap(map_);
        map_ = 0;
    }
    if (file_) {
        fileManager->Close(file_);
        file_ = 0;
    }
}

bool ExtractFile(const std::string& name)
{
    FileHandle handle = FileHandle::FromString(name);
    if (!handle.IsOpen()) {
        WriteLog("ExtractFile: [%s] not found\n", name.c_str());
        return false;
    }
    const uint8_t* data = handle.ReadAll();
    const uint64_t size = handle.Size();
    FileTime time = 0;
    fileManager->GetFileTime(&time, handle.Handle());
    const std::string target = HostPathForWrite(name);
    if (target.empty() || (size > 0 && !data))
        return false;
    if (!SaveBytesAtomically(target, data, static_cast<size_t>(size))) {
        WriteLog("ExtractFile: cannot write [%s]\n", target.c_str());
        return false;
    }
    if (time != 0) {
        constexpr int64_t kEpochDifference = 116444736000000000LL;
        const int64_t unix100ns = static_cast<int64_t>(time) - kEpochDifference;
        timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = static_cast<time_t>(unix100ns / 10000000);
        times[1].tv_nsec = static_cast<long>((unix100ns % 10000000) * 100);
        utimensat(AT_FDCWD, target.c_str(), times, 0);
    }
    return true;
}
