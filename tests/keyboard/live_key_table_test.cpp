// The key tables of the live keyboard, reached from Qt key events as the key catcher sees them.
#include "forms/keycodes.h"
#include "keyboard/key_table.h"
#include "resources/strings.h"

#include <gtest/gtest.h>

using keyboard::KeyAction;

namespace {

constexpr auto kNone = Qt::NoModifier;
constexpr auto kShift = Qt::ShiftModifier;
constexpr auto kPad = Qt::KeypadModifier;

KeyAction actionOf(int qtKey, Qt::KeyboardModifiers mods)
{
    return keyboard::keyAction(forms::keyCode(qtKey, mods));
}

QString tokenOf(int qtKey, Qt::KeyboardModifiers mods)
{
    const auto* row = keyboard::noteKeyFor(forms::keyCode(qtKey, mods));
    return row ? QString::fromLatin1(row->token) : QString();
}

TEST(LiveKeyTable, NoteKeysFromPlainAndShiftedKeys)
{
    struct Case { int key; Qt::KeyboardModifiers mods; const char* token; };
    // Plain keys map as their own codes; shifted punctuation and digits keep the key's code.
    const Case cases[] = {
        {Qt::Key_Minus, kNone, "LA"},      {Qt::Key_Underscore, kShift, "LA"},
        {Qt::Key_Plus, kShift, "LB"},      {Qt::Key_BraceLeft, kShift, "WB"},
        {Qt::Key_G, kShift, "KC"},         {Qt::Key_Colon, kShift, "KA"},
        {Qt::Key_QuoteDbl, kShift, "KB"},  {Qt::Key_Less, kShift, "HG"},
        {Qt::Key_Greater, kShift, "HA"},   {Qt::Key_Question, kShift, "HB"},
        {Qt::Key_AsciiCircum, kShift, "LC"}, {Qt::Key_Ampersand, kShift, "LD"},
        {Qt::Key_Asterisk, kShift, "LE"},  {Qt::Key_ParenLeft, kShift, "LF"},
        {Qt::Key_ParenRight, kShift, "LG"}, {Qt::Key_Exclam, kShift, "MC"},
        {Qt::Key_At, kShift, "MD"},        {Qt::Key_NumberSign, kShift, "ME"},
        {Qt::Key_Dollar, kShift, "MF"},    {Qt::Key_Percent, kShift, "MG"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.token);
        EXPECT_EQ(actionOf(c.key, c.mods), KeyAction::Note);
        EXPECT_EQ(tokenOf(c.key, c.mods), QString::fromLatin1(c.token));
    }
}

TEST(LiveKeyTable, NoteRowsAgreeWithTheirTokens)
{
    // The offset is the register (L W K H M, 12 apart) plus the note in the major scale, and the
    // help strings run 401.. in the order of rising pitch.
    const QString registers = "LWKHM", notes = "CDEFGAB";
    const int scale[] = {0, 2, 4, 5, 7, 9, 11};
    int lastOffset = -1;
    for (size_t i = 0; i < keyboard::noteKeys().size(); ++i) {
        const auto& row = keyboard::noteKeys()[i];
        const QString token = QString::fromLatin1(row.token);
        SCOPED_TRACE(row.token);
        EXPECT_EQ(row.offset, 12 * registers.indexOf(token[0]) + scale[notes.indexOf(token[1])]);
        EXPECT_GT(row.offset, lastOffset);
        EXPECT_EQ(row.helpId, 401 + int(i));
        EXPECT_EQ(keyboard::noteKeyFor(row.keyCode), &row);
        EXPECT_TRUE(res::LoadResString(row.helpId).endsWith("乐谱中用 " + token + " 表示"));
        lastOffset = row.offset;
    }
    EXPECT_EQ(lastOffset, 55);
    EXPECT_EQ(res::LoadResString(keyboard::noteKeyFor(Qt::Key_G)->helpId),
              " G 键\r\n中音（哆）\r\n乐谱中用 KC 表示");
}

TEST(LiveKeyTable, KeypadWithNumLockOnAndOff)
{
    // NumLock on: digits are drums, "+"/"-" switch the free rhythm, "." stops the WAV effect.
    for (int d = 0; d <= 9; ++d) {
        EXPECT_EQ(actionOf(Qt::Key_0 + d, kPad), KeyAction::PadDrum);
        EXPECT_EQ(forms::keyCode(Qt::Key_0 + d, kPad) - forms::vk::Numpad0, d);
    }
    EXPECT_EQ(actionOf(Qt::Key_Plus, kPad), KeyAction::RhythmOn);
    EXPECT_EQ(actionOf(Qt::Key_Minus, kPad), KeyAction::RhythmOff);
    EXPECT_EQ(actionOf(Qt::Key_Period, kPad), KeyAction::StopWaveEffect);
    EXPECT_EQ(actionOf(Qt::Key_Comma, kPad), KeyAction::StopWaveEffect);   // decimal comma
    EXPECT_EQ(tokenOf(Qt::Key_Comma, kNone), "HG");
    EXPECT_EQ(actionOf(Qt::Key_Asterisk, kPad), KeyAction::Other);
    EXPECT_EQ(actionOf(Qt::Key_Slash, kPad), KeyAction::Other);
    EXPECT_EQ(actionOf(Qt::Key_Enter, kPad), KeyAction::Other);

    // NumLock off: the keypad gives the editing keys, which play the WAV effects.
    EXPECT_EQ(keyboard::waveEffectIndex(forms::keyCode(Qt::Key_Insert, kPad)), 0);
    EXPECT_EQ(keyboard::waveEffectIndex(forms::keyCode(Qt::Key_Home, kPad)), 1);
    EXPECT_EQ(keyboard::waveEffectIndex(forms::keyCode(Qt::Key_PageUp, kPad)), 2);
    EXPECT_EQ(keyboard::waveEffectIndex(forms::keyCode(Qt::Key_Delete, kPad)), 3);
    EXPECT_EQ(keyboard::waveEffectIndex(forms::keyCode(Qt::Key_End, kPad)), 4);
    EXPECT_EQ(keyboard::waveEffectIndex(forms::keyCode(Qt::Key_PageDown, kPad)), 5);
    EXPECT_EQ(actionOf(Qt::Key_Clear, kPad), KeyAction::Other);
    EXPECT_EQ(actionOf(Qt::Key_Down, kPad), KeyAction::Other);
    // The keypad "+"/"-" are not the main row's "="/"-" note keys, and vice versa.
    EXPECT_EQ(tokenOf(Qt::Key_Minus, kNone), "LA");
    EXPECT_EQ(tokenOf(Qt::Key_Minus, kPad), "");
}

TEST(LiveKeyTable, CommandRows)
{
    for (int f = 0; f < 12; ++f) EXPECT_EQ(actionOf(Qt::Key_F1 + f, kNone), KeyAction::InstrumentGroup);
    EXPECT_EQ(actionOf(Qt::Key_F13, kNone), KeyAction::Other);
    EXPECT_EQ(actionOf(Qt::Key_Space, kNone), KeyAction::Stop);
    EXPECT_EQ(actionOf(Qt::Key_Backspace, kNone), KeyAction::Rest);
    for (int key : {Qt::Key_R, Qt::Key_D, Qt::Key_E, Qt::Key_F, Qt::Key_C, Qt::Key_X})
        EXPECT_EQ(actionOf(key, kNone), KeyAction::Chord);
    for (int key : {Qt::Key_A, Qt::Key_Q, Qt::Key_S, Qt::Key_W, Qt::Key_Z})
        EXPECT_EQ(actionOf(key, kNone), KeyAction::Effect);
    EXPECT_EQ(actionOf(Qt::Key_Return, kNone), KeyAction::Other);
    // Keys without a row still have their own codes, which the score box shows.
    EXPECT_EQ(forms::keyCode(Qt::Key_NumLock, kNone), 144);
    EXPECT_EQ(forms::keyCode(Qt::Key_CapsLock, kNone), 20);
    EXPECT_EQ(forms::keyCode(Qt::Key_F13, kNone), 124);
}

}  // namespace
