// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

namespace canasta {

std::string LowerAscii(std::string s) {
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

TValuePath SplitValuePath(const std::string& path) {
    std::vector<std::string> pieces;
    std::string cur;
    for (char ch : path) {
        if (ch == '\\') {
            if (!cur.empty()) pieces.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(ch);
        }
    }
    if (!cur.empty()) pieces.push_back(cur);
    TValuePath p;
    if (pieces.empty()) return p;
    p.Name = pieces.back();
    pieces.pop_back();
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i) p.SubKey += '\\';
        p.SubKey += pieces[i];
    }
    return p;
}

std::optional<int32_t> ValueToInt(const TSettingValue& v) {
    if (auto i = std::get_if<int32_t>(&v)) return *i;
    if (auto s = std::get_if<std::string>(&v)) {
        std::string t = *s;
        t.erase(0, t.find_first_not_of(" \t"));
        t.erase(t.find_last_not_of(" \t") + 1);
        int32_t out = 0;
        auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
        if (ec == std::errc() && ptr == t.data() + t.size() && !t.empty()) return out;
    }
    return std::nullopt;
}

bool ValueToBool(const TSettingValue& v, bool def) {
    if (auto i = std::get_if<int32_t>(&v)) return *i != 0;
    if (auto s = std::get_if<std::string>(&v)) {
        std::string t = LowerAscii(*s);
        if (t == "true" || t == "yes" || t == "on") return true;
        if (t == "false" || t == "no" || t == "off") return false;
        if (auto n = ValueToInt(v)) return *n != 0;
    }
    return def;
}

int32_t ReadInt(ISettingsStore* store, const std::string& path, int32_t def) {
    if (!store) return def;
    return ValueToInt(store->ReadValue(path, def)).value_or(def);
}

bool ReadBool(ISettingsStore* store, const std::string& path, bool def) {
    if (!store) return def;
    return ValueToBool(store->ReadValue(path, int32_t(def ? 1 : 0)), def);
}

std::string ReadString(ISettingsStore* store, const std::string& path, const std::string& def) {
    if (!store) return def;
    TSettingValue v = store->ReadValue(path, def);
    if (auto s = std::get_if<std::string>(&v)) return *s;
    if (auto i = std::get_if<int32_t>(&v)) return std::to_string(*i);
    return def;
}

void WriteInt(ISettingsStore* store, const std::string& path, int32_t v) {
    if (store) store->WriteValue(path, v);
}
void WriteBool(ISettingsStore* store, const std::string& path, bool v) {
    if (store) store->WriteValue(path, int32_t(v ? 1 : 0));
}
void WriteString(ISettingsStore* store, const std::string& path, const std::string& v) {
    if (store) store->WriteValue(path, v);
}

static std::string MemoryKey(const std::string& path) {
    TValuePath p = SplitValuePath(path);
    return LowerAscii(p.SubKey + "\\" + p.Name);
}

TSettingValue TMemorySettings::ReadValue(const std::string& path, const TSettingValue& def) {
    auto it = Values.find(MemoryKey(path));
    return it == Values.end() ? def : it->second;
}

bool TMemorySettings::WriteValue(const std::string& path, const TSettingValue& value) {
    if (std::holds_alternative<std::monostate>(value)) return true;
    if (SplitValuePath(path).Name.empty()) return false;
    Values[MemoryKey(path)] = value;
    return true;
}

bool TMemorySettings::DeleteSubKey(const std::string& subKey) {
    std::string prefix = LowerAscii(SplitValuePath(subKey + "\\x").SubKey) + "\\";
    for (auto it = Values.begin(); it != Values.end();) {
        if (it->first.compare(0, prefix.size(), prefix) == 0)
            it = Values.erase(it);
        else
            ++it;
    }
    return true;
}

std::vector<std::string> TMemorySettings::ListNames(const std::string& subKey) {
    std::string prefix = LowerAscii(SplitValuePath(subKey + "\\x").SubKey) + "\\";
    std::set<std::string> names;
    for (auto& [k, v] : Values) {
        if (k.compare(0, prefix.size(), prefix) != 0) continue;
        std::string rest = k.substr(prefix.size());
        names.insert(rest.substr(0, rest.find('\\')));
    }
    return {names.begin(), names.end()};
}

}  // namespace canasta
