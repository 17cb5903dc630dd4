// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: arbitrary byte streams into the token processor of a
// dealt network game. The game must stay consistent (all 108 cards once,
// columns and canasta counts right, turn flags matching the phase) whatever
// arrives; nothing may crash, hang or trip a sanitizer.
#include <cstdint>
#include <cstring>

#include "TokenHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    canasta::fuzz::TFuzzSide side;
    side.Deal();
    const char* p = reinterpret_cast<const char*>(data);
    const char* end = p + size;
    while (p < end) {
        const char* cut = static_cast<const char*>(std::memchr(p, 0, static_cast<size_t>(end - p)));
        const char* stop = cut ? cut : end;
        side.Chunk(p, static_cast<size_t>(stop - p));
        p = cut ? cut + 1 : end;
    }
    return 0;
}
