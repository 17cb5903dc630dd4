// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/RegistryEnhanced.h"

#include <sqlite3.h>

#include <cctype>
#include <ctime>
#include <cstring>
#include <filesystem>
#include <map>

#include "store/Paths.h"

namespace canasta {

namespace {

// Type codes as the registry numbers them.
enum : int { kTypeString = 1, kTypeBinary = 3, kTypeInteger = 4 };

// Reads do not wait long: at start-up hundreds of values are read, and a
// database held by another process must not freeze the program meanwhile.
constexpr int kReadTimeoutMs = 250;
// The busy handler does the waiting; one retry covers a busy met without waiting.
constexpr int kWriteAttempts = 2;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS registry ("
    " root INTEGER NOT NULL,"
    " key TEXT NOT NULL COLLATE NOCASE,"
    " name TEXT NOT NULL COLLATE NOCASE,"
    " type INTEGER NOT NULL,"
    " value,"
    " PRIMARY KEY (root, key, name))";

// Rows of a sub-key and of all sub-keys below it (?2 the sub-key, ?3 it + '\').
constexpr const char* kSubTree = "root = ?1 AND (key = ?2 OR substr(key, 1, length(?3)) = ?3 COLLATE NOCASE)";

class TConnection {
public:
    TConnection(const std::string& file, int flags, int timeoutMs) {
        Rc = sqlite3_open_v2(file.c_str(), &Db, flags, nullptr);
        if (Rc == SQLITE_OK) sqlite3_busy_timeout(Db, timeoutMs);
    }
    ~TConnection() { sqlite3_close_v2(Db); }  // rolls back an unfinished transaction
    TConnection(const TConnection&) = delete;
    TConnection& operator=(const TConnection&) = delete;

    std::string Error() const { return Db ? sqlite3_errmsg(Db) : sqlite3_errstr(Rc); }

    sqlite3* Db = nullptr;
    int Rc;
};

class TStatement {
public:
    TStatement(sqlite3* db, const std::string& sql) {
        Rc = db ? sqlite3_prepare_v2(db, sql.c_str(), -1, &St, nullptr) : SQLITE_CANTOPEN;
    }
    ~TStatement() { sqlite3_finalize(St); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    TStatement& Bind(int i, int64_t v) {
        Keep(sqlite3_bind_int64(St, i, v));
        return *this;
    }
    TStatement& Bind(int i, const std::string& v) {
        Keep(sqlite3_bind_text(St, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
        return *this;
    }
    TStatement& Bind(int i, const TBinary& v) {
        Keep(sqlite3_bind_blob(St, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or the first error met since preparing.
    int Step() {
        if (Rc == SQLITE_OK || Rc == SQLITE_ROW) Rc = sqlite3_step(St);
        return Rc;
    }
    std::string Text(int col) const {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(St, col));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(St, col))) : std::string();
    }

    sqlite3_stmt* St = nullptr;
    int Rc;

private:
    void Keep(int rc) {
        if (Rc == SQLITE_OK) Rc = rc;
    }
};

// "a\\b" from the non-empty pieces of a backslash path.
std::string NormalKeyPath(const std::string& path) {
    TValuePath p = SplitValuePath(path);
    return p.SubKey.empty() ? p.Name : p.SubKey + "\\" + p.Name;
}

std::string JoinKey(const std::string& a, const std::string& b) { return b.empty() ? a : a + "\\" + b; }

int Done(int rc) { return rc == SQLITE_DONE ? SQLITE_OK : rc; }

// The stored value of a row (type, value) if it has the type it claims.
TSettingValue ValueOf(TStatement& st, const TSettingValue& def) {
    const int type = sqlite3_column_int(st.St, 0);
    const int stored = sqlite3_column_type(st.St, 1);
    if (type == kTypeInteger && stored == SQLITE_INTEGER) {
        sqlite3_int64 v = sqlite3_column_int64(st.St, 1);
        if (v >= INT32_MIN && v <= INT32_MAX) return static_cast<int32_t>(v);
    } else if (type == kTypeString && stored == SQLITE_TEXT) {
        return st.Text(1);
    } else if (type == kTypeBinary && (stored == SQLITE_BLOB || stored == SQLITE_NULL)) {
        auto bytes = static_cast<size_t>(sqlite3_column_bytes(st.St, 1));
        if (bytes <= BinaryBufferSize) {
            auto data = static_cast<const uint8_t*>(sqlite3_column_blob(st.St, 1));
            return data ? TBinary(data, data + bytes) : TBinary();
        }
    }
    return def;
}

// "file:" URI of a path, for the immutable read below.
std::string ImmutableUri(const std::string& file) {
    std::string uri = "file:";
    static const char* hex = "0123456789ABCDEF";
    for (unsigned char ch : std::filesystem::absolute(file).string()) {
        if (std::isalnum(ch) || std::strchr("/-_.~", ch)) {
            uri += static_cast<char>(ch);
        } else {
            uri += '%';
            uri += hex[ch >> 4];
            uri += hex[ch & 15];
        }
    }
    return uri + "?immutable=1";
}

// A database in WAL mode cannot be opened normally where its side files
// cannot be created (a read-only folder, a read-only medium). Read as an
// immutable file, its settings are still there. A busy or corrupt database is
// not retried: the first is being written, the second has nothing to give.
bool RetryReadOnly(int rc) {
    switch (rc & 0xff) {
        case SQLITE_CANTOPEN:
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
        case SQLITE_IOERR: return true;
        default: return false;
    }
}

// Runs a read; read() steps the statement made from sql and gets SQLITE_ROW,
// SQLITE_DONE or an error.
template <class F>
void ReadWithFallback(const std::string& file, const std::string& sql, F&& read) {
    {
        TConnection c(file, SQLITE_OPEN_READWRITE, kReadTimeoutMs);
        TStatement st(c.Db, sql);
        if (!RetryReadOnly(read(st))) return;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return;
    TConnection c(ImmutableUri(file), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, kReadTimeoutMs);
    TStatement st(c.Db, sql);
    read(st);
}

}  // namespace

TRegistryEnhanced::TRegistryEnhanced() : File(SettingsDatabaseFile()) {}

TRegistryEnhanced::TRegistryEnhanced(std::string databaseFile) : File(std::move(databaseFile)) {}

std::string TRegistryEnhanced::BaseKey() const { return NormalKeyPath(Key); }

bool TRegistryEnhanced::CanRead() const { return Access != TAccess::kWrite; }

bool TRegistryEnhanced::CanWrite() const { return Access == TAccess::kWrite || Access == TAccess::kAllAccess; }

TSettingValue TRegistryEnhanced::ReadValue(const std::string& path, const TSettingValue& def) {
    std::string base = BaseKey();
    TValuePath p = SplitValuePath(path);
    if (base.empty() || p.Name.empty() || !CanRead()) return def;

    // Without SQLITE_OPEN_CREATE: reading never creates the file.
    TSettingValue result = def;
    ReadWithFallback(File, "SELECT type, value FROM registry WHERE root = ?1 AND key = ?2 AND name = ?3",
                     [&](TStatement& st) {
                         st.Bind(1, static_cast<int64_t>(RootKey)).Bind(2, JoinKey(base, p.SubKey)).Bind(3, p.Name);
                         const int rc = st.Step();
                         if (rc == SQLITE_ROW) result = ValueOf(st, def);
                         return rc;
                     });
    return result;
}

bool TRegistryEnhanced::WriteValue(const std::string& path, const TSettingValue& value) {
    if (std::holds_alternative<std::monostate>(value)) return true;
    std::string base = BaseKey();
    TValuePath p = SplitValuePath(path);
    if (base.empty() || p.Name.empty()) return false;
    std::string what = "write the setting \"" + path + "\"";
    if (!CanWrite()) return Fail(what, "the settings are open for reading only");
    if (auto bin = std::get_if<TBinary>(&value); bin && bin->size() > BinaryBufferSize)
        return Fail(what, "binary values are limited to " + std::to_string(BinaryBufferSize) + " bytes");

    std::string error = Transact([&](sqlite3* db) {
        TStatement st(db,
                      "INSERT INTO registry (root, key, name, type, value) VALUES (?1, ?2, ?3, ?4, ?5)"
                      " ON CONFLICT (root, key, name) DO UPDATE SET type = excluded.type, value = excluded.value");
        st.Bind(1, static_cast<int64_t>(RootKey)).Bind(2, JoinKey(base, p.SubKey)).Bind(3, p.Name);
        if (auto i = std::get_if<int32_t>(&value))
            st.Bind(4, kTypeInteger).Bind(5, *i);
        else if (auto s = std::get_if<std::string>(&value))
            st.Bind(4, kTypeString).Bind(5, *s);
        else
            st.Bind(4, kTypeBinary).Bind(5, std::get<TBinary>(value));
        return Done(st.Step());
    });
    return error.empty() || Fail(what, error);
}

bool TRegistryEnhanced::DeleteSubKey(const std::string& subKey) {
    std::string base = BaseKey();
    std::string sub = NormalKeyPath(subKey);
    // An empty name would take the whole program key with it.
    if (base.empty() || sub.empty()) return false;
    std::string what = "delete the settings \"" + sub + "\"";
    if (!CanWrite()) return Fail(what, "the settings are open for reading only");
    std::error_code ec;
    if (!std::filesystem::exists(File, ec) && !ec) return true;  // nothing stored yet

    std::string key = JoinKey(base, sub);
    std::string error = Transact([&](sqlite3* db) {
        TStatement st(db, std::string("DELETE FROM registry WHERE ") + kSubTree);
        st.Bind(1, static_cast<int64_t>(RootKey)).Bind(2, key).Bind(3, key + "\\");
        return Done(st.Step());
    });
    return error.empty() || Fail(what, error);
}

std::vector<std::string> TRegistryEnhanced::ListNames(const std::string& subKey) {
    std::string base = BaseKey();
    if (base.empty() || !CanRead()) return {};
    std::string key = JoinKey(base, NormalKeyPath(subKey));
    std::string prefix = key + "\\";

    // Lower-cased name -> first spelling met (rows come in the order written).
    std::map<std::string, std::string> names;
    ReadWithFallback(File, std::string("SELECT key, name FROM registry WHERE ") + kSubTree + " ORDER BY rowid",
                     [&](TStatement& st) {
                         st.Bind(1, static_cast<int64_t>(RootKey)).Bind(2, key).Bind(3, prefix);
                         names.clear();
                         int rc;
                         while ((rc = st.Step()) == SQLITE_ROW) {
                             std::string rowKey = st.Text(0);
                             // NOCASE folds ASCII only, so a matching key has the prefix's byte length.
                             std::string name = rowKey.size() == key.size() ? st.Text(1) : rowKey.substr(prefix.size());
                             name = name.substr(0, name.find('\\'));
                             names.emplace(LowerAscii(name), name);
                         }
                         return rc;
                     });
    std::vector<std::string> out;
    for (auto& [lower, name] : names) out.push_back(name);
    return out;
}

std::string TRegistryEnhanced::SetAsideDamagedFile() {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_regular_file(File, ec)) return {};
    std::string problem;
    ReadWithFallback(File, "PRAGMA quick_check", [&](TStatement& st) {
        const int rc = st.Step();
        if (rc == SQLITE_ROW && st.Text(0) != "ok") problem = st.Text(0);
        if ((rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT) problem = sqlite3_errstr(rc);
        return rc;
    });
    if (problem.empty()) return {};

    const std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    std::string aside = File + ".damaged-" + stamp;
    for (int n = 2; fs::exists(fs::symlink_status(aside, ec)); ++n)
        aside = File + ".damaged-" + stamp + "-" + std::to_string(n);
    std::string told =
        "The settings file \"" + File + "\" is damaged (" + problem + "), so Canasta starts with the default settings.";
    fs::rename(File, aside, ec);
    if (ec)
        return told + " It could not be moved aside (" + ec.message() + "), so settings changed now cannot be kept.";
    // Its journal belongs to it and must not be taken for the new file's.
    for (const char* side : {"-wal", "-shm", "-journal"}) {
        std::error_code e;
        if (fs::exists(File + side, e)) fs::rename(File + side, aside + side, e);
    }
    told += " The damaged file was kept as \"" + aside + "\".";
    const std::string error = Transact([](sqlite3*) { return SQLITE_OK; });
    if (!error.empty()) told += " A new settings file could not be made: " + error + ".";
    return told;
}

std::string TRegistryEnhanced::Transact(const std::function<int(sqlite3*)>& body) {
    std::error_code ec;
    std::filesystem::path parent = std::filesystem::path(File).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);

    std::string error;
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        TConnection c(File, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, BusyTimeoutMs);
        int rc = c.Rc;
        if (rc == SQLITE_OK) {
            // WAL lets readers go on while another copy writes. It persists in
            // the file; failing to switch (the file is busy) only costs that.
            sqlite3_exec(c.Db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
            rc = sqlite3_exec(c.Db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        }
        if (rc == SQLITE_OK) rc = sqlite3_exec(c.Db, kSchema, nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) rc = body(c.Db);
        if (rc == SQLITE_OK) rc = sqlite3_exec(c.Db, "COMMIT", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) return {};
        error = c.Db ? c.Error() : sqlite3_errstr(rc);
        if ((rc & 0xff) != SQLITE_BUSY && (rc & 0xff) != SQLITE_LOCKED) break;
    }
    return error.empty() ? "unknown error" : error;
}

bool TRegistryEnhanced::Fail(const std::string& what, const std::string& reason) {
    if (!WriteErrorReported && OnWriteError) {
        WriteErrorReported = true;
        OnWriteError("Could not " + what + " in the settings file \"" + File + "\": " + reason + ".");
    }
    return false;
}

}  // namespace canasta
