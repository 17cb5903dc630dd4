// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A table window built as the program builds it: the parts that outlive the
// window first, over the test's own store, then the window over them.
#include <memory>

#include "app/AppRoot.h"
#include "table/CanMain.h"

namespace canasta::test {

struct TTestWindow {
    // Declared first, so that the window goes before the parts it was given.
    std::unique_ptr<TAppRoot> Root;
    std::unique_ptr<TfmCanMain> Window;

    // A fresh root over store (the settings read from it now) and a window
    // over that root; an earlier window and its root go first. A null player
    // means SDL2_mixer.
    TfmCanMain& Open(ISettingsStore& store, TStartOptions options, std::unique_ptr<IAudioPlayer> player = nullptr) {
        Close();
        Root = std::make_unique<TAppRoot>(store, std::move(player));
        Window = std::make_unique<TfmCanMain>(Root->Parts(), std::move(options));
        return *Window;
    }
    void Close() {
        Window.reset();
        Root.reset();
    }
};

}  // namespace canasta::test
