// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/MediaFiles.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "model/Settings.h"

namespace fs = std::filesystem;

namespace canasta {

namespace {

bool IsFolder(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

}  // namespace

std::string ShippedDataFolder() {
    static const std::string folder = [] {
        std::error_code ec;
        fs::path exe = fs::read_symlink("/proc/self/exe", ec);
        if (!ec) {
            fs::path installed = exe.parent_path().parent_path() / "share" / "canasta";
            if (IsFolder(installed)) return installed.string();
        }
#ifdef CANASTA_SOURCE_ASSETS
        if (IsFolder(CANASTA_SOURCE_ASSETS)) return std::string(CANASTA_SOURCE_ASSETS);
#endif
#ifdef CANASTA_INSTALL_DATA
        return std::string(CANASTA_INSTALL_DATA);
#else
        return std::string("/usr/share/canasta");
#endif
    }();
    return folder;
}

std::string ShippedSoundFolder() { return (fs::path(ShippedDataFolder()) / "sounds").string(); }

std::string ShippedMusicFolder() { return (fs::path(ShippedDataFolder()) / "music").string(); }

std::string ResolveInFolder(const std::string& name, const std::string& folder) {
    if (name.find('/') != std::string::npos) return name;
    return (fs::path(folder) / name).string();
}

bool IsExistingFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

std::vector<std::string> MidiFilesIn(const std::string& folder) {
    std::vector<std::string> files;
    if (folder.empty()) return files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        // Music collected on other systems often ends in ".MID".
        if (name.size() < 4 || LowerAscii(name.substr(name.size() - 4)) != ".mid") continue;
        std::error_code fec;
        if (!it->is_regular_file(fec)) continue;
        files.push_back(folder + "/" + name);
    }
    std::sort(files.begin(), files.end(),
              [](const std::string& a, const std::string& b) { return LowerAscii(a) < LowerAscii(b); });
    return files;
}

void ShufflePlayList(std::vector<std::string>& list, const TRandomBelow& random) {
    const auto n = static_cast<uint32_t>(list.size());
    for (uint32_t round = 0; round < n; ++round) {
        uint32_t a = random(n);
        uint32_t b = random(n);
        std::swap(list[a], list[b]);
    }
}

}  // namespace canasta
