// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/Migration.h"

#include <charconv>
#include <filesystem>
#include <fstream>

#include "model/RuleOptions.h"
#include "store/SettingsCatalog.h"

namespace fs = std::filesystem;

namespace canasta {

namespace {

constexpr const char* kIniSection = "Canasta Settings";
constexpr const char* kIniName = "canasta.ini";

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::string IniText(const TIniSection& ini, const char* name, const char* def) {
    auto it = ini.find(LowerAscii(name));
    return it == ini.end() ? def : it->second;
}

// Leading sign and digits, as the old program read its integers; 0 otherwise.
int32_t IniInt(const TIniSection& ini, const char* name) {
    std::string t = IniText(ini, name, "");
    if (!t.empty() && t[0] == '+') t.erase(0, 1);
    int32_t v = 0;
    auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    return ec == std::errc() ? v : 0;
}

void ImportIniValues(ISettingsStore* store, const TIniSection& ini) {
    // Exact comparisons: "yes" is not "Yes".
    auto flag = [&](const char* path, const char* name, const char* def, const char* on) {
        WriteBool(store, path, IniText(ini, name, def) == on);
    };
    auto count = [&](const char* path, const char* name) {
        WriteInt(store, path, IniText(ini, name, "One") == "One" ? 1 : 2);
    };
    WriteInt(store, settings::BackgroundColor.Path, 128);
    flag(settings::Music.Path, "Music", "On", "On");
    flag(settings::Sound.Path, "Sound", "Yes", "Yes");
    flag(settings::AutoSave.Path, "AutoSave", "Yes", "Yes");
    flag(rulekeys::CanastaRequired, "Canasta Required", "Yes", "Yes");
    flag(rulekeys::RedThreeDrawsExtra, "Draw Extra", "Yes", "Yes");
    flag(rulekeys::RedThreeFreezes, "Three Block", "Yes", "Yes");
    flag(rulekeys::AddToCanasta, "Add to Canasta", "Yes", "Yes");
    flag(rulekeys::TopCardCounts, "Top card counts", "Yes", "Yes");
    flag(rulekeys::InitiallyFrozen, "Initial block", "Yes", "Yes");
    flag(rulekeys::NaturalPair, "Natural pair", "Yes", "Yes");
    count(rulekeys::CanastasToGoOut, "Number of Canastas");
    count(rulekeys::CardsDrawn, "Number of Cards");
}

void CopyIniInto(const std::string& iniFile, const fs::path& folder) {
    std::error_code ec;
    fs::path target = folder / kIniName;
    if (!fs::is_regular_file(iniFile, ec)) return;
    if (fs::exists(target, ec) && fs::equivalent(iniFile, target, ec)) return;  // copying onto itself would empty it
    fs::copy_file(iniFile, target, fs::copy_options::overwrite_existing, ec);
}

// Saved games of older versions cannot be loaded any more.
void DeleteSavedGames(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (it->is_regular_file(fileEc) && LowerAscii(it->path().extension().string()) == ".can")
            fs::remove(it->path(), fileEc);
    }
}

}  // namespace

TIniSection ReadIniSection(const std::string& file, const std::string& section) {
    TIniSection values;
    std::ifstream in(file, std::ios::binary);
    const std::string wanted = LowerAscii(section);
    bool inSection = false;
    bool first = true;
    for (std::string line; std::getline(in, line); first = false) {
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            inSection = close != std::string::npos && LowerAscii(Trim(line.substr(1, close - 1))) == wanted;
            continue;
        }
        size_t eq = line.find('=');
        if (!inSection || eq == std::string::npos) continue;
        std::string name = LowerAscii(Trim(line.substr(0, eq)));
        std::string value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        if (!name.empty()) values.emplace(name, value);
    }
    return values;
}

void MigrateSettings(ISettingsStore* store, const std::string& iniFile, const std::string& programFolder) {
    if (!store) return;
    int32_t v = Read(store, settings::Version);
    // A newer version's store is left alone: stamping it with our version
    // would make the newer program migrate (and delete saved games) again.
    if (v >= settings::CurrentVersion) return;
    // Rewriting the version unchanged proves the store takes writes; if it
    // does not, the version cannot be recorded and this would repeat each start.
    if (!store->WriteValue(settings::Version.Path, v)) return;

    const TIniSection ini = ReadIniSection(iniFile, kIniSection);
    if (v == 0) v = IniInt(ini, "Version");
    // File work only inside the program's folder, never in the current directory.
    const bool haveFolder = !programFolder.empty();
    const fs::path folder = programFolder;
    if (v > 0) {
        if (v < 300 && haveFolder) CopyIniInto(iniFile, folder);
        if (v < 400 && haveFolder) {
            std::error_code ec;
            for (const char* name : {"DUD640.DLL", "ZEZ800.DLL", "DER1024.DLL", "CANASTA.INI"})
                fs::remove(folder / name, ec);
        }
        if (v < 41300 && haveFolder) DeleteSavedGames(folder);
        // The ini was read before any file was deleted.
        if (v < 400) ImportIniValues(store, ini);
    }
    WriteInt(store, settings::Version.Path, settings::CurrentVersion);
}

}  // namespace canasta
