// Reads arbitrary bytes as the settings file: decode, split into lines, take the 52 values.
// Whatever reads must repair into the lists' ranges and survive a write-read round trip.
#include "forms/textfile.h"
#include "keyboard/settings_file.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = forms::splitLines(forms::decodeText(bytes));
    auto parsed = keyboard::parseKeySettings(lines);
    if (!parsed) return 0;
    if (keyboard::parseKeySettings(keyboard::keySettingsLines(*parsed)) != parsed) abort();

    static const keyboard::KeySettings defaults = keyboard::defaultKeySettings();
    keyboard::repairKeySettings(*parsed, defaults);
    for (const auto& key : parsed->presets)
        for (int16_t v : key)
            if (v < 0 || v >= keyboard::kInstrumentItems) abort();
    for (int16_t d : parsed->drums)
        if (d < -1 || d >= keyboard::kPercussionItems) abort();
    static midi::SharedState& state = *new midi::SharedState;   // too large for the stack
    keyboard::applyKeySettings(*parsed, state);
    if (keyboard::currentKeySettings(state) != *parsed) abort();
    return 0;
}
