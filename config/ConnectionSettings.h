#pragma once

#include <string>

// The name of the record key under the maker key; the dialog shows it in its title.
extern const std::string DbKeyName;

// Takes the three texts of the settings record, each the moment it has been read.
class ConnectionSettingsReceiver {
public:
    virtual ~ConnectionSettingsReceiver() = default;
    virtual void OdbcName(const std::string& text) = 0;
    virtual void LoginId(const std::string& text) = 0;
    virtual void Password(const std::string& text) = 0;
};

// Reads HKEY_LOCAL_MACHINE\SOFTWARE\Torvanel\Lib: false, handing over nothing, when the record key
// does not exist. Errors leave the call; what the receiver already got stays with it.
bool ReadConnectionSettings(ConnectionSettingsReceiver& receiver);

// Stores the trimmed ODBC name and the encoded, trimmed login id and password. False, with nothing
// written, when the record key cannot be opened for writing.
bool WriteConnectionSettings(const std::string& odbcName, const std::string& loginId, const std::string& password);

// Removes the bytes 0x00 to 0x20 at both ends.
std::string TrimBlanks(const std::string& text);
