// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/BrkApart.h"

namespace canasta {

void TBrkApart::Split() {
    StringList.clear();
    auto add = [this](std::string piece) {
        if (!piece.empty() || AllowEmptyString) StringList.push_back(std::move(piece));
    };
    if (BreakString.empty()) {
        add(BaseString);
        return;
    }
    size_t start = 0;
    for (size_t at; (at = BaseString.find(BreakString, start)) != std::string::npos; start = at + BreakString.size())
        add(BaseString.substr(start, at - start));
    add(BaseString.substr(start));
}

}  // namespace canasta
