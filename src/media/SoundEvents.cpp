// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/SoundEvents.h"

#include "store/SettingsCatalog.h"

namespace canasta {

bool TEventSounds::Add(const std::string& file) {
    if (Count >= kMaxEventSounds) return false;
    Slots[static_cast<size_t>(Count++)] = file;
    return true;
}

void TEventSounds::Remove(int index) {
    if (index < 0 || index >= Count) return;
    for (int i = index; i + 1 < Count; ++i) Slots[static_cast<size_t>(i)] = Slots[static_cast<size_t>(i + 1)];
    Slots[static_cast<size_t>(--Count)].clear();
}

namespace {

TEventSounds Sounds(std::initializer_list<const char*> files) {
    TEventSounds s;
    for (const char* f : files) s.Add(f);
    return s;
}

const TSoundAssociations& Defaults() {
    static const TSoundAssociations table{
        Sounds({"shufl.wav"}),    Sounds({"done.wav"}),     Sounds({"help.wav"}),    Sounds({"manuel.wav"}),
        Sounds({"nowwhat.wav"}),  Sounds({"exelnt.wav"}),   Sounds({"toobad.wav"}),  Sounds({"toobad.wav", "haha.wav"}),
        Sounds({"mixed.wav"}),    Sounds({"natural.wav"}),  Sounds({"welcome.wav"}), Sounds({"yeah.wav"}),
        Sounds({"wonderfl.wav"}), Sounds({"applause.wav"}), Sounds({"yourturn.wav"})};
    return table;
}

}  // namespace

const TEventSounds& DefaultEventSounds(int event) { return Defaults().at(static_cast<size_t>(event)); }

TSoundAssociations DefaultSoundAssociations() { return Defaults(); }

TSoundAssociations LoadSoundAssociations(ISettingsStore* store) {
    TSoundAssociations table;
    for (int e = 0; e < kSoundEventCount; ++e) {
        const std::string name = SoundEventNames[static_cast<size_t>(e)];
        TEventSounds& sounds = table[static_cast<size_t>(e)];
        std::string value = ReadString(store, settings::SoundPath(name, 1), "");
        if (value.empty()) {
            sounds = DefaultEventSounds(e);
            continue;
        }
        if (value == settings::NoSound) continue;
        for (int n = 1; n <= kMaxEventSounds && !value.empty(); ++n) {
            sounds.Add(value);
            if (n < kMaxEventSounds) value = ReadString(store, settings::SoundPath(name, n + 1), "");
        }
    }
    return table;
}

void SaveSoundAssociations(ISettingsStore* store, const TSoundAssociations& table) {
    if (!store) return;
    store->DeleteSubKey(settings::SoundKey);
    for (int e = 0; e < kSoundEventCount; ++e) {
        const std::string name = SoundEventNames[static_cast<size_t>(e)];
        const TEventSounds& sounds = table[static_cast<size_t>(e)];
        if (sounds.Count == 0) WriteString(store, settings::SoundPath(name, 1), settings::NoSound);
        for (int n = 1; n <= sounds.Count; ++n)
            WriteString(store, settings::SoundPath(name, n), sounds.Slots[static_cast<size_t>(n - 1)]);
    }
}

std::string ChooseEventSound(const TEventSounds& sounds, const TRandomBelow& random) {
    if (sounds.Count <= 0) return {};
    uint32_t i = random(static_cast<uint32_t>(sounds.Count));
    return sounds.Slots[static_cast<size_t>(i)];
}

}  // namespace canasta
