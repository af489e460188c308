// Reads arbitrary bytes as the settings file, as bytes in memory and as the file itself:
// decode, split into lines, take the 52 values. Whatever reads must repair into the lists'
// ranges, survive a write-read round trip, and the file reader must take exactly what the
// parser takes.
#include "fuzz_file.h"
#include "forms/textfile.h"
#include "keyboard/settings_file.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz_file::bytesOf(data, size, keyboard::kSettingsFileLimit);
    const QStringList lines = forms::splitLines(forms::decodeText(bytes));
    auto parsed = keyboard::parseKeySettings(lines);

    // The file-level reader: all or nothing, and nothing from a file over the limit.
    static const fuzz_file::Folder folder;
    static midi::SharedState& read = *new midi::SharedState;   // too large for the stack
    read.PresetTable[0][0] = -7;
    if (!folder.write("velqor.ini", bytes)) abort();
    const keyboard::SettingsRead result = keyboard::ReadSettingsFile(folder.path(), read);
    const bool fits = bytes.size() <= keyboard::kSettingsFileLimit;
    if ((result == keyboard::SettingsRead::Read) != (parsed && fits)) abort();
    if (result != keyboard::SettingsRead::Read && read.PresetTable[0][0] != -7) abort();

    if (!parsed) return 0;
    if (keyboard::parseKeySettings(keyboard::keySettingsLines(*parsed)) != parsed) abort();

    static const keyboard::KeySettings defaults = keyboard::defaultKeySettings();
    keyboard::repairKeySettings(*parsed, defaults);
    for (const auto& key : parsed->presets)
        for (int16_t v : key)
            if (v < 0 || v >= keyboard::kInstrumentItems) abort();
    for (int16_t d : parsed->drums)
        if (d < -1 || d >= keyboard::kPercussionItems) abort();
    static midi::SharedState& state = *new midi::SharedState;
    keyboard::applyKeySettings(*parsed, state);
    if (keyboard::currentKeySettings(state) != *parsed) abort();
    if (fits && keyboard::currentKeySettings(read) != *parsed) abort();

    // An effect name is a file of the effect folder or none at all.
    for (const QString& name : parsed->effects) {
        const QString path = keyboard::EffectFilePath(folder.path(), name);
        if (!path.isEmpty() && !path.startsWith(folder.path() + QStringLiteral("音效/"))) abort();
        if (!path.isEmpty() && (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))) abort();
    }
    return 0;
}
