// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Splits a text at every occurrence of a separator.
#include <string>
#include <vector>

namespace canasta {

class TBrkApart {
public:
    std::string BaseString;
    std::string BreakString;
    bool AllowEmptyString = false;
    std::vector<std::string> StringList;

    // Replaces StringList by the pieces of BaseString between occurrences of
    // BreakString, in order; empty pieces only when AllowEmptyString is on.
    // An empty BreakString leaves BaseString whole.
    void Split();
};

}  // namespace canasta
