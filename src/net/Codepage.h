// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts on the wire are Windows-1252 bytes; inside the program they are UTF-8.
#include <string>

namespace canasta {

// UTF-8 to Windows-1252; characters the code page lacks (and broken UTF-8) become '?'.
std::string Utf8ToCp1252(const std::string& utf8);
// Windows-1252 to UTF-8; the five unassigned bytes keep their C1 code points.
std::string Cp1252ToUtf8(const std::string& bytes);

// A user text made fit for one field of a token: converted to Windows-1252,
// with the bytes the framing reserves replaced (0xFE "þ" by "th", 0xFF "ÿ" by
// "y", 0x00 dropped) and control characters turned into spaces.
std::string WireText(const std::string& utf8);
// A received text field made fit for display: UTF-8, control characters as spaces.
std::string DisplayText(const std::string& bytes);

}  // namespace canasta
