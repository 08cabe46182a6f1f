#pragma once

#include "RegEdit4.h"
#include "Registry.h"

#include <functional>
#include <optional>
#include <string>

// HKEY_LOCAL_MACHINE kept in one REGEDIT4 file. Access follows the file system: a key opens for
// reading when the file can be read, and for writing or creating when the file (or, while it does not
// exist, its folder) can be written. Every change re-reads the file under an exclusive lock and
// replaces it whole, so a crash or a concurrent save never leaves a truncated or mixed file, and keys
// that other programs keep in the same file survive. A file that does not parse is never rewritten.
class HiveFileRegistry : public RegistryBackend {
public:
    explicit HiveFileRegistry(std::string path);

    const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }

    std::unique_ptr<RegistryKeyHandle> OpenKey(RegistryRoot root, const std::string& path,
                                               std::uint32_t access) override;
    std::unique_ptr<RegistryKeyHandle> CreateKey(RegistryRoot root, const std::string& path,
                                                 std::uint32_t access) override;

    // The hive as the file holds it now; empty when the file is missing, unreadable or damaged.
    std::optional<HiveKey> Load() const;
    // Applies a change under the lock and saves the result; false when the file may not be written,
    // does not parse, cannot be saved, or the change itself fails.
    bool Modify(const std::function<bool(HiveKey&)>& change);
    bool MayWrite() const;

private:
    std::string path_;
};

// Points the process's HKEY_LOCAL_MACHINE at another hive file. The program keeps the file fixed
// when it is built; tests hand in their own.
void SetMachineHiveFile(const std::string& path);
