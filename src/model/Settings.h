// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings seen from the game: named values addressed by paths such as
// "Settings\Sound", with registry-like types. The SQLite store implements this;
// tests and tools use TMemorySettings.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace canasta {

// Absent, integer (booleans are stored as 0/1), string or binary.
using TBinary = std::vector<uint8_t>;
using TSettingValue = std::variant<std::monostate, int32_t, std::string, TBinary>;

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // The stored value, or def when the value or its key is missing or unreadable.
    virtual TSettingValue ReadValue(const std::string& path, const TSettingValue& def) = 0;
    // Writes by type (monostate writes nothing). Returns false when the write failed.
    virtual bool WriteValue(const std::string& path, const TSettingValue& value) = 0;
    // Deletes a sub-key (a path below the program's key) with all its values and sub-keys.
    virtual bool DeleteSubKey(const std::string& subKey) = 0;
    // Names of the values and direct sub-keys below a sub-key.
    virtual std::vector<std::string> ListNames(const std::string& subKey) = 0;
};

// Conversions used by the readers; a value of another type than expected is
// converted the way the caller asks, falling back to the default.
int32_t ReadInt(ISettingsStore* store, const std::string& path, int32_t def);
bool ReadBool(ISettingsStore* store, const std::string& path, bool def);
std::string ReadString(ISettingsStore* store, const std::string& path, const std::string& def);
void WriteInt(ISettingsStore* store, const std::string& path, int32_t v);
void WriteBool(ISettingsStore* store, const std::string& path, bool v);
void WriteString(ISettingsStore* store, const std::string& path, const std::string& v);

// Boolean meaning of a value: integers are true when not zero; strings "1",
// "true", "yes", "on" (any case) are true, "0", "false", "no", "off" false,
// anything else gives def.
bool ValueToBool(const TSettingValue& v, bool def);
std::optional<int32_t> ValueToInt(const TSettingValue& v);

// Splits a value path at backslashes (empty pieces dropped) into sub-key and name.
struct TValuePath {
    std::string SubKey;  // pieces before the name, joined with '\'
    std::string Name;
};
TValuePath SplitValuePath(const std::string& path);
// ASCII lower case, for case-insensitive names.
std::string LowerAscii(std::string s);

// In-memory store with the same case-insensitive paths, for tests and tools.
class TMemorySettings : public ISettingsStore {
public:
    TSettingValue ReadValue(const std::string& path, const TSettingValue& def) override;
    bool WriteValue(const std::string& path, const TSettingValue& value) override;
    bool DeleteSubKey(const std::string& subKey) override;
    std::vector<std::string> ListNames(const std::string& subKey) override;

private:
    std::map<std::string, TSettingValue> Values;  // key: lower-cased "subkey\name"
};

}  // namespace canasta
