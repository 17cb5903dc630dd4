// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/Codepage.h"

#include <cstdint>

namespace canasta {

namespace {

// Code points of 0x80..0x9F; 0 where the code page leaves the byte unassigned.
constexpr char32_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int ByteOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return 0x80 + i;
    // The unassigned bytes round-trip through their C1 code points.
    if (cp >= 0x80 && cp <= 0x9F && kHigh[cp - 0x80] == 0) return static_cast<int>(cp);
    return -1;
}

void PutUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string Utf8ToCp1252(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = len > 0 && i + static_cast<size_t>(len) <= s.size();
        for (int k = 1; ok && k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            if ((c & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        i += static_cast<size_t>(len);
        const int byte = ByteOf(cp);
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

std::string Cp1252ToUtf8(const std::string& s) {
    std::string out;
    out.reserve(s.size() + s.size() / 4);
    for (char ch : s) {
        const auto b = static_cast<unsigned char>(ch);
        char32_t cp = b;
        if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) cp = kHigh[b - 0x80];
        PutUtf8(out, cp);
    }
    return out;
}

std::string WireText(const std::string& utf8) {
    const std::string raw = Utf8ToCp1252(utf8);
    std::string out;
    out.reserve(raw.size());
    for (char ch : raw) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == 0x00) continue;
        if (b == 0xFE) {
            out += "th";
        } else if (b == 0xFF) {
            out += 'y';
        } else if (b < 0x20 || b == 0x7F) {
            out += ' ';
        } else {
            out += ch;
        }
    }
    return out;
}

std::string DisplayText(const std::string& bytes) {
    std::string clean = bytes;
    for (char& ch : clean) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 || b == 0x7F) ch = ' ';
    }
    return Cp1252ToUtf8(clean);
}

}  // namespace canasta
