#pragma once

#include "Registry.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One key of a hive held in memory: its values and subkeys in the order they were read or created.
// Names keep the case they were created with and match without regard to ASCII letter case.
struct HiveKey {
    std::string name;
    std::vector<std::pair<std::string, RegistryValue>> values;
    std::vector<HiveKey> subkeys;

    const RegistryValue* FindValue(std::string_view valueName) const;
    void SetValue(const std::string& valueName, RegistryValue value);
    HiveKey* FindSubkey(std::string_view keyName);
    const HiveKey* FindSubkey(std::string_view keyName) const;
};

// The key at a path below the root, or null when a key on the way is missing or the path is malformed.
HiveKey* FindKey(HiveKey& root, std::string_view path);
const HiveKey* FindKey(const HiveKey& root, std::string_view path);
// The key at a path, created with any missing parents; null when the path is malformed.
HiveKey* CreateKeyPath(HiveKey& root, std::string_view path);

class RegEdit4Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a REGEDIT4 file whose keys all lie under the root key named rootName
// (for instance "HKEY_LOCAL_MACHINE"). Throws RegEdit4Error when the text does not parse.
HiveKey ParseRegEdit4(std::string_view text, const std::string& rootName);

// Writes the hive as a REGEDIT4 file with CRLF line ends, every key in its own section.
std::string WriteRegEdit4(const HiveKey& root);
