#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// Registry value types.
enum RegistryType : std::uint32_t {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_MULTI_SZ = 7,
};

// Key access rights.
enum RegistryAccess : std::uint32_t {
    KEY_QUERY_VALUE = 0x0001,
    KEY_SET_VALUE = 0x0002,
    KEY_CREATE_SUB_KEY = 0x0004,
    KEY_ENUMERATE_SUB_KEYS = 0x0008,
    KEY_NOTIFY = 0x0010,
    KEY_CREATE_LINK = 0x0020,
    STANDARD_RIGHTS_READ = 0x00020000,
    KEY_READ = 0x00020019,
    KEY_ALL_ACCESS = 0x000F003F,
};

// The predefined root keys.
enum class RegistryRoot : std::uint32_t {
    ClassesRoot = 0x80000000,
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
    Users = 0x80000003,
};

struct RegistryValue {
    std::uint32_t type = REG_NONE;
    std::string data;
};

struct RegistryValueInfo {
    std::uint32_t type = REG_NONE;
    std::size_t size = 0;
};

// An open key of a registry backend. Closing is the destructor.
class RegistryKeyHandle {
public:
    virtual ~RegistryKeyHandle() = default;
    // The type and size of a value; empty when the value does not exist.
    virtual std::optional<RegistryValueInfo> QueryValueInfo(const std::string& name) = 0;
    // The value with its data; empty when the data cannot be fetched.
    virtual std::optional<RegistryValue> QueryValue(const std::string& name) = 0;
    // Creates or replaces a value; false when it cannot be stored.
    virtual bool SetValue(const std::string& name, const RegistryValue& value) = 0;
};

// The machine's registry, as the accessor sees it. Key paths are relative to the root, with
// backslashes between the key names and no leading backslash.
class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;
    // Opens an existing key; empty when it does not exist or the access is not granted.
    virtual std::unique_ptr<RegistryKeyHandle> OpenKey(RegistryRoot root, const std::string& path,
                                                       std::uint32_t access) = 0;
    // Opens a key, creating it and any missing parents; empty when that is not possible.
    virtual std::unique_ptr<RegistryKeyHandle> CreateKey(RegistryRoot root, const std::string& path,
                                                         std::uint32_t access) = 0;
};

// The registry this process works on.
RegistryBackend& MachineRegistry();

// Registry accessor: one current key at a time, opened relative to the root key.
class TRegistry {
public:
    TRegistry();
    explicit TRegistry(RegistryBackend& backend);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    RegistryRoot RootKey = RegistryRoot::CurrentUser;
    std::uint32_t Access = KEY_ALL_ACCESS;

    bool KeyExists(const std::string& key);
    bool OpenKeyReadOnly(const std::string& key);
    bool OpenKey(const std::string& key, bool canCreate);
    bool CreateKey(const std::string& key);
    std::string ReadString(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    void CloseKey();

    const std::string& CurrentPath() const { return currentPath_; }

private:
    std::string Resolve(const std::string& key) const;
    void SetCurrentKey(std::unique_ptr<RegistryKeyHandle> key, std::string path);

    RegistryBackend& backend_;
    std::unique_ptr<RegistryKeyHandle> currentKey_;
    std::string currentPath_;
};
