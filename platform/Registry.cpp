#include "Registry.h"

#include "Exceptions.h"

TRegistry::TRegistry() : TRegistry(MachineRegistry()) {}

TRegistry::TRegistry(RegistryBackend& backend) : backend_(backend) {}

TRegistry::~TRegistry()
{
    CloseKey();
}

std::string TRegistry::Resolve(const std::string& key) const
{
    if (!key.empty() && key.front() == '\\')
        return key.substr(1);
    if (currentKey_ == nullptr || currentPath_.empty())
        return key;
    return key.empty() ? currentPath_ : currentPath_ + '\\' + key;
}

void TRegistry::SetCurrentKey(std::unique_ptr<RegistryKeyHandle> key, std::string path)
{
    currentKey_ = std::move(key);
    currentPath_ = std::move(path);
}

bool TRegistry::KeyExists(const std::string& key)
{
    try {
        return backend_.OpenKey(RootKey, Resolve(key),
                                STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS) != nullptr;
    } catch (...) {
        return false;
    }
}

bool TRegistry::OpenKeyReadOnly(const std::string& key)
{
    const auto path = Resolve(key);
    for (const std::uint32_t access :
         {std::uint32_t{KEY_READ}, std::uint32_t{STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS},
          std::uint32_t{KEY_QUERY_VALUE}}) {
        if (auto handle = backend_.OpenKey(RootKey, path, access)) {
            Access = access;
            SetCurrentKey(std::move(handle), path);
            return true;
        }
    }
    CloseKey();
    return false;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate)
{
    const auto path = Resolve(key);
    auto handle =
        canCreate ? backend_.CreateKey(RootKey, path, KEY_ALL_ACCESS) : backend_.OpenKey(RootKey, path, Access);
    if (handle == nullptr)
        return false;
    SetCurrentKey(std::move(handle), path);
    return true;
}

bool TRegistry::CreateKey(const std::string& key)
{
    if (backend_.CreateKey(RootKey, Resolve(key), KEY_ALL_ACCESS) == nullptr)
        throw ERegistryException(FormatMessage("Failed to create key %s", key));
    return true;
}

std::string TRegistry::ReadString(const std::string& name)
{
    if (currentKey_ == nullptr)
        return {};
    const auto info = currentKey_->QueryValueInfo(name);
    if (!info || info->size == 0)
        return {};
    const auto value = currentKey_->QueryValue(name);
    if (!value)
        throw ERegistryException(FormatMessage("Failed to get data for '%s'", name));
    if (value->type != REG_SZ && value->type != REG_EXPAND_SZ)
        throw ERegistryException(FormatMessage("Invalid data type for '%s'", name));
    return value->data.substr(0, value->data.find('\0'));
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    if (currentKey_ == nullptr || !currentKey_->SetValue(name, RegistryValue{REG_SZ, value + '\0'}))
        throw ERegistryException(FormatMessage("Failed to set data for '%s'", name));
}

void TRegistry::CloseKey()
{
    SetCurrentKey(nullptr, {});
}
