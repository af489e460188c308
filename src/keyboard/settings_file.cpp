#include "keyboard/settings_file.h"

#include "forms/conv.h"
#include "forms/textfile.h"
#include "midi/percussion.h"
#include "platform/whole_file.h"
#include "resources/strings.h"

#include <QFileInfo>

namespace keyboard {

namespace {

constexpr int kDefaultSettingsText = 508;
constexpr int kFirstDrumLine = kPresetKeys * kPresetLayers;        // line index 36
constexpr int kFirstEffectLine = kFirstDrumLine + kKeypadDigits;   // line index 46
constexpr int kPercussionBaseKey = 35;

// The keypad message packs the percussion key times 256 as a 16-bit product; a drum value whose
// key does not fit that product cannot be a keypad drum.
bool drumFitsMessage(int drum)
{
    const int product = (drum + kPercussionBaseKey) * 256;
    return product >= -32768 && product <= 32767;
}

bool inList(int value, int first, int last) { return value >= first && value <= last; }

}  // namespace

QString SettingsPath(const QString& appFolder) { return forms::joinPath(appFolder, QStringLiteral("velqor.ini")); }

QString DefaultSettingsText() { return res::LoadResString(kDefaultSettingsText) + QStringLiteral("\r\n"); }

bool WriteDefaultSettings(const QString& appFolder)
{
    return forms::writeText(SettingsPath(appFolder), DefaultSettingsText());
}

std::optional<KeySettings> parseKeySettings(const QStringList& lines)
{
    if (lines.size() < kSettingsLineCount) return std::nullopt;
    KeySettings s;
    for (int i = 0; i < kFirstEffectLine; ++i) {
        const auto v = forms::toInt16(lines[i]);
        if (!v) return std::nullopt;
        if (i < kFirstDrumLine) {
            s.presets[i / kPresetLayers][i % kPresetLayers] = *v;
        } else {
            if (!drumFitsMessage(*v)) return std::nullopt;
            s.drums[i - kFirstDrumLine] = *v;
        }
    }
    for (int e = 0; e < kEffectKeys; ++e) s.effects[e] = lines[kFirstEffectLine + e];
    return s;
}

QStringList keySettingsLines(const KeySettings& s)
{
    QStringList lines;
    for (const auto& key : s.presets)
        for (int16_t v : key) lines << forms::PrintNumber(v);
    for (int16_t d : s.drums) lines << forms::PrintNumber(d);
    for (const QString& name : s.effects) lines << name;
    return lines;
}

KeySettings defaultKeySettings()
{
    const auto parsed = parseKeySettings(forms::splitLines(res::LoadResString(kDefaultSettingsText)));
    return parsed.value_or(KeySettings{});
}

int repairKeySettings(KeySettings& s, const KeySettings& defaults)
{
    int replaced = 0;
    for (int k = 0; k < kPresetKeys; ++k)
        for (int v = 0; v < kPresetLayers; ++v)
            if (!inList(s.presets[k][v], 0, kInstrumentItems - 1)) {
                const int16_t d = defaults.presets[k][v];
                s.presets[k][v] = inList(d, 0, kInstrumentItems - 1) ? d : 0;
                ++replaced;
            }
    for (int i = 0; i < kKeypadDigits; ++i)
        if (!inList(s.drums[i], -1, kPercussionItems - 1)) {
            const int16_t d = defaults.drums[i];
            s.drums[i] = inList(d, -1, kPercussionItems - 1) ? d : 0;
            ++replaced;
        }
    return replaced;
}

KeySettings currentKeySettings(const midi::SharedState& st)
{
    KeySettings s;
    for (int k = 0; k < kPresetKeys; ++k)
        for (int v = 0; v < kPresetLayers; ++v) s.presets[k][v] = st.PresetTable[k][v];
    for (int d = 0; d < kKeypadDigits; ++d) s.drums[d] = st.KeypadDrums[d];
    for (int e = 0; e < kEffectKeys; ++e) s.effects[e] = st.EffectWavNames[e];
    return s;
}

void applyKeySettings(const KeySettings& s, midi::SharedState& st)
{
    for (int k = 0; k < kPresetKeys; ++k)
        for (int v = 0; v < kPresetLayers; ++v) st.PresetTable[k][v] = s.presets[k][v];
    for (int d = 0; d < kKeypadDigits; ++d) {
        st.KeypadDrums[d] = s.drums[d];
        st.PercussionCells[5][d].Msg = midi::PercussionMsg(s.drums[d] + kPercussionBaseKey, kKeypadVelocity);
    }
    for (int e = 0; e < kEffectKeys; ++e) st.EffectWavNames[e] = s.effects[e];
}

bool ApplySettingsLines(const QStringList& lines, midi::SharedState& s)
{
    auto parsed = parseKeySettings(lines);
    if (!parsed) return false;
    repairKeySettings(*parsed, defaultKeySettings());
    applyKeySettings(*parsed, s);
    return true;
}

SettingsRead ReadSettingsFile(const QString& appFolder, midi::SharedState& s)
{
    const QString path = SettingsPath(appFolder);
    if (!QFileInfo::exists(path)) return SettingsRead::Missing;
    const auto lines = forms::readLines(path, kSettingsFileLimit);
    if (!lines || !ApplySettingsLines(*lines, s)) return SettingsRead::Damaged;
    return SettingsRead::Read;
}

QString EffectFilePath(const QString& appFolder, const QString& name)
{
    if (!forms::isPlainFileName(name)) return QString();
    return forms::joinPath(forms::joinPath(appFolder, QStringLiteral("音效/")), name);
}

QString EffectStatusText(const QString& name, bool unplayable)
{
    return unplayable ? QStringLiteral("无法播放音效文件 %1").arg(name) : name + QStringLiteral("_音效");
}

QString DamagedSettingsPath(const QString& appFolder) { return SettingsPath(appFolder) + QStringLiteral(".bad"); }

bool KeepDamagedSettings(const QString& appFolder)
{
    return platform::copyWholeFile(SettingsPath(appFolder), DamagedSettingsPath(appFolder));
}

QStringList SettingsLines(const midi::SharedState& s) { return keySettingsLines(currentKeySettings(s)); }

bool WriteSettingsFile(const QString& appFolder, const midi::SharedState& s)
{
    return forms::writeLines(SettingsPath(appFolder), SettingsLines(s));
}

}  // namespace keyboard
