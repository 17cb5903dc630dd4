// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's settings key, kept in one SQLite database file and behaving
// like a registry key: case-insensitive sub-key paths and value names (the
// spelling of the first write is kept), integer, string and binary values that
// keep their type, sub-keys that can be listed and deleted.
//
// Every operation opens its own connection and closes it again, so nothing is
// cached and two running copies of the program see each other's writes. A
// missing, unreadable, locked or corrupt file gives the caller's default on
// every read; a failed write is reported once through OnWriteError.
#include <cstddef>
#include <functional>
#include <string>

#include "model/Settings.h"

struct sqlite3;

namespace canasta {

enum class TRootKey { hkClassesRoot, hkCurrentConfig, hkCurrentUser, hkDynData, hkLocalMachine, hkUsers };
enum class TAccess { kRead, kWrite, kExecute, kAllAccess };

inline constexpr const char* ProgramKey = "Software\\Quorvane\\Canasta";
// Binary values larger than the component's read buffer cannot be read back.
inline constexpr size_t BinaryBufferSize = 2048;

class TRegistryEnhanced : public ISettingsStore {
public:
    // The database SettingsDatabaseFile().
    TRegistryEnhanced();
    explicit TRegistryEnhanced(std::string databaseFile);

    // Key below the root; empty pieces (leading or trailing backslashes) are
    // ignored. With an empty Key every operation does nothing.
    std::string Key = ProgramKey;
    TRootKey RootKey = TRootKey::hkLocalMachine;
    TAccess Access = TAccess::kAllAccess;
    // How long a write waits for another process holding the database.
    int BusyTimeoutMs = 2000;
    // Told about the first failed write or delete, with the file named.
    std::function<void(const std::string& message)> OnWriteError;

    const std::string& DatabaseFile() const { return File; }

    // For start-up: a settings file that is not a sound database is moved
    // aside as "<file>.damaged-<date>-<time>" (never deleted) and a fresh one
    // is made, so that the settings changed from now on are kept. Returns
    // what the user should be told; empty when the file was sound, missing or
    // busy (a busy file is another copy's, not a damaged one).
    std::string SetAsideDamagedFile();

    TSettingValue ReadValue(const std::string& path, const TSettingValue& def) override;
    bool WriteValue(const std::string& path, const TSettingValue& value) override;
    bool DeleteSubKey(const std::string& subKey) override;
    std::vector<std::string> ListNames(const std::string& subKey) override;

private:
    std::string BaseKey() const;
    bool CanRead() const;
    bool CanWrite() const;
    // Runs body in one write transaction; returns the error text, empty on success.
    std::string Transact(const std::function<int(sqlite3*)>& body);
    bool Fail(const std::string& what, const std::string& reason);

    std::string File;
    bool WriteErrorReported = false;
};

}  // namespace canasta
