#include "keyboard/settings_file.h"

#include "forms/conv.h"
#include "forms/textfile.h"
#include "resources/strings.h"

#include <QFileInfo>
#include <array>
#include <optional>

namespace keyboard {
namespace {

constexpr int kPresetLines = 36;
constexpr int kKeypadLines = 10;
constexpr int kEffectLines = 6;

// The keypad digit's note-on: channel 9, key value + 35, velocity 100. The key times 256 is a
// 16-bit product, so the value must keep it in range.
std::optional<int32_t> keypadMessage(int16_t value)
{
    const int product = (int(value) + 35) * 256;
    if (product < -32768 || product > 32767) return std::nullopt;
    return 6553600 + product + 153;
}

}  // namespace

QString SettingsPath(const QString& appFolder) { return forms::joinPath(appFolder, QStringLiteral("velqor.ini")); }

QString DefaultSettingsText() { return res::LoadResString(508) + QStringLiteral("\r\n"); }

bool WriteDefaultSettings(const QString& appFolder)
{
    return forms::writeText(SettingsPath(appFolder), DefaultSettingsText());
}

bool ApplySettingsLines(const QStringList& lines, midi::SharedState& s)
{
    if (lines.size() < kSettingsLineCount) return false;
    std::array<int16_t, kPresetLines + kKeypadLines> numbers{};
    std::array<int32_t, kKeypadLines> messages{};
    for (int i = 0; i < kPresetLines + kKeypadLines; ++i) {
        const auto v = forms::toInt16(lines[i]);
        if (!v) return false;
        numbers[i] = *v;
        if (i >= kPresetLines) {
            const auto msg = keypadMessage(*v);
            if (!msg) return false;
            messages[i - kPresetLines] = *msg;
        }
    }
    for (int i = 0; i < kPresetLines; ++i) s.PresetTable[i / 3][i % 3] = numbers[i];
    for (int d = 0; d < kKeypadLines; ++d) {
        s.KeypadDrums[d] = numbers[kPresetLines + d];
        s.PercussionCells[5][d].Msg = messages[d];
    }
    for (int e = 0; e < kEffectLines; ++e) s.EffectWavNames[e] = lines[kPresetLines + kKeypadLines + e];
    return true;
}

SettingsRead ReadSettingsFile(const QString& appFolder, midi::SharedState& s)
{
    const QString path = SettingsPath(appFolder);
    if (!QFileInfo::exists(path)) return SettingsRead::Missing;
    const auto lines = forms::readLines(path);
    if (!lines || !ApplySettingsLines(*lines, s)) return SettingsRead::Damaged;
    return SettingsRead::Read;
}

QStringList SettingsLines(const midi::SharedState& s)
{
    QStringList lines;
    for (int k = 0; k < 12; ++k)
        for (int v = 0; v < 3; ++v) lines << forms::PrintNumber(s.PresetTable[k][v]);
    for (int d = 0; d < kKeypadLines; ++d) lines << forms::PrintNumber(s.KeypadDrums[d]);
    for (int e = 0; e < kEffectLines; ++e) lines << s.EffectWavNames[e];
    return lines;
}

bool WriteSettingsFile(const QString& appFolder, const midi::SharedState& s)
{
    return forms::writeLines(SettingsPath(appFolder), SettingsLines(s));
}

}  // namespace keyboard
