// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/Framing.h"

#include <algorithm>

namespace canasta {

namespace {
constexpr const char* kNames[kTokenCount] = {
    "OK",          "SENDAGAIN",    "QUIT",     "CHAT",         "PLAYERID",
    "DEAL",        "MELD",         "UNDO",     "DISCARD",      "DRAWNEW",
    "DRAWPILETOP", "DRAWPILEREST", "UNDOPILE", "MELDWILDCARD", "DISCARDREDTHREE",
    "PASSDISCARD", "RULES",        "NEWGAME",  "HANDOVER",     "UNKNOWN",
};
}  // namespace

const char* TokenName(int index) { return index >= 0 && index < kTokenCount ? kNames[index] : "UNKNOWN"; }

int LookupToken(const std::string& name) {
    int found = tkUnknown;
    for (int i = 0; i < kTokenCount; ++i)
        if (name == kNames[i]) found = i;
    return found;
}

std::string BuildFrame(const std::string& name, const std::string& data) {
    std::string frame = name.substr(0, kMaxFrame - 2);
    frame += kFieldSep;
    const size_t room = kMaxFrame - 1 - frame.size();
    frame.append(data, 0, std::min(room, data.size()));
    frame += kTokenEnd;
    return frame;
}

std::string JoinFields(std::initializer_list<std::string> fields) {
    std::string out;
    bool first = true;
    for (const std::string& f : fields) {
        if (!first) out += kFieldSep;
        out += f;
        first = false;
    }
    return out;
}

std::string NextField(std::string& message) {
    const size_t at = message.find_first_of(std::string{kFieldSep, kTokenEnd});
    if (at == std::string::npos) {
        std::string all = std::move(message);
        message.clear();
        return all;
    }
    std::string field = message.substr(0, at);
    message.erase(0, at + 1);
    return field;
}

std::optional<int> ParseIntField(const std::string& f) {
    size_t i = f.size() > 0 && f[0] == '-' ? 1 : 0;
    if (i == f.size() || f.size() - i > 9) return std::nullopt;
    int v = 0;
    for (size_t k = i; k < f.size(); ++k) {
        if (f[k] < '0' || f[k] > '9') return std::nullopt;
        v = v * 10 + (f[k] - '0');
    }
    return i ? -v : v;
}

}  // namespace canasta
