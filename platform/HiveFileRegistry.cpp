#include "HiveFileRegistry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

constexpr const char* kRootName = "HKEY_LOCAL_MACHINE";
constexpr std::uint32_t kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | 0x00010000 /* DELETE */ |
                                       0x00040000 /* WRITE_DAC */ | 0x00080000 /* WRITE_OWNER */;

class UniqueFd {
public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Close(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

// Holds an exclusive lock on a lock file beside the hive for as long as it lives.
class FileLock {
public:
    explicit FileLock(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644))
    {
        held_ = fd_.IsOpen() && ::flock(fd_.Get(), LOCK_EX) == 0;
    }
    bool Held() const { return held_; }

private:
    UniqueFd fd_;
    bool held_ = false;
};

// A new file that is removed again unless it has been kept.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string pathTemplate)
        : path_(std::move(pathTemplate)), fd_(::mkostemp(path_.data(), O_CLOEXEC))
    {}
    ~TemporaryFile()
    {
        if (!kept_)
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& Path() const { return path_; }
    UniqueFd& Fd() { return fd_; }
    void Keep() { kept_ = true; }

private:
    std::string path_;
    UniqueFd fd_;
    bool kept_ = false;
};

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const auto written = ::write(fd, data.data(), data.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    const auto folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

bool MayWriteFolder(std::filesystem::path folder)
{
    std::error_code error;
    while (!std::filesystem::exists(folder, error)) {
        if (!folder.has_parent_path() || folder.parent_path() == folder)
            return false;
        folder = folder.parent_path();
    }
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Writes the whole text to a new file beside the old one, flushes it and renames it over the old one,
// keeping the old file's mode and owner.
bool ReplaceFile(const std::string& path, const std::string& text)
{
    const auto folder = FolderOf(path);
    struct stat old {};
    const bool hadOld = ::stat(path.c_str(), &old) == 0;
    TemporaryFile file(folder + "/." + std::filesystem::path(path).filename().string() + ".XXXXXX");
    if (!file.Fd().IsOpen() || !WriteAll(file.Fd().Get(), text))
        return false;
    if (::fchmod(file.Fd().Get(), hadOld ? (old.st_mode & 07777) : 0644) != 0)
        return false;
    if (hadOld && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Only the owner's own save or root gets this far for a file it does not own; a failure keeps
        // the saver as owner, which still leaves the content intact.
        [[maybe_unused]] const int ignored = ::fchown(file.Fd().Get(), old.st_uid, old.st_gid);
    }
    if (::fsync(file.Fd().Get()) != 0 || !file.Fd().Close())
        return false;
    if (::rename(file.Path().c_str(), path.c_str()) != 0)
        return false;
    file.Keep();
    UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.IsOpen())
        ::fsync(folderFd.Get());
    return true;
}

struct HiveFileContent {
    enum class State { Missing, Unusable, Loaded } state = State::Missing;
    HiveKey hive;
};

HiveFileContent ReadHiveFile(const std::string& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen())
        return {errno == ENOENT ? HiveFileContent::State::Missing : HiveFileContent::State::Unusable, {}};
    std::string text;
    char buffer[8192];
    for (;;) {
        const auto count = ::read(fd.Get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return {HiveFileContent::State::Unusable, {}};
        if (count == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(count));
    }
    try {
        return {HiveFileContent::State::Loaded, ParseRegEdit4(text, kRootName)};
    } catch (const RegEdit4Error&) {
        return {HiveFileContent::State::Unusable, {}};
    }
}

class HiveFileKey : public RegistryKeyHandle {
public:
    HiveFileKey(HiveFileRegistry& hive, std::string path, std::uint32_t access)
        : hive_(hive), path_(std::move(path)), access_(access)
    {}

    std::optional<RegistryValueInfo> QueryValueInfo(const std::string& name) override
    {
        const auto value = QueryValue(name);
        if (!value)
            return std::nullopt;
        return RegistryValueInfo{value->type, value->data.size()};
    }

    std::optional<RegistryValue> QueryValue(const std::string& name) override
    {
        if ((access_ & KEY_QUERY_VALUE) == 0)
            return std::nullopt;
        const auto hive = hive_.Load();
        const HiveKey* key = hive ? FindKey(*hive, path_) : nullptr;
        const RegistryValue* value = key ? key->FindValue(name) : nullptr;
        if (value == nullptr)
            return std::nullopt;
        return *value;
    }

    bool SetValue(const std::string& name, const RegistryValue& value) override
    {
        if ((access_ & KEY_SET_VALUE) == 0)
            return false;
        return hive_.Modify([&](HiveKey& root) {
            HiveKey* key = FindKey(root, path_);
            if (key == nullptr)
                return false;
            key->SetValue(name, value);
            return true;
        });
    }

private:
    HiveFileRegistry& hive_;
    std::string path_;
    std::uint32_t access_;
};

} // namespace

HiveFileRegistry::HiveFileRegistry(std::string path) : path_(std::move(path)) {}

std::optional<HiveKey> HiveFileRegistry::Load() const
{
    auto content = ReadHiveFile(path_);
    if (content.state != HiveFileContent::State::Loaded)
        return std::nullopt;
    return std::move(content.hive);
}

bool HiveFileRegistry::MayWrite() const
{
    std::error_code error;
    if (!std::filesystem::exists(path_, error))
        return MayWriteFolder(FolderOf(path_));
    return ::faccessat(AT_FDCWD, path_.c_str(), W_OK, AT_EACCESS) == 0 && MayWriteFolder(FolderOf(path_));
}

bool HiveFileRegistry::Modify(const std::function<bool(HiveKey&)>& change)
{
    if (!MayWrite())
        return false;
    std::error_code error;
    std::filesystem::create_directories(FolderOf(path_), error);
    if (error)
        return false;
    FileLock lock(path_ + ".lock");
    if (!lock.Held())
        return false;
    auto content = ReadHiveFile(path_);
    if (content.state == HiveFileContent::State::Unusable)
        return false;
    if (content.state == HiveFileContent::State::Missing)
        content.hive = HiveKey{kRootName, {}, {}};
    HiveKey changed = content.hive;
    if (!change(changed))
        return false;
    try {
        const auto text = WriteRegEdit4(changed);
        if (content.state == HiveFileContent::State::Loaded && text == WriteRegEdit4(content.hive))
            return true;
        return ReplaceFile(path_, text);
    } catch (const RegEdit4Error&) {
        return false;
    }
}

std::unique_ptr<RegistryKeyHandle> HiveFileRegistry::OpenKey(RegistryRoot root, const std::string& path,
                                                             std::uint32_t access)
{
    if (root != RegistryRoot::LocalMachine || ((access & kWriteRights) != 0 && !MayWrite()))
        return nullptr;
    const auto hive = Load();
    if (!hive || FindKey(*hive, path) == nullptr)
        return nullptr;
    return std::make_unique<HiveFileKey>(*this, path, access);
}

std::unique_ptr<RegistryKeyHandle> HiveFileRegistry::CreateKey(RegistryRoot root, const std::string& path,
                                                               std::uint32_t access)
{
    if (root != RegistryRoot::LocalMachine)
        return nullptr;
    if (!Modify([&](HiveKey& hive) { return CreateKeyPath(hive, path) != nullptr; }))
        return nullptr;
    return std::make_unique<HiveFileKey>(*this, path, access);
}

namespace {
HiveFileRegistry& MachineHive()
{
    static HiveFileRegistry hive(REGISTRY_HIVE_FILE);
    return hive;
}
} // namespace

RegistryBackend& MachineRegistry()
{
    return MachineHive();
}

void SetMachineHiveFile(const std::string& path)
{
    MachineHive().SetPath(path);
}
