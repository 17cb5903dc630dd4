// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Temporary folders and files for the store tests, so no test touches the real user's settings.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace canasta::test {

class TTempDir {
public:
    TTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "canasta-store-XXXXXX").string();
        Root = mkdtemp(pattern.data()) ? pattern : throw std::runtime_error("mkdtemp failed");
    }
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(Root, ec);
    }
    std::string Path(const std::string& name) const { return Root + "/" + name; }

private:
    std::string Root;
};

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string ReadFile(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace canasta::test
