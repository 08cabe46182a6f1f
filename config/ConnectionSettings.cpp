#include "ConnectionSettings.h"

#include "Registry.h"
#include "unGlobal.h"

const std::string DbKeyName = "Lib";

namespace {

const std::string kMakerKey = "SOFTWARE\\Torvanel";
const std::string kRecordKey = kMakerKey + "\\" + DbKeyName;

constexpr const char* kOdbcName = "ODBCNAME";
constexpr const char* kUserName = "USERNAME";
constexpr const char* kPassword = "PASSWORD";

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

// An accessor on HKEY_LOCAL_MACHINE for the length of one call.
class MachineRegistryAccessor : public TRegistry {
public:
    MachineRegistryAccessor() { RootKey = RegistryRoot::LocalMachine; }
};

} // namespace

std::string TrimBlanks(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool ReadConnectionSettings(ConnectionSettingsReceiver& receiver)
{
    MachineRegistryAccessor registry;
    if (!registry.KeyExists(kRecordKey))
        return false;
    // When the key will not open, each value reads as the empty text.
    registry.OpenKeyReadOnly(kRecordKey);
    receiver.OdbcName(TrimBlanks(registry.ReadString(kOdbcName)));
    receiver.LoginId(DecodeCredential(TrimBlanks(registry.ReadString(kUserName))));
    receiver.Password(DecodeCredential(TrimBlanks(registry.ReadString(kPassword))));
    return true;
}

bool WriteConnectionSettings(const std::string& odbcName, const std::string& loginId, const std::string& password)
{
    MachineRegistryAccessor registry;
    if (!registry.KeyExists(kMakerKey))
        registry.CreateKey(kMakerKey);
    if (!registry.KeyExists(kRecordKey))
        registry.CreateKey(kRecordKey);
    if (!registry.OpenKey(kRecordKey, true))
        return false;
    registry.WriteString(kOdbcName, TrimBlanks(odbcName));
    registry.WriteString(kUserName, EncodeCredential(TrimBlanks(loginId)));
    registry.WriteString(kPassword, EncodeCredential(TrimBlanks(password)));
    return true;
}
